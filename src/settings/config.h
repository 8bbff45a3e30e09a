// Confing.tdf: the volume, the two colours and the four arrow slots.
#pragma once

#include <string>
#include <string_view>

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
// Rewrites Confing.tdf from the settings in memory. On failure it says so,
// and why, on the console, keeps the old file and returns false; the
// settings stay.
bool SaveConfing();

// Confing.tdf read from its bytes, without the file system. A field that
// cannot be read holds its default, and the fields after it are still read.
struct OdczytConfing {
    int glosnosc = kDomyslnaGlosnosc;
    int tlo = kDomyslneTlo;
    int litery = kDomyslneLitery;
    std::string skroty[4] = {"0", "0", "0", "0"};
    // Per field, what was wrong with it ("wiersz L, kolumna C: ..."); a file
    // that ends early names only its first missing field.
    std::string bledy[7];
    int koniecOd = 7;  // the first field the file does not hold
    std::string uwaga; // a character the code page lacks, or empty
};
OdczytConfing CzytajConfing(std::string_view bajty);

// The record SaveConfing writes for these values.
std::string RekordConfing(int glosnosc, int tlo, int litery, const std::string skroty[4]);
