// Brzdekomat: start-up, main menu and shutdown.
#include <iostream>
#include <string>

#include "piano/keymap.h"
#include "piano/piano.h"
#include "platform/terminal.h"
#include "settings/config.h"
#include "settings/options.h"
#include "shell/log.h"
#include "shell/screen.h"
#include "shell/state.h"
#include "songs/creator.h"
#include "songs/playback.h"

namespace {

void temp() {
    std::cout << "Trwa usuwanie skladnikow tymczasowych programu! : ";
}

void start() {
    if (platform::switchCodePage852() != 0) {
        std::cout << "Wystapil blad przy zmianie strony kodowej! Zamiast polskich znakow beda "
                     "krzaczki!"
                  << std::endl;
        Klawisz();
    }
    LogClear();
    InitConfing();
    KeysInit();
    LevelsInit();
}

void menu() {
    for (;;) {
        tk();
        std::cout << "Witaj w Brzdekomat! Co chcesz zrobić? \n    1. Pograć na fortepianie\n    2. "
                     "Poszperać w opcjach\n    3. Puścić wcześniej ułożoną piosenkę\n    4. Wejść "
                     "do kreatora muzyki.\n    0. Wyjść"
                  << std::endl;
        switch (WyborMenu()) {
        case '0':
            return;
        case '1':
            Graj();
            break;
        case '2':
            Opcje();
            break;
        case '3':
            PlayPr();
            break;
        case '4':
            Stworz();
            break;
        default:
            std::cout << " Zly wybor!" << std::endl;
            Klawisz();
        }
    }
}

template <class T> void zwolnij(const char *co, T *&tabela) {
    temp();
    std::cout << co << std::endl;
    delete[] tabela;
    tabela = nullptr;
}

void shutdown() {
    // The user's own screen comes back first, so these lines stay after exit.
    platform::leaveFullScreen();
    std::cout << "Zmienienie strony kodowej! " << std::endl;
    std::cout << "Przygotowanie do wylaczenia programu!!!" << std::endl;
    zwolnij(" mapy klawiszy", MapaKlawiszy);
    zwolnij(" nazw poziomow", NazwaPoziomow);
    zwolnij(" opisow poziomow", OpisPoziomow);
    zwolnij(" konfiguracji programu", Konfiguracja);
    zwolnij(" mapy dzwiekow", MapaDzwiekow);
    std::cout << "Trwa wlasciwe wylaczanie!" << std::endl;
}

} // namespace

int main() {
    platform::initConsole();
    start();
    menu();
    shutdown();
    return 0;
}
