#include "settings/config.h"

#include <iostream>
#include <sstream>

#include "platform/files.h"
#include "platform/tokenizer.h"
#include "shell/datafile.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

const char *const kPlik = "Confing.tdf";

const char *const kPola[7] = {"głośność",
                              "kolor tła",
                              "kolor liter",
                              "skrót strzałki w górę",
                              "skrót strzałki w lewo",
                              "skrót strzałki w dół",
                              "skrót strzałki w prawo"};

void ostrzez(const std::string &tekst) {
    std::cerr << tekst;
    Klawisz();
}

const char kRowne[] =
    "Uwaga! Zmienna określajaca tło i zmienna określajaca kolor liter są takie \nsame! "
    "Oba ustawienia zostaną zmienione na domyślne!\n";

void sprawdzKolory() {
    int &tlo = Konfiguracja[1];
    int &litery = Konfiguracja[2];
    if (tlo == litery) {
        ostrzez(kRowne);
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
    // A letter reset to 8 on a background of 8 would leave no text to read.
    if (tlo == litery) {
        ostrzez(kRowne);
        tlo = kDomyslneTlo;
        litery = kDomyslneLitery;
    }
}

void ustawDomyslne() {
    Konfiguracja = new int[3]{0, kDomyslneTlo, kDomyslneLitery};
    Glosnosc = kDomyslnaGlosnosc;
    for (std::string &slot : Klawiszowe)
        slot = kPustySkrot;
}

// What a field that cannot be read gets, as its message says it.
std::string domyslna(int pole) {
    switch (pole) {
    case 0:
        return std::to_string(kDomyslnaGlosnosc);
    case 1:
        return std::to_string(kDomyslneTlo);
    case 2:
        return std::to_string(kDomyslneLitery);
    default:
        return "0 (brak skrótu)";
    }
}

} // namespace

OdczytConfing CzytajConfing(std::string_view bajty) {
    OdczytConfing c;
    platform::DataText dane = platform::decodeDataFile(bajty);
    c.uwaga = UwagaOZnakach(kPlik, dane);
    PolaPliku pola(dane.text);
    int *liczby[3] = {&c.glosnosc, &c.tlo, &c.litery};
    bool koniec = false;
    for (int i = 0; i < 7 && !koniec; ++i) {
        bool ok = i < 3 ? pola.liczba(kPola[i], *liczby[i]) : pola.slowo(kPola[i], c.skroty[i - 3]);
        if (!ok)
            c.bledy[i] = pola.blad();
        koniec = pola.koniec();
        if (koniec)
            c.koniecOd = i;
    }
    return c;
}

std::string RekordConfing(int glosnosc, int tlo, int litery, const std::string skroty[4]) {
    std::ostringstream rekord;
    rekord << glosnosc << ' ' << tlo << ' ' << litery << ' ';
    for (int i = 0; i < 4; ++i)
        rekord << skroty[i] << ' ';
    return platform::encodeDataFile(rekord.str());
}

void InitConfing() {
    std::string bajty;
    bool otwarty = platform::readWholeFile(kPlik, bajty);
    std::cout << "Otwieranie Confing.tdf...\n";
    if (!otwarty) {
        std::cout << "Otwieranie niepowiodło się!\n";
        // The screens need colours, a volume and four slots all the same.
        ustawDomyslne();
        return;
    }
    OdczytConfing c = CzytajConfing(bajty);
    Konfiguracja = new int[3]{};
    std::cout << "Otwieranie powiodło się!\n";
    if (!c.uwaga.empty())
        ostrzez(c.uwaga);
    auto zglos = [&](int pole) {
        if (c.bledy[pole].empty())
            return;
        ostrzez("Błąd w pliku Confing.tdf, " + c.bledy[pole] + "!\n" +
                (pole == c.koniecOd ? std::string("To pole i dalsze przyjmą wartości domyślne.\n")
                                    : "Przyjęto wartość domyślną: " + domyslna(pole) + ".\n"));
    };
    std::cout << "Wczytywanie głośności...\n";
    Glosnosc = c.glosnosc;
    zglos(0);
    std::cout << "Wczytywanie koloru tła...\n";
    Konfiguracja[1] = c.tlo;
    zglos(1);
    std::cout << "Wczytywanie koloru liter...\n";
    Konfiguracja[2] = c.litery;
    zglos(2);
    for (int i = 0; i < 4; ++i) {
        Klawiszowe[i] = c.skroty[i];
        zglos(3 + i);
        std::cout << "Wczytano skrót klawiszowy nr " << i + 1 << "!\n";
    }
    sprawdzKolory();
}

int GlosnoscZConfing() {
    std::string bajty;
    if (!platform::readWholeFile(kPlik, bajty))
        return kDomyslnaGlosnosc;
    return CzytajConfing(bajty).glosnosc;
}

bool SaveConfing() {
    std::string rekord = RekordConfing(Glosnosc, Konfiguracja[1], Konfiguracja[2], Klawiszowe);
    int blad = 0;
    if (platform::writeFileAtomically(kPlik, rekord, &blad))
        return true;
    std::cout << "Nie udało się zapisać ustawień w pliku Confing.tdf!" << std::endl;
    std::cout << PowodBledu(blad) << std::endl;
    return false;
}
