#include "piano/keymap.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

#include "platform/clock.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

// Reads the entry count at the head of a data file; false when there is none
// that a table could be sized from.
bool wczytajIlosc(std::istream &f, int &ilosc) {
    return (f >> ilosc) && ilosc >= 0;
}

[[noreturn]] void zakonczStart() {
    platform::sleepMs(1000);
    std::exit(0);
}

template <class T> T *tabela(const std::vector<T> &v) {
    T *t = new T[v.size()];
    for (std::size_t i = 0; i < v.size(); ++i)
        t[i] = v[i];
    return t;
}

} // namespace

int KeysInit() {
    std::cout << "Otwieranie pliku Keys.tdf...\n";
    std::ifstream f("Keys.tdf");
    if (!f) {
        std::cout << "Nastapił błąd przy otwieraniu Keys.tdf!\n";
        zakonczStart();
    }
    std::cout << "Plik Keys.tdf został otwarty z powodzeniem!\n";
    int n = 0;
    if (!wczytajIlosc(f, n)) {
        std::cout << Zawin("Błąd w pliku Keys.tdf: na początku pliku nie ma ilości dźwięków "
                           "(liczby nieujemnej)!\n");
        zakonczStart();
    }
    std::cout << "Wczytano ilość dźwięków!\n";
    // Entries are read as they come, so a count the file cannot back allocates nothing.
    std::vector<std::string> nazwy;
    std::vector<unsigned char> klawisze;
    std::vector<int> poziomy;
    std::cout << "Zaalokowano pamięć dla nazw plików ze dźwiękami!\n";
    std::cout << "Zaalokowano pamięć dla klawiszy!\n";
    std::cout << "Zaalokowano pamięć dla numerów poziomów!\n";
    for (int nr = 1; nr <= n; ++nr) {
        std::string nazwa;
        char klawisz = 0;
        int poziom = 0;
        bool ok = static_cast<bool>(f >> nazwa);
        if (ok)
            std::cout << "Pobrano nazwę pliku: " << nazwa << " nr " << nr << "!\n";
        ok = ok && (f >> klawisz);
        if (ok)
            std::cout << "Pobrano klawisz nr " << nr << "!" << std::endl;
        ok = ok && (f >> poziom);
        if (!ok) {
            std::cout << Zawin("Błąd w pliku Keys.tdf: wpis nr " + std::to_string(nr) + " z " +
                               std::to_string(n) +
                               " jest niepełny lub błędny (potrzebne: nazwa pliku, klawisz, "
                               "numer poziomu)!\n");
            zakonczStart();
        }
        std::cout << "Pobrano numer poziomu dla klawisza nr " << nr << "!\n";
        nazwy.push_back(nazwa);
        klawisze.push_back(static_cast<unsigned char>(klawisz));
        poziomy.push_back(poziom);
    }
    std::cout << "Klawisze zostały pobrane!\n";
    std::cout << "Klawisze zostały przygotowane!\n";
    IloscDzwiekow = n;
    MapaDzwiekow = tabela(nazwy);
    MapaKlawiszy = tabela(klawisze);
    MapaPoziomow = tabela(poziomy);
    return 1;
}

int LevelsInit() {
    std::ifstream f("Levels.tdf");
    std::cout << "Otwieranie Levels.tdf...\n";
    if (!f) {
        std::cout << "Otwieranie niepowiodło się!\n";
        return 0;
    }
    std::cout << "Otwieranie powiodło się!\n";
    int m = 0;
    if (!wczytajIlosc(f, m)) {
        std::cout << Zawin("Błąd w pliku Levels.tdf: na początku pliku nie ma ilości poziomów "
                           "(liczby nieujemnej)! Poziomy nie zostaną wczytane.\n");
        return 0;
    }
    std::cout << "Wczytano ilość poziomów!\n";
    std::cout << "Zaalokowano pamięć na nazwy poziomów!\n";
    std::vector<std::string> nazwy, opisy;
    for (int nr = 1; nr <= m; ++nr) {
        std::string nazwa, opis;
        bool ok = static_cast<bool>(f >> nazwa);
        if (ok)
            std::cout << "Wczytano nazwę poziomu nr " << nr << ": " << nazwa << "!\n";
        ok = ok && (f >> opis);
        if (!ok) {
            std::cout << Zawin("Błąd w pliku Levels.tdf: poziom nr " + std::to_string(nr) + " z " +
                               std::to_string(m) +
                               " nie ma nazwy lub opisu! Poziomy nie zostaną wczytane.\n");
            return 0;
        }
        std::cout << "Wczytano opis poziomu nr " << nr << ": " << opis << "!\n";
        nazwy.push_back(nazwa);
        opisy.push_back(opis);
    }
    std::cout << "Wczytywanie powiodło się!\n";
    for (std::string &opis : opisy)
        for (char &c : opis)
            if (c == '_')
                c = ' ';
    IloscPoziomow = m;
    NazwaPoziomow = tabela(nazwy);
    OpisPoziomow = tabela(opisy);
    return 1;
}
