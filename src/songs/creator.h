// The melody creator: records what is played and saves it as a song file.
#pragma once

// The most notes one recording holds.
constexpr int kLimitNut = 100000;

void Stworz();
