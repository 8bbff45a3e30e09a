// Writes the demo sound bank into the directory given: a piano (B3 to E6), an
// electric piano (B2 to E4) and a drum kit, as 44.1 kHz 16-bit mono WAV files.
// Everything is synthesised here, from fixed seeds, so every build makes the
// same files.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
using Samples = std::vector<float>;

Samples silence(double seconds) {
    return Samples(static_cast<std::size_t>(seconds * kRate));
}

double timeOf(std::size_t i) {
    return static_cast<double>(i) / kRate;
}

// xorshift32: white noise in [-1, 1), the same on every run.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : s_(seed) {}
    float next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return static_cast<float>(s_) / 2147483648.0f - 1.0f;
    }

  private:
    std::uint32_t s_;
};

// Second-order filter from the RBJ audio EQ cookbook.
class Biquad {
  public:
    enum Kind { LowPass, HighPass, BandPass };
    Biquad(Kind kind, double hz, double q) {
        double w = 2 * kPi * hz / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
        double a0 = 1 + alpha;
        switch (kind) {
        case LowPass:
            b0_ = b2_ = (1 - c) / 2, b1_ = 1 - c;
            break;
        case HighPass:
            b0_ = b2_ = (1 + c) / 2, b1_ = -(1 + c);
            break;
        case BandPass:
            b0_ = alpha, b1_ = 0, b2_ = -alpha;
            break;
        }
        b0_ /= a0, b1_ /= a0, b2_ /= a0;
        a1_ = -2 * c / a0, a2_ = (1 - alpha) / a0;
    }
    float operator()(float x) {
        double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
        return static_cast<float>(y);
    }

  private:
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// --- Shaping ---------------------------------------------------------------

void fadeIn(Samples &s, double seconds) {
    std::size_t n = std::min(s.size(), static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < n; ++i)
        s[i] *= static_cast<float>(i) / n;
}

// A raised-cosine fade, so that no file ends with a click.
void fadeOut(Samples &s, double seconds) {
    std::size_t n = std::min(s.size(), static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < n; ++i)
        s[s.size() - n + i] *= static_cast<float>(0.5 + 0.5 * std::cos(kPi * i / n));
}

void scaleToPeak(Samples &s, float peak) {
    float max = 0;
    for (float v : s)
        max = std::max(max, std::fabs(v));
    if (max > 0)
        for (float &v : s)
            v *= peak / max;
}

// Notes of different pitch sound equally loud when their first 300 ms carry
// the same energy; the peak is kept below clipping when several sound at once.
void scaleToLoudness(Samples &s, double rms, float maxPeak) {
    std::size_t n = std::min(s.size(), static_cast<std::size_t>(0.3 * kRate));
    double sum = 0;
    float peak = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += s[i] * s[i];
    double gain = sum > 0 ? rms / std::sqrt(sum / n) : 1;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    gain = std::min(gain, static_cast<double>(maxPeak / peak));
    for (float &v : s)
        v = static_cast<float>(v * gain);
}

// --- Piano -----------------------------------------------------------------

// One partial of a piano string: two slightly detuned strings of one note
// (the slow beating of a real piano), a fast and a slow decay stage.
void addPartial(Samples &out, double hz, double amplitude, double slowTau, double detune) {
    const double fastTau = slowTau / 7, fastShare = 0.55;
    // Unequal strings, so that the beating never cancels the note.
    std::complex<double> a(amplitude * 0.58, 0), b(amplitude * 0.42, 0);
    const auto stepA = std::polar(1.0, 2 * kPi * hz * (1 + detune) / kRate);
    const auto stepB = std::polar(1.0, 2 * kPi * hz * (1 - detune) / kRate);
    const double fastStep = std::exp(-1.0 / (fastTau * kRate));
    const double slowStep = std::exp(-1.0 / (slowTau * kRate));
    double fast = fastShare, slow = 1 - fastShare;
    for (float &v : out) {
        v += static_cast<float>((a.imag() + b.imag()) * (fast + slow));
        a *= stepA, b *= stepB;
        fast *= fastStep, slow *= slowStep;
    }
}

// The hammer's knock: a short burst of low-passed noise.
void addHammer(Samples &out, double hz, std::uint32_t seed) {
    Noise noise(seed);
    Biquad lowpass(Biquad::LowPass, std::min(4 * hz, 6000.0), 0.7);
    std::size_t n = std::min(out.size(), static_cast<std::size_t>(0.03 * kRate));
    for (std::size_t i = 0; i < n; ++i)
        out[i] += 0.08f * lowpass(noise.next()) * static_cast<float>(std::exp(-timeOf(i) / 0.006));
}

Samples piano(double hz, std::uint32_t seed) {
    Samples out = silence(2.2);
    // Stiff strings: partials sharpen with their number, more in the treble.
    const double inharmonicity = 0.00025 * std::sqrt(hz / 261.63);
    const double tau = 2.8 * std::pow(261.63 / hz, 0.6);
    for (int n = 1; n <= 24 && n * hz < 10000; ++n) {
        double partialHz = n * hz * std::sqrt(1 + inharmonicity * n * n);
        // Struck at an eighth of the string: partials near 8, 16 are weak.
        double amplitude = (0.25 + std::fabs(std::sin(kPi * n / 8.0))) / std::pow(n, 1.6);
        double detune = 0.0004 * (1 + 0.3 * ((n * 7) % 5));
        addPartial(out, partialHz, amplitude, tau / (1 + 0.35 * (n - 1)), detune);
    }
    addHammer(out, hz, seed);
    fadeIn(out, 0.002);
    fadeOut(out, 0.25);
    scaleToLoudness(out, 0.12, 0.6f);
    return out;
}

// --- Electric piano --------------------------------------------------------

// Two FM pairs, as the classic tine pianos are modelled: a 1:1 pair for the
// warm body whose brightness fades, and a 1:14 pair for the bell-like strike.
// A slow tremolo, as from the instrument's own amplifier.
Samples electricPiano(double hz) {
    Samples out = silence(2.0);
    const double tau = 0.9 * std::pow(261.63 / hz, 0.4);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = timeOf(i), phase = 2 * kPi * hz * t;
        double index = 1.4 * std::exp(-t / 0.25) + 0.25;
        double body = std::sin(phase + index * std::sin(phase));
        double tine = std::sin(phase + 1.5 * std::exp(-t / 0.015) * std::sin(14 * phase));
        double tremolo = 1 - 0.12 * (0.5 - 0.5 * std::cos(2 * kPi * 4.5 * t));
        out[i] = static_cast<float>((0.8 * body + 0.35 * tine * std::exp(-t / 0.08)) *
                                    std::exp(-t / tau) * tremolo);
    }
    fadeIn(out, 0.002);
    fadeOut(out, 0.25);
    scaleToLoudness(out, 0.13, 0.6f);
    return out;
}

