// Song playback: plays a song file with the timing it was recorded with.
#pragma once

#include <string>
#include <vector>

struct Utwor;

void PlayPr();
// Plays the song file plik; returns "ALL_OK", "Can't find file!" or "Can't find sound".
std::string Play(std::string plik);

// The distinct sound names of a song in order of first use, and for each note
// the position of its name among them.
struct Rozne {
    std::vector<std::string> nazwy;
    std::vector<int> indeksy;
};
// Counts them in time linear in the song, with a "Dodano dźwięk nr" line for
// each note that brings in a new name.
Rozne PoliczRozne(const Utwor &u);
