// What every screen shares: colours, the cleared window with its banner, and
// the reads of the keyboard.
#pragma once

#include <string>

// Console colour state.
void textcolor(int colour);
void textbackground(int colour);
int currentAttribute();

// Clears the window in the configured colours and draws the banner.
void tk();

// Outcome of a stream read.
enum class Odczyt {
    Ok,     // a value was read
    Zly,    // input the read cannot take: the rest of the line is discarded
    Koniec, // end of standard input
};

// One word: white space skipped, then everything up to the next white space.
Odczyt CzytajSlowo(std::string &word);
// A signed 32-bit decimal number; stops before the first character that cannot continue it.
Odczyt CzytajLiczbe(int &number);
// The next character that is not white space.
Odczyt CzytajZnak(char &c);
// The rest of the line; its line end is consumed, not stored.
Odczyt CzytajLinie(std::string &line);

// A menu choice: the first character of one word (the rest of the word is
// dropped); '0', the exit of every menu, once input has ended.
char WyborMenu();

// The program's own message laid out for the 80-column console: lines break
// between words (a word longer than a line stays whole).
std::string Zawin(const std::string &tekst);

// The single-key read: no Enter, no echo; extended keys come as 224 and a code.
int Klawisz();
