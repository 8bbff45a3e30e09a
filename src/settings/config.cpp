#include "settings/config.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/files.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

const char *const kPlik = "Confing.tdf";

template <class T> void wczytaj(std::istream &f, T &into, const T &domyslna) {
    T v{};
    into = (f >> v) ? v : domyslna;
}

void ostrzez(const char *tekst) {
    std::cerr << tekst;
    Klawisz();
}

void sprawdzKolory() {
    int &tlo = Konfiguracja[1];
    int &litery = Konfiguracja[2];
    if (tlo == litery) {
        ostrzez("Uwaga! Zmienna określajaca tło i zmienna określajaca kolor liter są takie \nsame! "
                "Oba ustawienia zostaną zmienione na domyślne!\n");
        tlo = kDomyslneTlo;
        litery = kDomyslneLitery;
    }
    if (static_cast<unsigned>(tlo) > 17u) {
        ostrzez("Uwaga! Zmienna określająca kolor tła jest poza zakresem! Ustawienia \nkoloru "
                "zostały zmienione na domyślne!\n");
        tlo = kDomyslneTlo;
        litery = kDomyslneLitery;
    }
    if (static_cast<unsigned>(litery) > 17u) {
        ostrzez("Uwaga! Zmienna określająca kolor liter jest poza zakresem! Ustawienia \nkolori "
                "zostały zmienione na domyślne!\n");
        litery = kDomyslneLitery;
    }
}

void ustawDomyslne() {
    Konfiguracja = new int[3]{0, kDomyslneTlo, kDomyslneLitery};
    Glosnosc = kDomyslnaGlosnosc;
    for (std::string &slot : Klawiszowe)
        slot = kPustySkrot;
}

} // namespace

void InitConfing() {
    std::ifstream f(kPlik);
    std::cout << "Otwieranie Confing.tdf...\n";
    if (!f) {
        std::cout << "Otwieranie niepowiodło się!\n";
        // The screens need colours, a volume and four slots all the same.
        ustawDomyslne();
        return;
    }
    Konfiguracja = new int[3]{};
    std::cout << "Otwieranie powiodło się!\n";
    std::cout << "Wczytywanie głośności...\n";
    wczytaj(f, Glosnosc, kDomyslnaGlosnosc);
    std::cout << "Wczytywanie koloru tła...\n";
    wczytaj(f, Konfiguracja[1], kDomyslneTlo);
    std::cout << "Wczytywanie koloru liter...\n";
    wczytaj(f, Konfiguracja[2], kDomyslneLitery);
    for (int i = 0; i < 4; ++i) {
        wczytaj(f, Klawiszowe[i], std::string(kPustySkrot));
        std::cout << "Wczytano skrót klawiszowy nr " << i + 1 << "!\n";
    }
    sprawdzKolory();
}

int GlosnoscZConfing() {
    std::ifstream f(kPlik);
    int glosnosc = kDomyslnaGlosnosc;
    if (f)
        wczytaj(f, glosnosc, kDomyslnaGlosnosc);
    return glosnosc;
}

bool SaveConfing() {
    std::ostringstream rekord;
    rekord << Glosnosc << ' ' << Konfiguracja[1] << ' ' << Konfiguracja[2] << ' ';
    for (const std::string &slot : Klawiszowe)
        rekord << slot << ' ';
    if (platform::writeFileAtomically(kPlik, rekord.str()))
        return true;
    std::cout << "Nie udało się zapisać ustawień w pliku Confing.tdf!" << std::endl;
    return false;
}
