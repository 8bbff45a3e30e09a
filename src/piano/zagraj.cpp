#include "piano/zagraj.h"

#include <iostream>

#include "piano/sounds.h"
#include "platform/clock.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

void lista() {
    tk();
    std::cout << "Który dźwięk chcesz zagrać: " << std::endl;
    for (int i = 0; i < IloscDzwiekow; ++i)
        std::cout << "    " << i + 1 << ". " << MapaDzwiekow[i] << std::endl;
    std::cout << "    0. Wyjście" << std::endl;
}

// Plays one sound for two seconds at the library's own volume.
void zagrajJeden(const std::string &plik) {
    audiere::AudioDevicePtr urzadzenie = OtworzUrzadzenie();
    audiere::OutputStreamPtr dzwiek = OtworzDzwiek(urzadzenie.get(), plik);
    if (NieDoZagrania(dzwiek)) {
        ZglosBrakDzwieku(plik);
        Klawisz();
        return;
    }
    if (!dzwiek)
        return; // no device: told already
    Wyzwol(dzwiek.get(), 0);
    platform::sleepMs(2000);
    dzwiek = {};
    urzadzenie = {};
}

} // namespace

void Zagraj() {
    for (;;) {
        lista();
        int wybor = 0;
        // Anything but a number counts as 0.
        if (CzytajLiczbe(wybor) != Odczyt::Ok || wybor == 0)
            return;
        if (wybor < 1 || wybor > IloscDzwiekow) {
            std::cout << "Zakres został przekroczony!" << std::endl;
            Klawisz();
            continue;
        }
        zagrajJeden(MapaDzwiekow[wybor - 1]);
    }
}
