// How the sound-playing modes open, trigger and release their sounds.
#pragma once

#include <string>
#include <vector>

#include "platform/audio.h"

// Opens the default output device; without one, says so and waits for a key,
// and the mode goes on silently.
audiere::AudioDevicePtr OtworzUrzadzenie();

// Opens one whole sound from a file; null when the file cannot be played or
// there is no device (the file is checked all the same).
audiere::OutputStreamPtr OtworzDzwiek(audiere::AudioDevice *urzadzenie, const std::string &plik);

// True for a null sound whose file cannot be played (not one that only
// lacked a device): asked right after OtworzDzwiek.
bool NieDoZagrania(const audiere::OutputStreamPtr &dzwiek);

// The volume of Glosnosc / 10, repeat off: each sound plays once and ends.
void UstawGlosnosc(audiere::OutputStream *dzwiek);

// Starts a sound from its beginning: a playing one is reset, after a wait of
// czekajMs, so that the ear hears the restart; a missing one is skipped.
void Wyzwol(audiere::OutputStream *dzwiek, int czekajMs);

// Says that a sound cannot be played, and on a second line why (the reason
// of the last open).
void ZglosBrakDzwieku(const std::string &plik);

// The sounds of piano mode and the melody creator: one per key-map entry and
// one per occupied arrow slot, all opened before the first key.
class ZestawDzwiekow {
  public:
    // Prints a loading line per key-map entry and opens every sound; names
    // each sound that cannot be opened and then waits for a key.
    ZestawDzwiekow();
    // Key-map sounds last to first, then the arrow slots 4 to 1, device last.
    ~ZestawDzwiekow();
    ZestawDzwiekow(const ZestawDzwiekow &) = delete;
    ZestawDzwiekow &operator=(const ZestawDzwiekow &) = delete;

    audiere::OutputStream *klawisz(int i) const { return klawisze_[i].get(); }
    audiere::OutputStream *skrot(int slot) const { return skroty_[slot].get(); }

  private:
    audiere::AudioDevicePtr urzadzenie_;
    std::vector<audiere::OutputStreamPtr> klawisze_;
    audiere::OutputStreamPtr skroty_[4];
};

// The arrow slot of the code that follows the prefix 224, or -1.
int SlotStrzalki(int kod);

// How long a playing sound waits before it restarts under a key.
constexpr int kCzekanieNaRestart = 50;
