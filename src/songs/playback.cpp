#include "songs/playback.h"

#include <cstdint>
#include <iostream>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "piano/sounds.h"
#include "platform/clock.h"
#include "shell/screen.h"
#include "songs/songfile.h"

Rozne PoliczRozne(const Utwor &u) {
    Rozne r;
    // Keys view the song's own names, which outlive the map.
    std::unordered_map<std::string_view, int> pozycje;
    pozycje.reserve(u.dzwieki.size());
    r.indeksy.reserve(u.dzwieki.size());
    for (std::size_t i = 0; i < u.dzwieki.size(); ++i) {
        auto [it, nowa] = pozycje.try_emplace(u.dzwieki[i], static_cast<int>(r.nazwy.size()));
        if (nowa) {
            r.nazwy.push_back(u.dzwieki[i]);
            // One flush for the whole count: a song may bring in 100000 names.
            std::cout << "Dodano dźwięk nr" << i + 1 << "!\n";
        }
        r.indeksy.push_back(it->second);
    }
    std::cout.flush();
    return r;
}

namespace {

// Each note starts at the start of playback plus the pauses before it, so the
// time spent printing and triggering never adds up over the song.
void graj(const Utwor &u, const Rozne &r, const std::vector<audiere::OutputStreamPtr> &dzwieki) {
    std::int64_t termin = platform::nowMs();
    for (std::size_t i = 0; i < u.dzwieki.size(); ++i) {
        platform::clock().sleepUntilMs(termin);
        std::cout << "Granie dźwięku nr " << r.indeksy[i] << "!" << std::endl;
        Wyzwol(dzwieki[r.indeksy[i]].get(), 0);
        if (u.pauzy[i] == kKoniecUtworu)
            return;
        termin += u.pauzy[i];
    }
    platform::clock().sleepUntilMs(termin);
}

} // namespace

std::string Play(std::string plik) {
    Utwor u;
    std::string blad;
    switch (WczytajUtwor(plik, u, blad)) {
    case Wczytanie::BrakPliku:
        return "Can't find file!";
    case Wczytanie::Bledny:
        std::cout << Zawin("Nie można odtworzyć pliku " + plik + ", " + blad + "!") << std::endl;
        Klawisz();
        return "Can't find file!";
    case Wczytanie::Ok:
        break;
    }
    audiere::AudioDevicePtr urzadzenie = OtworzUrzadzenie();
    std::cout << "Trwa zliczanie dźwięków..." << std::endl;
    Rozne r = PoliczRozne(u);
    std::vector<audiere::OutputStreamPtr> dzwieki;
    for (const std::string &nazwa : r.nazwy) {
        std::cout << "Trwa generowanie dźwięku " << nazwa << "!" << std::endl;
        dzwieki.push_back(OtworzDzwiek(urzadzenie.get(), nazwa));
        if (NieDoZagrania(dzwieki.back())) {
            ZglosBrakDzwieku(nazwa);
            std::cout << "Doinstalowanie odpowiednich pakietów rozwiąże problem!" << std::endl;
            Klawisz();
            return "Can't find sound";
        }
        UstawGlosnosc(dzwieki.back().get());
    }
    std::cout << "Naciśnij dowolny przycisk aby zagrać utwór pt. " << u.tytul << "!" << std::endl;
    Klawisz();
    tk();
    std::cout << "Utwór: " << u.tytul << ", Rok Wydania: " << u.rok << std::endl;
    graj(u, r, dzwieki);
    u = Utwor();
    r = Rozne();
    dzwieki.clear();
    std::cout << "Koniec!" << std::endl;
    std::cout << "Naciśnij dowolny klawisz, by kontynuować!" << std::endl;
    Klawisz();
    return "ALL_OK";
}

void PlayPr() {
    tk();
    std::cout << "Podaj nazwę pliku: ";
    // The line end left by the menu's choice.
    std::cin.get();
    std::string nazwa;
    if (CzytajLinie(nazwa) == Odczyt::Koniec)
        return;
    Play(nazwa + ".tsf");
}
