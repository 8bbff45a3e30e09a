#include "songs/songfile.h"

#include <sstream>

#include "platform/charset.h"
#include "platform/files.h"
#include "platform/tokenizer.h"
#include "shell/datafile.h"

std::string TekstUtworu(const std::string &tytul, const std::string &rok, int n,
                        const std::string *dzwieki, const std::int64_t *pauzy) {
    std::ostringstream tekst;
    tekst << tytul << ' ' << rok << ' ' << n << ' ';
    for (int i = 0; i < n; ++i)
        tekst << dzwieki[i] << ' ' << pauzy[i] << ' ';
    return platform::encodeDataFile(tekst.str());
}

bool ZapiszUtwor(const std::string &nazwa, const std::string &tytul, const std::string &rok, int n,
                 const std::string *dzwieki, const std::int64_t *pauzy, int *powod) {
    return platform::writeFileAtomically(platform::pathToCreate(nazwa + ".tsf"),
                                         TekstUtworu(tytul, rok, n, dzwieki, pauzy), powod);
}

Wczytanie CzytajUtwor(std::string_view bajty, Utwor &utwor, std::string &blad) {
    platform::DataText dane = platform::decodeDataFile(bajty);
    PolaPliku pola(dane.text);
    Utwor u;
    int n = 0;
    auto zly = [&] {
        blad = pola.blad();
        return Wczytanie::Bledny;
    };
    if (!pola.slowo("tytuł", u.tytul) || !pola.liczba("rok", u.rok) ||
        !pola.liczba("ilość nut", n, true))
        return zly();
    // Notes are read as they come, so a count the file cannot back allocates nothing.
    for (int i = 1; i <= n; ++i) {
        std::string dzwiek;
        int pauza = 0;
        std::string nr = " nuty nr " + std::to_string(i);
        if (!pola.slowo("nazwa dźwięku" + nr, dzwiek) || !pola.liczba("pauza" + nr, pauza, true))
            return zly();
        u.dzwieki.push_back(std::move(dzwiek));
        u.pauzy.push_back(pauza);
    }
    for (char &c : u.tytul)
        if (c == '_')
            c = ' ';
    utwor = std::move(u);
    return Wczytanie::Ok;
}

Wczytanie WczytajUtwor(const std::string &plik, Utwor &utwor, std::string &blad) {
    std::string bajty;
    if (!platform::readWholeFile(platform::pathToOpen(plik), bajty))
        return Wczytanie::BrakPliku;
    return CzytajUtwor(bajty, utwor, blad);
}