// --- Drums -----------------------------------------------------------------

// A sine whose pitch falls from start to end: the body of kicks and toms.
Samples drop(double seconds, double startHz, double endHz, double pitchTau, double tau) {
    Samples out = silence(seconds);
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = timeOf(i);
        double hz = endHz + (startHz - endHz) * std::exp(-t / pitchTau);
        out[i] = static_cast<float>(std::sin(phase) * std::exp(-t / tau));
        phase += 2 * kPi * hz / kRate;
    }
    return out;
}

void addNoise(Samples &out, float amplitude, double tau, Biquad filter, std::uint32_t seed) {
    Noise noise(seed);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] += amplitude * filter(noise.next()) * static_cast<float>(std::exp(-timeOf(i) / tau));
}

// Six detuned square waves, as analogue drum machines make their metal.
void addMetal(Samples &out, float amplitude, double tau, double scale, double highPassHz) {
    const double ratios[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Biquad highpass(Biquad::HighPass, highPassHz, 0.9);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = timeOf(i), sum = 0;
        for (double r : ratios)
            sum += std::sin(2 * kPi * r * scale * t) >= 0 ? 1 : -1;
        out[i] += amplitude * highpass(static_cast<float>(sum / 6)) *
                  static_cast<float>(std::exp(-t / tau));
    }
}

Samples kick() {
    Samples out = drop(0.6, 160, 48, 0.035, 0.28);
    addNoise(out, 0.3f, 0.003, Biquad(Biquad::LowPass, 3000, 0.7), 11);
    for (float &v : out)
        v = std::tanh(1.6f * v);
    fadeOut(out, 0.05);
    scaleToPeak(out, 0.75f);
    return out;
}

