#include "piano/keymap.h"

#include <cstdlib>
#include <iostream>

#include "platform/clock.h"
#include "platform/tokenizer.h"
#include "shell/datafile.h"
#include "shell/screen.h"
#include "shell/state.h"

namespace {

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

std::string nr(int n) {
    return " nr " + std::to_string(n);
}

} // namespace

OdczytKeys CzytajKeys(std::string_view bajty) {
    OdczytKeys k;
    platform::DataText dane = platform::decodeDataFile(bajty);
    k.uwaga = UwagaOZnakach("Keys.tdf", dane);
    PolaPliku pola(dane.text);
    if (!pola.liczba("ilość dźwięków", k.ilosc, true)) {
        k.blad = pola.blad();
        return k;
    }
    k.iloscOk = true;
    // Entries are read as they come, so a count the file cannot back allocates nothing.
    for (int n = 1; n <= k.ilosc; ++n) {
        WpisMapy w;
        k.polaNiepelnego = 0;
        if (pola.slowo("nazwa pliku wpisu" + nr(n), w.plik)) {
            k.polaNiepelnego = 1;
            if (pola.bajt("klawisz wpisu" + nr(n), w.klawisz)) {
                k.polaNiepelnego = 2;
                if (pola.liczba("numer poziomu wpisu" + nr(n), w.poziom)) {
                    k.wpisy.push_back(std::move(w));
                    continue;
                }
            }
        }
        k.niepelny = std::move(w);
        k.blad = pola.blad();
        return k;
    }
    k.polaNiepelnego = 0;
    return k;
}

OdczytLevels CzytajLevels(std::string_view bajty) {
    OdczytLevels l;
    platform::DataText dane = platform::decodeDataFile(bajty);
    l.uwaga = UwagaOZnakach("Levels.tdf", dane);
    PolaPliku pola(dane.text);
    if (!pola.liczba("ilość poziomów", l.ilosc, true)) {
        l.blad = pola.blad();
        return l;
    }
    l.iloscOk = true;
    for (int n = 1; n <= l.ilosc; ++n) {
        std::string nazwa, opis;
        l.nazwaNiepelnego = pola.slowo("nazwa poziomu" + nr(n), nazwa);
        if (l.nazwaNiepelnego && pola.slowo("opis poziomu" + nr(n), opis)) {
            l.nazwy.push_back(std::move(nazwa));
            l.opisy.push_back(std::move(opis));
            continue;
        }
        l.niepelnaNazwa = std::move(nazwa);
        l.blad = pola.blad();
        return l;
    }
    l.nazwaNiepelnego = false;
    return l;
}

int KeysInit() {
    std::cout << "Otwieranie pliku Keys.tdf...\n";
    std::string bajty;
    if (!platform::readWholeFile("Keys.tdf", bajty)) {
        std::cout << "Nastapił błąd przy otwieraniu Keys.tdf!\n";
        zakonczStart();
    }
    std::cout << "Plik Keys.tdf został otwarty z powodzeniem!\n";
    OdczytKeys k = CzytajKeys(bajty);
    std::cout << k.uwaga;
    if (!k.iloscOk) {
        std::cout << Zawin("Błąd w pliku Keys.tdf, " + k.blad + "!\n");
        zakonczStart();
    }
    std::cout << "Wczytano ilość dźwięków!\n";
    std::cout << "Zaalokowano pamięć dla nazw plików ze dźwiękami!\n";
    std::cout << "Zaalokowano pamięć dla klawiszy!\n";
    std::cout << "Zaalokowano pamięć dla numerów poziomów!\n";
    auto linie = [](const WpisMapy &w, int n, int pola) {
        if (pola >= 1)
            std::cout << "Pobrano nazwę pliku: " << w.plik << " nr " << n << "!\n";
        if (pola >= 2)
            std::cout << "Pobrano klawisz nr " << n << "!" << std::endl;
        if (pola >= 3)
            std::cout << "Pobrano numer poziomu dla klawisza nr " << n << "!\n";
    };
    int n = 0;
    for (const WpisMapy &w : k.wpisy)
        linie(w, ++n, 3);
    if (!k.blad.empty()) {
        linie(k.niepelny, n + 1, k.polaNiepelnego);
        std::cout << Zawin("Błąd w pliku Keys.tdf, " + k.blad +
                           "!\nZachowano pełne wpisy sprzed błędu: " + std::to_string(n) + " z " +
                           std::to_string(k.ilosc) + ". Naciśnij dowolny klawisz, by kontynuować!")
                  << std::endl;
    }
    if (!k.blad.empty() || !k.uwaga.empty())
        Klawisz();
    std::cout << "Klawisze zostały pobrane!\n";
    std::cout << "Klawisze zostały przygotowane!\n";
    IloscDzwiekow = n;
    std::vector<std::string> nazwy;
    std::vector<unsigned char> klawisze;
    std::vector<int> poziomy;
    for (const WpisMapy &w : k.wpisy) {
        nazwy.push_back(w.plik);
        klawisze.push_back(w.klawisz);
        poziomy.push_back(w.poziom);
    }
    MapaDzwiekow = tabela(nazwy);
    MapaKlawiszy = tabela(klawisze);
    MapaPoziomow = tabela(poziomy);
    return 1;
}

int LevelsInit() {
    std::string bajty;
    bool otwarty = platform::readWholeFile("Levels.tdf", bajty);
    std::cout << "Otwieranie Levels.tdf...\n";
    if (!otwarty) {
        std::cout << "Otwieranie niepowiodło się!\n";
        return 0;
    }
    std::cout << "Otwieranie powiodło się!\n";
    OdczytLevels l = CzytajLevels(bajty);
    std::cout << l.uwaga;
    if (!l.iloscOk) {
        std::cout << Zawin("Błąd w pliku Levels.tdf, " + l.blad +
                           "!\nPoziomy nie zostaną wczytane. Naciśnij dowolny klawisz, by "
                           "kontynuować!")
                  << std::endl;
        Klawisz();
        return 0;
    }
    std::cout << "Wczytano ilość poziomów!\n";
    std::cout << "Zaalokowano pamięć na nazwy poziomów!\n";
    int n = 0;
    for (std::size_t i = 0; i < l.nazwy.size(); ++i) {
        ++n;
        std::cout << "Wczytano nazwę poziomu nr " << n << ": " << l.nazwy[i] << "!\n";
        std::cout << "Wczytano opis poziomu nr " << n << ": " << l.opisy[i] << "!\n";
    }
    if (!l.blad.empty()) {
        if (l.nazwaNiepelnego)
            std::cout << "Wczytano nazwę poziomu nr " << n + 1 << ": " << l.niepelnaNazwa << "!\n";
        std::cout << Zawin("Błąd w pliku Levels.tdf, " + l.blad +
                           "!\nZachowano pełne poziomy sprzed błędu: " + std::to_string(n) + " z " +
                           std::to_string(l.ilosc) + ". Naciśnij dowolny klawisz, by kontynuować!")
                  << std::endl;
    }
    if (!l.blad.empty() || !l.uwaga.empty())
        Klawisz();
    if (l.blad.empty())
        std::cout << "Wczytywanie powiodło się!\n";
    for (std::string &opis : l.opisy)
        for (char &c : opis)
            if (c == '_')
                c = ' ';
    IloscPoziomow = n;
    NazwaPoziomow = tabela(l.nazwy);
    OpisPoziomow = tabela(l.opisy);
    return 1;
}
