// The console of the program on a Linux terminal: code page 852 shown in the
// locale's charset, colours by console attribute, clearing on the alternate
// screen, single-key reads, and a terminal that is always given back as it
// was found.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/keydecoder.h"

namespace platform {

// Takes over the standard streams. Call once, first thing in main.
void initConsole();

// Gives the terminal back its mode, colours and screen; safe to call more
// than once.
void restoreConsole();

// Leaves the alternate screen: what is written from now on stays on the
// user's own screen after the program ends.
void leaveFullScreen();

// The code page switch: returns 0 when text will be shown right.
int switchCodePage852();

// Applies a console attribute to text written from now on.
void applyAttribute(int attribute);

// Clears the whole window in the current attribute, cursor top left.
void clearScreen();

// The single-key read: one key code, extended keys as two codes.
int readKey();
// When the first byte of the key that readKey returned last arrived, on the
// clock of nowMs(): the press itself, not the end of any wait for more bytes.
std::int64_t lastKeyTimeMs();

// Tests replace where keys come from; an empty function restores the console.
// A plain reader's keys carry the time at which it returns them.
void setKeyReader(std::function<int()> reader);
void setTimedKeyReader(std::function<TimedKey()> reader);

} // namespace platform
