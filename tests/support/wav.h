// WAV files for tests: writing test sounds, reading back what OpenAL Soft's
// wave output captured, and finding sounds in it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct Wav {
    int rate = 44100;
    int channels = 1;
    std::vector<float> samples; // channels interleaved, full scale is 1

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    double lengthMs() const { return rate ? 1000.0 * frames() / rate : 0; }
    std::vector<float> mono() const; // the channels averaged
};

enum class WavFormat { Pcm16, Float32 };

// Reads 8/16/24/32-bit PCM or 32/64-bit float, plain or WAVE_FORMAT_EXTENSIBLE.
// A data size of 0 or one that runs past the end of the file (a writer that
// has not closed yet) is read as "up to the end of the file".
std::optional<Wav> readWav(const std::string &path);
bool writeWav(const std::string &path, const Wav &wav, WavFormat format = WavFormat::Pcm16);

// Signals to write. Times are milliseconds.
std::vector<float> tone(double hz, double ms, int rate = 44100, float amplitude = 0.5f);
// A sweep from loHz to hiHz: unlike a steady tone it matches itself only at
// one offset, so occurrences() finds where it starts.
std::vector<float> chirp(double loHz, double hiHz, double ms, int rate = 44100,
                         float amplitude = 0.5f);
std::vector<float> resample(const std::vector<float> &x, int fromRate, int toRate);

// OpenAL Soft's wave output as the tests set it up: mono, this rate, mixing
// periods of this many frames.
constexpr int kWaveRate = 44100;
constexpr int kWavePeriod = 256;
constexpr double kWavePeriodMs = 1000.0 * kWavePeriod / kWaveRate;
// The mixer thread at real-time priority where the system allows it (as root,
// in CI): on a busy machine a starved mixer catches up in bursts, and a sound
// started meanwhile lands early by as much as it was behind.
constexpr const char *kRealtimeMixing = "rt-prio = 1\n";
// A configuration file's text that sends the mixed output to wavPath.
std::string waveOutputConfig(const std::string &wavPath);

// Analysis of a mono signal; times in milliseconds from its first sample.
double rms(const std::vector<float> &x, int rate, double fromMs, double toMs);
// Times where the level (RMS over 1 ms blocks) rises to threshold after at
// least quietMs below half of it. The start of the signal counts as quiet.
std::vector<double> onsets(const std::vector<float> &x, int rate, float threshold = 0.02f,
                           double quietMs = 20);
// The frequency with the most energy in [fromMs, toMs), searched from loHz to
// hiHz in steps of stepHz (Goertzel over a Hann window).
double dominantFrequency(const std::vector<float> &x, int rate, double fromMs, double toMs,
                         double loHz = 40, double hiHz = 4000, double stepHz = 1);
// Amplitude of the sine component at hz in [fromMs, toMs) (Goertzel over a
// Hann window; a full-scale sine gives about 1).
double toneLevel(const std::vector<float> &x, int rate, double fromMs, double toMs, double hz);
// Times where pattern starts in x: peaks of the normalised cross-correlation
// that reach minCorrelation, at least one pattern length apart.
std::vector<double> occurrences(const std::vector<float> &x, const std::vector<float> &pattern,
                                int rate, double minCorrelation = 0.9);

} // namespace testing_support
