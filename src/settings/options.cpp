#include "settings/options.h"

#include <iostream>
#include <string>

#include "settings/config.h"
#include "settings/shortcuts.h"
#include "settings/volume.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

// The two colour screens differ only in these.
struct EkranKoloru {
    const char *pytanie;
    int ustawiany; // the Konfiguracja element the screen sets
    int drugi;     // the other colour, which the chosen one may not equal
};

const EkranKoloru kLitery{" Na jaki kolor chcesz zmienić kolor liter? \n", 2, 1};
const EkranKoloru kTlo{" Na jaki kolor chcesz zmienić kolor tła? \n", 1, 2};

// The trailing spaces of two rows belong to the screen as it has always looked.
const char *const kKolory[16] = {
    "Czarny",            // 1
    "Ciemnoniebieski",   // 2
    "Ciemnozielony    ", // 3
    "Ciemnoseledynowy",  // 4
    "Ciemnoczerwony",    // 5
    "Ciemnoróżowy ",     // 6
    "Brązowy",           // 7
    "Jasnoszary",        // 8
    "Ciemnoszary",       // 9
    "Niebieski",         // 10
    "Zielony",           // 11
    "Seledynowy",        // 12
    "Czerwony",          // 13
    "Różowy",            // 14
    "źółty",             // 15
    "Biały",             // 16
};

void zlyWybor() {
    std::cout << "Zły wybór" << std::endl;
    Klawisz();
}

void kolor(const EkranKoloru &ekran) {
    tk();
    std::cout << ekran.pytanie;
    for (int i = 0; i < 16; ++i)
        std::cout << "   " << i + 1 << ". " << kKolory[i] << "\n";
    std::cout << "   0. Nie chcę zmieniać kolorów." << std::endl;

    int n = 0;
    switch (CzytajLiczbe(n)) {
    case Odczyt::Koniec:
        return; // as by 0
    case Odczyt::Zly:
        zlyWybor();
        return;
    case Odczyt::Ok:
        break;
    }
    if (n == 0)
        return;
    if (static_cast<unsigned>(n) > 16u) {
        zlyWybor();
        return;
    }
    const int wybrany = n - 1;
    if (wybrany == Konfiguracja[ekran.drugi]) {
        std::cout << "Zmiany nie zostaną wprowadzone!" << std::endl;
        return;
    }
    std::cout << "Wprowadzić zmiany teraz?(t/n): " << std::endl;
    const int odpowiedz = Klawisz();
    if (odpowiedz == 't' || odpowiedz == 'T')
        Konfiguracja[ekran.ustawiany] = wybrany;
    // Saved whatever the answer: the file then holds the settings in force.
    if (!SaveConfing())
        Klawisz(); // the next screen would clear the failure away unread
}

} // namespace

void KolorL() {
    kolor(kLitery);
}

void KolorT() {
    kolor(kTlo);
}

void Opcje() {
    for (;;) {
        tk();
        std::cout << "Co chcesz zmienić?\n    1. Kolor liter\n    2. Kolor tła\n    3. Domyślną "
                     "głośność\n    4. Skróty klawiszowe\n    0. Wyjscie z Opcji"
                  << std::endl;
        switch (WyborMenu()) {
        case '0':
            return;
        case '1':
            KolorL();
            break;
        case '2':
            KolorT();
            break;
        case '3':
            Glos();
            break;
        case '4':
            Klaw();
            break;
        default:
            break; // anything else only redraws
        }
    }
}
