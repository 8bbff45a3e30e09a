// Keys.tdf: which key plays which sound file in which level; Levels.tdf: the
// names and descriptions of the levels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Fills the key map tables. A missing Keys.tdf, or one without a usable
// count, ends the program; entries cut short keep those before them.
int KeysInit();
// Fills the level tables; returns 0 and leaves no levels when Levels.tdf is
// missing or has no usable count; levels cut short keep those before them.
int LevelsInit();

struct WpisMapy {
    std::string plik;
    unsigned char klawisz = 0;
    int poziom = 0;
};

// Keys.tdf read from its bytes, without the file system.
struct OdczytKeys {
    bool iloscOk = false;        // false: no count a table could be sized from
    int ilosc = 0;               // the count the file gives
    std::vector<WpisMapy> wpisy; // the complete entries, in file order
    // The entry the fault is in: how many of its fields were read (0 to 2).
    int polaNiepelnego = 0;
    WpisMapy niepelny;
    std::string blad;  // "wiersz L, kolumna C: ..."; empty for a whole file
    std::string uwaga; // a character the code page lacks, or empty
};
OdczytKeys CzytajKeys(std::string_view bajty);

struct OdczytLevels {
    bool iloscOk = false;
    int ilosc = 0;
    std::vector<std::string> nazwy, opisy; // complete levels; descriptions as read
    bool nazwaNiepelnego = false;          // the broken level's name was read
    std::string niepelnaNazwa;
    std::string blad;
    std::string uwaga;
};
OdczytLevels CzytajLevels(std::string_view bajty);
