#include "songs/creator.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "piano/keycodes.h"
#include "piano/piano.h"
#include "piano/sounds.h"
#include "platform/clock.h"
#include "platform/terminal.h"
#include "shell/datafile.h"
#include "shell/screen.h"
#include "shell/state.h"
#include "songs/songfile.h"

namespace {

struct Nagranie {
    std::vector<std::int64_t> pauzy;
    std::vector<std::string> dzwieki;
    int ilosc = 0;
    std::int64_t poczatekOstatniej = 0; // key press that started the last note

    // A note's pause runs from its key press to the press of the next note.
    bool dodaj(const std::string &dzwiek, std::int64_t czas) {
        if (ilosc == kLimitNut)
            return false;
        zamknij(czas);
        dzwieki[ilosc] = dzwiek;
        pauzy[ilosc] = 0;
        ++ilosc;
        poczatekOstatniej = czas;
        return true;
    }
    void zamknij(std::int64_t czas) {
        // Past 2^31 - 1 ms (24 days) the player could not read the pause back.
        if (ilosc > 0)
            pauzy[ilosc - 1] = std::min<std::int64_t>(czas - poczatekOstatniej, INT32_MAX);
    }
};

bool powitanie() {
    tk();
    std::cout << "Witaj w kreatorze tworzenia melodii MirvoForBrzdekomat BETA\nTen kreator jest "
                 "dostosowany do wersji 0.3. W przypadku innej wersji,\nsprobój sciągnać nowa "
                 "wersje programu.\nProsze nacisnąć dowolny klawisz aby kontynuować, lub ESC aby "
                 "wyjść z kreatora"
              << std::endl;
    return Klawisz() != kod::kEsc;
}

void przygotuj(Nagranie &n) {
    tk();
    std::cout << "Trwa inicjowanie pauz dynamicznie: ";
    n.pauzy.assign(kLimitNut, 0);
    std::cout << "Zakończone" << std::endl;
    std::cout << "Trwa inicjowanie zapisów dźwiekow dynamicznie : ";
    n.dzwieki.assign(kLimitNut, std::string());
    std::cout << "Zakończone" << std::endl;
    std::cout << "Automatycznie ustawiono limit(WERSJA BETA): " << kLimitNut << std::endl;
    std::cout << "Trwa ładowanie dźwieków..." << std::endl;
}

void ekran(const Nagranie &n, int poziom) {
    tk();
    std::cout << "Ilość dźwięków zagranych: " << n.ilosc << "/" << kLimitNut << "." << std::endl;
    if (n.ilosc == kLimitNut)
        std::cout << "Osiągnięto limit nut! Kolejne dźwięki zabrzmią, ale nie zostaną nagrane."
                  << std::endl;
    std::cout << "Naciśnij ESC by zakończyć!" << std::endl;
    Poziomy(poziom, 0);
    Opis(poziom, 0);
}

void nagrywaj(Nagranie &n, const ZestawDzwiekow &dzwieki) {
    int poziom = 0;
    for (;;) {
        ekran(n, poziom);
        unsigned char klawisz = static_cast<unsigned char>(Klawisz());
        // The press itself: no Esc wait and no redraw enters a pause.
        std::int64_t czas = platform::lastKeyTimeMs();
        if (klawisz == kod::kEsc) {
            n.zamknij(czas);
            return;
        }
        WspolneKlawisze(klawisz, poziom, dzwieki,
                        [&](const std::string &dzwiek) { n.dodaj(dzwiek, czas); });
    }
}

// A year the player can read back: a whole signed 32-bit number.
bool rokPoprawny(const std::string &rok) {
    std::istringstream t(rok);
    int v = 0;
    return (t >> v) && t.peek() == std::char_traits<char>::eof();
}

// Asks the three questions and writes the song, asking for another file name
// while the save fails. False only when input ends first.
bool zapisz(const Nagranie &n) {
    tk();
    std::cout << "Trwa przygotowanie..." << std::endl;
    std::string plik, tytul, rok;
    std::cout << "Podaj nazwę pliku do zapisania(Bez spacji): ";
    if (CzytajSlowo(plik) != Odczyt::Ok)
        return false;
    std::cout << "Podaj nazwę utworu(bez spacji): ";
    if (CzytajSlowo(tytul) != Odczyt::Ok)
        return false;
    for (;;) {
        std::cout << "Wpisz rok: " << std::endl;
        if (CzytajSlowo(rok) != Odczyt::Ok)
            return false;
        if (rokPoprawny(rok))
            break;
        std::cout << "Rok musi być liczbą całkowitą!" << std::endl;
    }
    for (;;) {
        std::cout << "Trwa zapisywanie..." << std::endl;
        int powod = 0;
        if (ZapiszUtwor(plik, tytul, rok, n.ilosc, n.dzwieki.data(), n.pauzy.data(), &powod))
            break;
        std::cout << Zawin("Nie udało się zapisać utworu do pliku " + plik +
                           ".tsf! Nagranie jest zachowane, podaj inną nazwę.")
                  << std::endl;
        std::cout << PowodBledu(powod) << std::endl;
        std::cout << "Podaj nazwę pliku do zapisania(Bez spacji): ";
        if (CzytajSlowo(plik) != Odczyt::Ok)
            return false;
    }
    std::cout << "Zapisano!" << std::endl;
    Klawisz();
    return true;
}

} // namespace

void Stworz() {
    if (!powitanie())
        return;
    Nagranie n;
    przygotuj(n);
    ZestawDzwiekow dzwieki;
    std::cout << "Program jest gotowy do grania. Proszę nacisnąć dowolny klawisz, aby zacząć "
                 "nagrywać..."
              << std::endl;
    Klawisz();
    nagrywaj(n, dzwieki);
    zapisz(n);
    // The tables go first, the sounds and the device after them.
    n = Nagranie();
}
