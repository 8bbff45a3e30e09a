// The console of the program on a Linux terminal: code page 852 shown as
// UTF-8, colours by console attribute, clearing, single-key reads, and a
// terminal that is always given back as it was found.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Takes over the standard streams. Call once, first thing in main.
void initConsole();

// Gives the terminal back its mode and colours; safe to call more than once.
void restoreConsole();

// The code page switch: returns 0 when text will be shown right.
int switchCodePage852();

// The console attribute background * 16 + letters, as SGR escape text.
std::string sgrForAttribute(int attribute);

// Applies a console attribute to text written from now on.
void applyAttribute(int attribute);

// Clears the whole window in the current attribute, cursor top left.
void clearScreen();

// The single-key read: one key code, extended keys as two codes.
int readKey();

// Tests replace where keys come from; an empty function restores the console.
void setKeyReader(std::function<int()> reader);

} // namespace platform
