// Song playback: plays a song file with the timing it was recorded with.
#pragma once

#include <string>

void PlayPr();
// Plays the song file plik; returns "ALL_OK", "Can't find file!" or "Can't find sound".
std::string Play(std::string plik);
