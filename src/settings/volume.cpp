#include "settings/volume.h"

#include <iostream>

#include "settings/config.h"
#include "shell/screen.h"
#include "shell/state.h"

void Glos() {
    for (;;) {
        tk();
        std::cout << "Wybierz glośność domyślna:" << std::endl;
        for (int i = 1; i <= 10; ++i)
            std::cout << "    " << i << ". " << 10 * i << "% " << std::endl;

        int n = 0;
        const Odczyt odczyt = CzytajLiczbe(n);
        if (odczyt == Odczyt::Koniec)
            return; // no exit entry: leave with the volume as it was
        // Bad input has been discarded with its line, so asking again cannot loop for ever.
        if (odczyt == Odczyt::Zly || static_cast<unsigned>(n) > 10u)
            continue;

        Glosnosc = n;
        std::cout << "Glośność została ustawiona!" << std::endl;
        SaveConfing();
        Klawisz();
        return;
    }
}
