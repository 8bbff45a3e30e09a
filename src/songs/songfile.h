// Song files (.tsf): title, year, note count, then a file name and a pause in
// milliseconds per note; every field followed by one space.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pause that ends playback at its note.
constexpr int kKoniecUtworu = 9999;

// Writes nazwa + ".tsf" atomically; false when the song could not be saved,
// in which case any old file of that name is left as it was, and powod (when
// given) holds the errno.
bool ZapiszUtwor(const std::string &nazwa, const std::string &tytul, const std::string &rok, int n,
                 const std::string *dzwieki, const std::int64_t *pauzy, int *powod = nullptr);

struct Utwor {
    std::string tytul; // underscores already turned into spaces
    int rok = 0;
    std::vector<std::string> dzwieki;
    std::vector<int> pauzy;
};

enum class Wczytanie {
    Ok,
    BrakPliku, // cannot be opened for reading
    Bledny,    // does not hold a whole song; nothing of it may be played
};

// Reads a song file (name with its extension). For Bledny, blad says where
// and what is wrong ("wiersz L, kolumna C: ...").
Wczytanie WczytajUtwor(const std::string &plik, Utwor &utwor, std::string &blad);

// The same from the file's bytes, without the file system: Ok or Bledny.
Wczytanie CzytajUtwor(std::string_view bajty, Utwor &utwor, std::string &blad);
// The bytes ZapiszUtwor writes.
std::string TekstUtworu(const std::string &tytul, const std::string &rok, int n,
                        const std::string *dzwieki, const std::int64_t *pauzy);
