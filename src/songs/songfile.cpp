#include "songs/songfile.h"

#include <fstream>
#include <sstream>

#include "platform/charset.h"
#include "platform/files.h"

bool ZapiszUtwor(const std::string &nazwa, const std::string &tytul, const std::string &rok, int n,
                 const std::string *dzwieki, const std::int64_t *pauzy) {
    std::ostringstream tekst;
    tekst << tytul << ' ' << rok << ' ' << n << ' ';
    for (int i = 0; i < n; ++i)
        tekst << dzwieki[i] << ' ' << pauzy[i] << ' ';
    return platform::writeFileAtomically(platform::pathToCreate(nazwa + ".tsf"), tekst.str());
}

namespace {

// A whole token that is a signed 32-bit decimal number.
bool liczba(std::istream &f, int &wartosc) {
    std::string token;
    if (!(f >> token))
        return false;
    std::istringstream t(token);
    int v = 0;
    if (!(t >> v) || t.peek() != std::char_traits<char>::eof())
        return false;
    wartosc = v;
    return true;
}

} // namespace

Wczytanie WczytajUtwor(const std::string &plik, Utwor &utwor, std::string &blad) {
    std::ifstream f(platform::pathToOpen(plik));
    if (!f)
        return Wczytanie::BrakPliku;
    Utwor u;
    int n = 0;
    if (!(f >> u.tytul)) {
        blad = "brak tytułu";
        return Wczytanie::Bledny;
    }
    if (!liczba(f, u.rok)) {
        blad = "rok nie jest liczbą całkowitą";
        return Wczytanie::Bledny;
    }
    if (!liczba(f, n) || n < 0) {
        blad = "ilość nut nie jest liczbą nieujemną";
        return Wczytanie::Bledny;
    }
    // Notes are read as they come, so a count the file cannot back allocates nothing.
    for (int i = 0; i < n; ++i) {
        std::string dzwiek;
        int pauza = 0;
        if (!(f >> dzwiek)) {
            blad = "plik kończy się po " + std::to_string(i) + " z " + std::to_string(n) + " nut";
            return Wczytanie::Bledny;
        }
        if (!liczba(f, pauza) || pauza < 0) {
            blad = "pauza nuty nr " + std::to_string(i + 1) + " nie jest liczbą nieujemną";
            return Wczytanie::Bledny;
        }
        u.dzwieki.push_back(std::move(dzwiek));
        u.pauzy.push_back(pauza);
    }
    for (char &c : u.tytul)
        if (c == '_')
            c = ' ';
    utwor = std::move(u);
    return Wczytanie::Ok;
}