Samples snare() {
    Samples out = drop(0.45, 240, 185, 0.02, 0.09);
    Samples overtone = drop(0.45, 400, 330, 0.02, 0.06);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = 0.6f * out[i] + 0.3f * overtone[i];
    addNoise(out, 0.9f, 0.12, Biquad(Biquad::HighPass, 1500, 0.7), 23);
    fadeOut(out, 0.05);
    scaleToPeak(out, 0.7f);
    return out;
}

Samples hiHat(double seconds, double tau, std::uint32_t seed) {
    Samples out = silence(seconds);
    addMetal(out, 0.6f, tau, 1.0, 7000);
    addNoise(out, 0.5f, tau, Biquad(Biquad::HighPass, 8000, 0.7), seed);
    fadeIn(out, 0.0005);
    fadeOut(out, std::min(0.05, seconds / 4));
    scaleToPeak(out, 0.45f);
    return out;
}

Samples cymbal(double seconds, double tau, double scale, float bell, std::uint32_t seed) {
    Samples out = silence(seconds);
    addMetal(out, 0.5f, tau, scale, 4000);
    addNoise(out, 0.6f, tau * 0.8, Biquad(Biquad::HighPass, 5000, 0.6), seed);
    for (std::size_t i = 0; i < out.size(); ++i) // the bell at the cymbal's centre
        out[i] += bell * static_cast<float>(std::sin(2 * kPi * 2950 * timeOf(i)) *
                                            std::exp(-timeOf(i) / 0.4));
    fadeIn(out, 0.002);
    fadeOut(out, 0.3);
    scaleToPeak(out, 0.5f);
    return out;
}

// Three quick slaps and the room after them, all band-passed noise.
Samples clap() {
    Samples out = silence(0.5);
    Noise noise(37);
    Biquad band(Biquad::BandPass, 1200, 1.2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = timeOf(i), env = 0.6 * std::exp(-t / 0.12);
        for (double start : {0.0, 0.011, 0.022})
            if (t >= start)
                env += std::exp(-(t - start) / 0.006);
        out[i] = band(noise.next()) * static_cast<float>(env);
    }
    fadeOut(out, 0.05);
    scaleToPeak(out, 0.6f);
    return out;
}

Samples tom(double hz) {
    Samples out = drop(0.8, hz * 1.6, hz, 0.06, 0.3);
    addNoise(out, 0.25f, 0.01, Biquad(Biquad::LowPass, 2500, 0.7), static_cast<std::uint32_t>(hz));
    fadeOut(out, 0.1);
    scaleToPeak(out, 0.55f);
    return out;
}

// --- Files -----------------------------------------------------------------

bool write(const std::filesystem::path &path, const Samples &samples) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make_demo_bank: %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_count_t n = static_cast<sf_count_t>(samples.size());
    bool ok = sf_writef_float(file, samples.data(), n) == n;
    sf_close(file);
    return ok;
}

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// c4, cs4 (C sharp 4), ... with middle C as c4.
std::string noteName(int midi) {
    static const char *const names[] = {"c",  "cs", "d",  "ds", "e",  "f",
                                        "fs", "g",  "gs", "a",  "as", "b"};
    return names[midi % 12] + std::to_string(midi / 12 - 1);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_bank OUTPUT_DIRECTORY\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    bool ok = true;
    for (int midi = 59; midi <= 88; ++midi) // B3 to E6
        ok &= write(dir / (noteName(midi) + ".wav"), piano(noteHz(midi), 1000 + midi));
    for (int midi = 47; midi <= 64; ++midi) // B2 to E4
        ok &= write(dir / ("ep_" + noteName(midi) + ".wav"), electricPiano(noteHz(midi)));
    ok &= write(dir / "kick.wav", kick());
    ok &= write(dir / "snare.wav", snare());
    ok &= write(dir / "hihat.wav", hiHat(0.25, 0.035, 41));
    ok &= write(dir / "openhat.wav", hiHat(0.9, 0.3, 43));
    ok &= write(dir / "clap.wav", clap());
    ok &= write(dir / "tom_low.wav", tom(95));
    ok &= write(dir / "tom_mid.wav", tom(135));
    ok &= write(dir / "tom_high.wav", tom(185));
    ok &= write(dir / "crash.wav", cymbal(2.0, 0.8, 1.6, 0.0f, 47));
    ok &= write(dir / "ride.wav", cymbal(1.6, 0.9, 2.3, 0.12f, 53));
    return ok ? 0 : 1;
}
