// Confing.tdf: the volume, the two colours and the four arrow slots.
#pragma once

// Used when Confing.tdf is missing or a field cannot be read.
constexpr int kDomyslnaGlosnosc = 8;
constexpr int kDomyslneTlo = 0;
constexpr int kDomyslneLitery = 8;

// The volume that Confing.tdf in the working directory sets, read as
// InitConfing reads it (kDomyslnaGlosnosc without the file or the field);
// silent, for the tools that play no screen.
int GlosnoscZConfing();

// Loads the settings at start-up and checks the colours.
void InitConfing();
// Rewrites Confing.tdf from the settings in memory. On failure it says so on
// the console, keeps the old file and returns false; the settings stay.
bool SaveConfing();
