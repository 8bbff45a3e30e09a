#include "shell/datafile.h"

#include <cerrno>
#include <cstring>

std::string Miejsce(platform::Position at) {
    return "wiersz " + std::to_string(at.line) + ", kolumna " + std::to_string(at.column);
}

std::string UwagaOZnakach(const std::string &plik, const platform::DataText &dane) {
    if (dane.unmappedLine == 0)
        return {};
    return "Uwaga! W pliku " + plik + " (" + Miejsce({dane.unmappedLine, dane.unmappedColumn}) +
           ") jest znak spoza strony kodowej 852; zastąpiono go znakiem ?.\n";
}

bool PolaPliku::brak(const std::string &co, const platform::Token &t) {
    koniec_ = t.end();
    if (!koniec_)
        return false;
    blad_ = Miejsce(t.at) + ": brak pola: " + co + " (plik kończy się za wcześnie)";
    return true;
}

bool PolaPliku::slowo(const std::string &co, std::string &wartosc) {
    platform::Token t = t_.next();
    if (brak(co, t))
        return false;
    wartosc = std::string(t.text);
    return true;
}

bool PolaPliku::bajt(const std::string &co, unsigned char &wartosc) {
    platform::Token t = t_.nextByte();
    if (brak(co, t))
        return false;
    wartosc = static_cast<unsigned char>(t.text[0]);
    return true;
}

bool PolaPliku::liczba(const std::string &co, int &wartosc, bool nieujemna) {
    platform::Token t = t_.next();
    if (brak(co, t))
        return false;
    int v = 0;
    std::string tekst(t.text);
    switch (platform::parseInt32(t.text, v)) {
    case platform::NumberRead::Ok:
        if (nieujemna && v < 0) {
            blad_ = Miejsce(t.at) + ": " + co + " (" + tekst + ") musi być liczbą nieujemną";
            return false;
        }
        wartosc = v;
        return true;
    case platform::NumberRead::NotANumber:
        blad_ = Miejsce(t.at) + ": " + co + " (\"" + tekst + "\") nie jest liczbą całkowitą";
        return false;
    case platform::NumberRead::OutOfRange:
        blad_ = Miejsce(t.at) + ": " + co + " (" + tekst +
                ") wykracza poza zakres liczb całkowitych 32-bitowych";
        return false;
    }
    return false;
}

std::string PowodBledu(int errnum) {
    std::string powod;
    switch (errnum) {
    case ENOSPC:
    case EDQUOT:
        powod = "brak miejsca na dysku";
        break;
    case EROFS:
        powod = "system plików jest tylko do odczytu";
        break;
    case EACCES:
    case EPERM:
        powod = "brak uprawnień do zapisu";
        break;
    case ENOENT:
        powod = "katalog nie istnieje";
        break;
    case ENOTDIR:
        powod = "część ścieżki nie jest katalogiem";
        break;
    case EISDIR:
        powod = "w miejscu pliku jest katalog";
        break;
    case ELOOP:
        powod = "zbyt wiele dowiązań symbolicznych";
        break;
    case ENAMETOOLONG:
        powod = "nazwa pliku jest za długa";
        break;
    case EIO:
        powod = "błąd odczytu lub zapisu na dysku";
        break;
    case EBUSY:
    case ETXTBSY:
        powod = "plik jest zajęty";
        break;
    default:
        // Plain ASCII from the C library, still better than nothing.
        powod = "błąd systemu nr " + std::to_string(errnum) + " (" + std::strerror(errnum) + ")";
    }
    return "Powód: " + powod + ".";
}
