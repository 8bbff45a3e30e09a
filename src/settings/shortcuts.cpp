#include "settings/shortcuts.h"

#include <iostream>
#include <string>
#include <vector>

#include "piano/zagraj.h"
#include "settings/config.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

// Slot order: up, left, down, right.
const char *const kStrzalki[4] = {"w gore", "w lewo", "w dol", "w prawo"};

bool pusty(const std::string &slot) {
    return slot == kPustySkrot;
}

const std::string &nazwaSlotu(int i) {
    static const std::string brak = "Brak";
    return pusty(Klawiszowe[i]) ? brak : Klawiszowe[i];
}

void pokazStan() {
    for (int i = 0; i < 4; ++i) {
        std::cout << "Skrót nr " << i + 1 << ": Strzałka " << kStrzalki[i] << ": ";
        if (pusty(Klawiszowe[i]))
            std::cout << " Brak!";
        else
            std::cout << "Dźwięk: " << Klawiszowe[i] << "!";
        std::cout << std::endl;
    }
}

void pozaZakresem() {
    std::cout << "Zakres został przekroczony!" << std::endl;
}

// The sounds of level poziom (as numbered on screen), in key-map order.
std::vector<std::string> dzwiekiPoziomu(int poziom) {
    std::vector<std::string> dzwieki;
    for (int i = 0; i < IloscDzwiekow; ++i)
        if (static_cast<long long>(MapaPoziomow[i]) + 1 == poziom)
            dzwieki.push_back(MapaDzwiekow[i]);
    return dzwieki;
}

// A number in 1..ile, or 0 when the answer is not one (input ended, or out of range).
// Out of range and unreadable answers are reported, with a key wait.
int wybierz(int ile) {
    int n = 0;
    const Odczyt odczyt = CzytajLiczbe(n);
    if (odczyt == Odczyt::Koniec)
        return 0;
    if (odczyt == Odczyt::Zly || n < 1 || n > ile) {
        pozaZakresem();
        Klawisz();
        return 0;
    }
    return n;
}

} // namespace

void Skrot() {
    tk();
    std::cout << "Ktory skrót chcesz zmienić?" << std::endl;
    for (int i = 0; i < 4; ++i)
        std::cout << "    " << i + 1 << ". " << kStrzalki[i] << " - " << nazwaSlotu(i) << std::endl;
    const int slot = wybierz(4);
    if (slot == 0)
        return;

    if (!pusty(Klawiszowe[slot - 1])) {
        std::cout << "Chcesz napewno nadpisać skrót?(t/n)" << std::endl;
        char odpowiedz = 0;
        if (CzytajZnak(odpowiedz) != Odczyt::Ok || odpowiedz == 'n' || odpowiedz == 'N')
            return;
    }

    std::cout << "Wybierz poziom, z którego weźmiesz dźwięk: " << std::endl;
    for (int i = 0; i < IloscPoziomow; ++i)
        std::cout << "    " << i + 1 << ". " << NazwaPoziomow[i] << std::endl;
    int poziom = 0;
    switch (CzytajLiczbe(poziom)) {
    case Odczyt::Koniec:
        return;
    case Odczyt::Zly:
        pozaZakresem();
        Klawisz();
        return;
    case Odczyt::Ok:
        break;
    }

    const std::vector<std::string> dzwieki = dzwiekiPoziomu(poziom);
    const int ile = static_cast<int>(dzwieki.size());
    std::cout << "Wykryto " << ile << " dźwięków!" << std::endl;
    std::cout << "Wybierz dzwiek: " << std::endl;
    for (int k = 0; k < ile; ++k)
        std::cout << "    " << k + 1 << ". " << dzwieki[k] << std::endl;
    const int dzwiek = wybierz(ile);
    if (dzwiek == 0)
        return; // the slot keeps its sound: it never becomes empty
    Klawiszowe[slot - 1] = dzwieki[dzwiek - 1];
    if (!SaveConfing())
        Klawisz(); // the next screen would clear the failure away unread
}

void SkrotUsun() {
    tk();
    std::cout << "Który dźwięk chcesz usunąć: " << std::endl;
    for (int i = 0; i < 4; ++i)
        std::cout << "    " << i + 1 << ". Strzałka " << kStrzalki[i] << " - " << nazwaSlotu(i)
                  << std::endl;
    std::cout << "    0. Wyjście" << std::endl;

    // An answer that is not a number counts as 0.
    int n = 0;
    if (CzytajLiczbe(n) != Odczyt::Ok || n == 0)
        return;
    if (n < 1 || n > 4) {
        pozaZakresem();
        return;
    }
    Klawiszowe[n - 1] = std::string(kPustySkrot);
    if (!SaveConfing())
        Klawisz(); // the next screen would clear the failure away unread
}

void Klaw() {
    for (;;) {
        tk();
        std::cout << "Skróty klawiszowe pomagają przy graniu melodii. Dzięki skrótom klawiszowym "
                     "można\n mieć dostęp do dźwiękow z każdego pioziomu przy naciśnięciu "
                     "strzałek.\nOto stan strzałek: "
                  << std::endl;
        pokazStan();
        std::cout << "Co chcesz zrobić?\n    1. Zmienić skrót klawiszowy\n    2. Usunąć skrót "
                     "klawiszowy\n    3. Zagrać dźwięk\n    0. Wyjść"
                  << std::endl;
        switch (WyborMenu()) {
        case '0':
            return;
        case '1':
            Skrot();
            break;
        case '2':
            SkrotUsun();
            break;
        case '3':
            Zagraj();
            break;
        default:
            break; // anything else only redraws
        }
    }
}
