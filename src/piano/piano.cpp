#include "piano/piano.h"

#include <climits>
#include <iostream>

#include "piano/keycodes.h"
#include "piano/sounds.h"
#include "shell/screen.h"
#include "shell/state.h"

void Poziomy(int current, int page) {
    std::cout << "Lista poziomów: \n";
    // Every level is listed, so ten and more stay visible.
    for (int i = page * 10; i < IloscPoziomow; ++i) {
        std::cout << (i - page * 10 == current ? " -> " : "  - ") << i + 1 << ". "
                  << NazwaPoziomow[i] << "\n";
    }
}

void Opis(int position, int page) {
    int poziom = page * 10 + position;
    std::cout << "Opis poziomu: ";
    if (poziom >= 0 && poziom < IloscPoziomow)
        std::cout << OpisPoziomow[poziom];
    else
        std::cout << "brak poziomów, klawisze nic nie zagrają (sprawdź plik Levels.tdf)";
    std::cout << "\n";
}

int ZmienPoziom(int poziom, unsigned char klawisz) {
    if (klawisz == kod::kPoziomWyzej && poziom < IloscPoziomow - 1)
        ++poziom;
    if (klawisz == kod::kPoziomNizej && poziom > 0)
        --poziom;
    return poziom;
}

int WybierzPoziom(int poziom, unsigned char klawisz) {
    int k = klawisz - kod::kPierwszyPoziom;
    return k >= 0 && k < IloscPoziomow ? k : poziom;
}

unsigned char WspolneKlawisze(unsigned char klawisz, int &poziom, const ZestawDzwiekow &dzwieki,
                              const std::function<void(const std::string &)> &zagrano) {
    poziom = ZmienPoziom(poziom, klawisz);
    for (int i = 0; i < IloscDzwiekow && poziom < IloscPoziomow; ++i) {
        if (MapaKlawiszy[i] == klawisz && MapaPoziomow[i] == poziom) {
            if (zagrano)
                zagrano(MapaDzwiekow[i]);
            Wyzwol(dzwieki.klawisz(i), kCzekanieNaRestart);
        }
    }
    poziom = WybierzPoziom(poziom, klawisz);
    if (klawisz == kod::kRozszerzony) {
        klawisz = static_cast<unsigned char>(Klawisz());
        int slot = SlotStrzalki(klawisz);
        if (slot >= 0 && Klawiszowe[slot] != kPustySkrot) {
            if (zagrano)
                zagrano(Klawiszowe[slot]);
            Wyzwol(dzwieki.skrot(slot), kCzekanieNaRestart);
        }
    }
    return klawisz;
}

namespace {

void ustawGlosnoscKlawiszy(const ZestawDzwiekow &dzwieki) {
    for (int i = 0; i < IloscDzwiekow; ++i)
        if (audiere::OutputStream *d = dzwieki.klawisz(i))
            d->setVolume(static_cast<float>(Glosnosc) / 10);
}

void ekran(int poziom) {
    tk();
    std::cout << "Głośność: " << Glosnosc * 10LL << "%!" << std::endl;
    Poziomy(poziom, 0);
    Opis(poziom, 0);
}

} // namespace

void Graj() {
    ZestawDzwiekow dzwieki;
    int poziom = 0;
    for (;;) {
        ekran(poziom);
        unsigned char klawisz = static_cast<unsigned char>(Klawisz());
        if (klawisz == kod::kStop) {
            for (int i = 0; i < IloscDzwiekow; ++i) {
                audiere::OutputStream *d = dzwieki.klawisz(i);
                if (d && d->isPlaying())
                    d->stop();
            }
        }
        if (klawisz == kod::kGlosniej && Glosnosc != 10 && Glosnosc != INT_MAX) {
            ++Glosnosc;
            ustawGlosnoscKlawiszy(dzwieki);
        }
        if (klawisz == kod::kCiszej && Glosnosc != 0 && Glosnosc != INT_MIN) {
            --Glosnosc;
            ustawGlosnoscKlawiszy(dzwieki);
        }
        klawisz = WspolneKlawisze(klawisz, poziom, dzwieki);
        if (klawisz == kod::kEsc)
            return;
    }
}
