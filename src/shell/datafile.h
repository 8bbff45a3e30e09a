// Fields of the data files, read with the place of each one, so that every
// reader's message says in Polish where a file is wrong and what is wrong.
#pragma once

#include <string>
#include <string_view>

#include "platform/tokenizer.h"

// "wiersz 3, kolumna 8"
std::string Miejsce(platform::Position at);

// The warning for a UTF-8 file with a character that code page 852 lacks;
// empty when there is none.
std::string UwagaOZnakach(const std::string &plik, const platform::DataText &dane);

// Reads the fields of one data file in order. Each read names its field (in
// the nominative, e.g. "numer poziomu wpisu nr 2"); on failure it returns
// false and blad() says where and what: "wiersz 2, kolumna 7: ...".
class PolaPliku {
  public:
    explicit PolaPliku(std::string_view tekst) : t_(tekst) {}

    bool slowo(const std::string &co, std::string &wartosc);
    bool bajt(const std::string &co, unsigned char &wartosc);
    bool liczba(const std::string &co, int &wartosc, bool nieujemna = false);

    const std::string &blad() const { return blad_; }
    // True when the last failure was the end of the file.
    bool koniec() const { return koniec_; }

  private:
    bool brak(const std::string &co, const platform::Token &t);

    platform::Tokenizer t_;
    std::string blad_;
    bool koniec_ = false;
};

// Why a file could not be written, as one Polish line:
// "Powód: brak miejsca na dysku."
std::string PowodBledu(int errnum);
