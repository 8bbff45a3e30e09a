// Piano mode, and the level list and description it shares with the melody creator.
#pragma once

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
