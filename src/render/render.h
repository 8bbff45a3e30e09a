// brzdekomat-render: a song file rendered to an audio file, with the sounds,
// the reader and the mixing of song playback, on a device that mixes on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/charset.h"
#include "songs/songfile.h"

namespace render {

constexpr int kDomyslnaCzestotliwosc = 48000;
constexpr int kMinCzestotliwosc = 8000;
constexpr int kMaxCzestotliwosc = 192000;

// An output format, chosen by the extension of the output file.
struct Format {
    const char *rozszerzenie; // ".wav"
    int sf;                   // libsndfile's major and minor format
    bool limit4GB;            // 32-bit sizes in the header
};
// Null when the extension names no format written here (any letter case).
const Format *FormatDla(const std::string &sciezka);
// ".wav, .flac, .ogg, .aiff, .opus": what this libsndfile can write.
std::string ListaFormatow();
// Empty when the format can be written at that rate; otherwise why not (code page 852).
std::string SprawdzFormat(const Format &format, int czestotliwosc);

// The frame of a time in milliseconds, rounded to the nearest frame.
std::int64_t Ramka(std::int64_t ms, int czestotliwosc);

// When each note of a song sounds, in frames at the output rate.
struct Nuta {
    std::int64_t ramka; // onset
    int dzwiek;         // index into Plan::dzwieki
};
struct Plan {
    std::vector<std::string> dzwieki; // distinct sound names, in order of first use
    std::vector<Nuta> nuty;           // the notes that sound: up to the one with pause 9999
    std::int64_t koniecPauz = 0;      // where the last pause ends (at a 9999 note: its onset)
};
// Note i starts at the sum of the earlier pauses, rounded once from the
// millisecond sum, so no rounding error adds up along the song.
Plan Zaplanuj(const Utwor &utwor, int czestotliwosc);

// A failure: the file it concerns and why, for one line on standard error.
struct Blad {
    std::string plik;         // as given or as the song names it
    bool plikZDanych = false; // a name read from a song file (UTF-8 or code page 852)
    std::string powod;        // code page 852
    int status = 1;           // 1 a failure, 2 wrong usage
};

// The sounds of a song on a loopback device, mixed by OpenAL Soft as playback
// mixes them.
class Mikser {
  public:
    // Opens the device and every distinct sound of the plan (playback loads
    // them all, those after a 9999 note too) at volume glosnosc / 10.
    bool otworz(const Plan &plan, int czestotliwosc, int glosnosc, Blad &blad);
    // Frames in the whole file: until the last sound has ended or the last
    // pause has passed, whichever is later.
    std::int64_t dlugosc() const { return dlugosc_; }
    std::int64_t pozycja() const { return pozycja_; }
    // Mixes the next frames (at most n, stereo interleaved) into out; 0 at the end.
    int dalej(float *out, int n);

  private:
    int wybrzmij(float *out, int n);
    Plan plan_;
    audiere::AudioDevicePtr urzadzenie_;
    std::vector<audiere::OutputStreamPtr> dzwieki_;
    std::int64_t dlugosc_ = 0, pozycja_ = 0;
    std::size_t nastepna_ = 0;
    std::vector<float> ogon_; // rung-out frames not yet handed out
    std::int64_t cisza_ = 0;  // silent frames rendered after them
};

// The output file: written under a temporary name beside it and renamed
// over it when complete, so no error or signal leaves half a file.
class PlikWyjsciowy {
  public:
    PlikWyjsciowy() = default;
    PlikWyjsciowy(const PlikWyjsciowy &) = delete;
    PlikWyjsciowy &operator=(const PlikWyjsciowy &) = delete;
    ~PlikWyjsciowy(); // removes an unfinished temporary file

    bool otworz(const std::string &sciezka, const Format &format, int czestotliwosc, Blad &blad);
    bool zapisz(const float *ramki, int n, Blad &blad);
    bool zakoncz(Blad &blad);

  private:
    void porzuc();
    std::string sciezka_;
    void *plik_ = nullptr; // SNDFILE
    int fd_ = -1;
    bool pcm16_ = false;
};

// Removes the temporary file, clears the progress line and ends the process
// by the same signal on SIGINT, SIGTERM and SIGHUP.
void ZainstalujSprzatanie();

// The progress bar: shown on a terminal once a render has taken a second.
class Postep {
  public:
    using Zegar = std::function<std::int64_t()>; // milliseconds
    using Pisz = std::function<void(const std::string &)>;
    Postep(bool terminal, Zegar zegar, Pisz pisz);
    void pokaz(std::int64_t zrobione, std::int64_t wszystkie);
    void zakoncz(); // clears the bar, if shown
    bool widoczny() const { return widoczny_; }
    static std::string pasek(std::int64_t zrobione, std::int64_t wszystkie);

  private:
    bool terminal_;
    Zegar zegar_;
    Pisz pisz_;
    std::int64_t start_, ostatnio_ = -1;
    bool widoczny_ = false;
};

// Text for standard error and output: code page 852 in, the locale's
// character set out (Polish letters it lacks by their base letter).
class Tekst {
  public:
    explicit Tekst(const std::string &kodowanie); // e.g. platform::localeCharset()
    std::string zCp852(const std::string &cp852) const;
    // "brzdekomat-render: FILE: REASON"
    std::string linia(const Blad &blad) const;

  private:
    platform::Charset zestaw_;
};

// The whole tool: parses the command line, renders, reports. Returns the exit status.
int Glowna(int argc, char **argv);

} // namespace render
