#include "shell/screen.h"

#include <iostream>
#include <limits>

#include "platform/terminal.h"
#include "shell/state.h"

namespace {

int letters = 7;
int background = 0;

void apply() {
    platform::applyAttribute((background * 16 + letters) & 0xFFFF);
}

// After a read that stored nothing: tells the end of input from bad input,
// and leaves the stream usable for the next read.
Odczyt afterFailure() {
    if (std::cin.eof())
        return Odczyt::Koniec;
    std::cin.clear();
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return Odczyt::Zly;
}

} // namespace

void textcolor(int colour) {
    letters = colour;
    apply();
}

void textbackground(int colour) {
    background = colour;
    apply();
}

int currentAttribute() {
    return (background * 16 + letters) & 0xFFFF;
}

void tk() {
    textcolor(Konfiguracja[2]);
    textbackground(Konfiguracja[1]);
    platform::clearScreen();
    const std::string dashes(80, '-');
    std::cout << "                             Mirvo Information\n";
    std::cout << dashes;
    std::cout << dashes;
    std::cout << "                             Brzdekomat 0.3\n";
}

Odczyt CzytajSlowo(std::string &word) {
    std::string w;
    if (std::cin >> w) {
        word = std::move(w);
        return Odczyt::Ok;
    }
    return afterFailure();
}

Odczyt CzytajLiczbe(int &number) {
    int n = 0;
    if (std::cin >> n) {
        number = n;
        return Odczyt::Ok;
    }
    return afterFailure();
}

Odczyt CzytajZnak(char &c) {
    char ch = 0;
    if (std::cin >> ch) {
        c = ch;
        return Odczyt::Ok;
    }
    return afterFailure();
}

Odczyt CzytajLinie(std::string &line) {
    std::string l;
    if (std::getline(std::cin, l)) {
        line = std::move(l);
        return Odczyt::Ok;
    }
    return afterFailure();
}

char WyborMenu() {
    std::string slowo;
    return CzytajSlowo(slowo) == Odczyt::Ok ? slowo[0] : '0';
}

std::string Zawin(const std::string &tekst) {
    constexpr std::size_t kSzerokosc = 80;
    std::string wynik = tekst;
    std::size_t poczatek = 0; // where the current line starts
    std::size_t spacja = std::string::npos;
    for (std::size_t i = 0; i < wynik.size(); ++i) {
        if (wynik[i] == '\n') {
            poczatek = i + 1;
            spacja = std::string::npos;
            continue;
        }
        if (i - poczatek >= kSzerokosc) {
            // The line is full: break at this space or at the last one.
            std::size_t gdzie = wynik[i] == ' ' ? i : spacja;
            if (gdzie != std::string::npos) {
                wynik[gdzie] = '\n';
                poczatek = gdzie + 1;
                spacja = std::string::npos;
                if (gdzie == i)
                    continue;
            }
        }
        if (wynik[i] == ' ')
            spacja = i;
    }
    return wynik;
}

int Klawisz() {
    return platform::readKey();
}
