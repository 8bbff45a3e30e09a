// Piano mode, and the level list and description it shares with the melody creator.
#pragma once

#include <functional>
#include <string>

class ZestawDzwiekow;

// Plays the key map until Esc.
void Graj();

// The level list, the current level marked; page counts tens of levels.
void Poziomy(int current, int page);
// The description line of a level.
void Opis(int position, int page);

// Moves a level under [ and ]; returns the level.
int ZmienPoziom(int poziom, unsigned char klawisz);
// The level a level key selects, or the level unchanged.
int WybierzPoziom(int poziom, unsigned char klawisz);

// The key steps piano mode and the melody creator share, in their order:
// [ and ], the sound keys of the current level, the level keys, then an
// arrow after the extended-key prefix (its second code is read here).
// zagrano hears the name of every sound started, before it starts. Returns
// the key as the steps left it: the second code after the prefix.
unsigned char WspolneKlawisze(unsigned char klawisz, int &poziom, const ZestawDzwiekow &dzwieki,
                              const std::function<void(const std::string &)> &zagrano = {});
