#include "support/wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint32_t le(const unsigned char *p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void put(std::string &out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

struct Format {
    int tag = 0; // 1 PCM, 3 float
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

Format parseFmt(const unsigned char *p, std::uint32_t size) {
    Format f;
    if (size < 16)
        return f;
    f.tag = static_cast<int>(le(p, 2));
    f.channels = static_cast<int>(le(p + 2, 2));
    f.rate = static_cast<int>(le(p + 4, 4));
    f.bits = static_cast<int>(le(p + 14, 2));
    if (f.tag == 0xFFFE && size >= 26) // WAVE_FORMAT_EXTENSIBLE: the GUID starts with the tag
        f.tag = static_cast<int>(le(p + 24, 2));
    return f;
}

float sampleAt(const unsigned char *p, const Format &f) {
    switch (f.bits) {
    case 8:
        return (p[0] - 128) / 128.0f;
    case 16:
        return static_cast<std::int16_t>(le(p, 2)) / 32768.0f;
    case 24:
        return static_cast<std::int32_t>(le(p, 3) << 8) / 2147483648.0f;
    case 32:
        if (f.tag == 3) {
            float v;
            std::memcpy(&v, p, 4);
            return v;
        }
        return static_cast<std::int32_t>(le(p, 4)) / 2147483648.0f;
    case 64: {
        double v;
        std::memcpy(&v, p, 8);
        return static_cast<float>(v);
    }
    }
    return 0;
}

bool supported(const Format &f) {
    if (f.channels < 1 || f.rate < 1)
        return false;
    if (f.tag == 1)
        return f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32;
    return f.tag == 3 && (f.bits == 32 || f.bits == 64);
}

} // namespace

std::vector<float> Wav::mono() const {
    std::vector<float> out(frames());
    for (std::size_t i = 0; i < out.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += samples[i * channels + c];
        out[i] = sum / channels;
    }
    return out;
}

std::optional<Wav> readWav(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    if (d.size() < 12 || std::memcmp(d.data(), "RIFF", 4) || std::memcmp(d.data() + 8, "WAVE", 4))
        return std::nullopt;
    Format fmt;
    for (std::size_t pos = 12; pos + 8 <= d.size();) {
        std::uint32_t size = le(&d[pos + 4], 4);
        std::size_t body = pos + 8, left = d.size() - body;
        if (!std::memcmp(&d[pos], "fmt ", 4)) {
            fmt = parseFmt(&d[body], static_cast<std::uint32_t>(std::min<std::size_t>(size, left)));
        } else if (!std::memcmp(&d[pos], "data", 4)) {
            if (!supported(fmt))
                return std::nullopt;
            if (size == 0 || size > left)
                size = static_cast<std::uint32_t>(left);
            int width = fmt.bits / 8;
            Wav w;
            w.rate = fmt.rate;
            w.channels = fmt.channels;
            std::size_t count = size / (width * fmt.channels) * fmt.channels;
            w.samples.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                w.samples[i] = sampleAt(&d[body + i * width], fmt);
            return w;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

bool writeWav(const std::string &path, const Wav &wav, WavFormat format) {
    const bool isFloat = format == WavFormat::Float32;
    const int width = isFloat ? 4 : 2;
    std::string data;
    for (float s : wav.samples) {
        if (isFloat) {
            std::uint32_t bits;
            std::memcpy(&bits, &s, 4);
            put(data, bits, 4);
        } else {
            // The same scale as the reader (and libsndfile): full scale is 32768.
            float c = std::clamp(s * 32768.0f, -32768.0f, 32767.0f);
            put(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lrint(c))), 2);
        }
    }
    std::string fmt;
    put(fmt, isFloat ? 3 : 1, 2);
    put(fmt, wav.channels, 2);
    put(fmt, wav.rate, 4);
    put(fmt, wav.rate * wav.channels * width, 4);
    put(fmt, wav.channels * width, 2);
    put(fmt, width * 8, 2);
    if (isFloat)
        put(fmt, 0, 2); // cbSize
    std::string chunks = "fmt ";
    put(chunks, fmt.size(), 4);
    chunks += fmt;
    if (isFloat) { // non-PCM formats carry a fact chunk with the frame count
        chunks += "fact";
        put(chunks, 4, 4);
        put(chunks, static_cast<std::uint32_t>(wav.frames()), 4);
    }
    chunks += "data";
    put(chunks, data.size(), 4);
    chunks += data;
    std::string file = "RIFF";
    put(file, 4 + chunks.size(), 4);
    file += "WAVE" + chunks;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

std::vector<float> tone(double hz, double ms, int rate, float amplitude) {
    std::vector<float> x(static_cast<std::size_t>(ms * rate / 1000));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = amplitude * static_cast<float>(std::sin(2 * kPi * hz * i / rate));
    return x;
}

std::vector<float> chirp(double loHz, double hiHz, double ms, int rate, float amplitude) {
    std::vector<float> x(static_cast<std::size_t>(ms * rate / 1000));
    double phase = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        double hz = loHz + (hiHz - loHz) * i / x.size();
        x[i] = amplitude * static_cast<float>(std::sin(phase));
        phase += 2 * kPi * hz / rate;
    }
    return x;
}

std::vector<float> resample(const std::vector<float> &x, int fromRate, int toRate) {
    if (x.empty() || fromRate == toRate)
        return x;
    std::vector<float> y(x.size() * static_cast<std::size_t>(toRate) / fromRate);
    for (std::size_t i = 0; i < y.size(); ++i) {
        double at = static_cast<double>(i) * fromRate / toRate;
        std::size_t j = static_cast<std::size_t>(at);
        double frac = at - j;
        float next = j + 1 < x.size() ? x[j + 1] : x[j];
        y[i] = static_cast<float>(x[j] * (1 - frac) + next * frac);
    }
    return y;
}

double rms(const std::vector<float> &x, int rate, double fromMs, double toMs) {
    auto from = static_cast<std::size_t>(std::max(0.0, fromMs) * rate / 1000);
    auto to = std::min(x.size(), static_cast<std::size_t>(std::max(0.0, toMs) * rate / 1000));
    if (to <= from)
        return 0;
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / (to - from));
}

std::vector<double> onsets(const std::vector<float> &x, int rate, float threshold, double quietMs) {
    std::vector<double> found;
    const int block = std::max(1, rate / 1000);
    const double blockMs = 1000.0 * block / rate;
    double quiet = quietMs;
    for (std::size_t b = 0; (b + 1) * block <= x.size(); ++b) {
        double level = rms(x, rate, b * blockMs, (b + 1) * blockMs);
        if (level >= threshold && quiet >= quietMs)
            found.push_back(b * blockMs);
        quiet = level < threshold / 2 ? quiet + blockMs : 0;
    }
    return found;
}

namespace {

std::vector<double> hannWindowed(const std::vector<float> &x, int rate, double fromMs,
                                 double toMs) {
    auto from = static_cast<std::size_t>(std::max(0.0, fromMs) * rate / 1000);
    auto to = std::min(x.size(), static_cast<std::size_t>(std::max(0.0, toMs) * rate / 1000));
    if (to <= from + 1)
        return {};
    std::vector<double> w(to - from);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = x[from + i] * (0.5 - 0.5 * std::cos(2 * kPi * i / (w.size() - 1)));
    return w;
}

double goertzelPower(const std::vector<double> &w, int rate, double hz) {
    double coeff = 2 * std::cos(2 * kPi * hz / rate), s1 = 0, s2 = 0;
    for (double v : w) {
        double s0 = v + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

} // namespace

double dominantFrequency(const std::vector<float> &x, int rate, double fromMs, double toMs,
                         double loHz, double hiHz, double stepHz) {
    std::vector<double> w = hannWindowed(x, rate, fromMs, toMs);
    if (w.empty())
        return 0;
    double best = 0, bestPower = -1;
    for (double hz = loHz; hz <= hiHz; hz += stepHz) {
        double power = goertzelPower(w, rate, hz);
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    return best;
}

double toneLevel(const std::vector<float> &x, int rate, double fromMs, double toMs, double hz) {
    std::vector<double> w = hannWindowed(x, rate, fromMs, toMs);
    if (w.empty())
        return 0;
    // A sine of amplitude A peaks at A * N / 4 through a Hann window.
    return std::sqrt(goertzelPower(w, rate, hz)) * 4 / w.size();
}

std::vector<double> occurrences(const std::vector<float> &x, const std::vector<float> &pattern,
                                int rate, double minCorrelation) {
    std::vector<double> found;
    const std::size_t m = pattern.size();
    if (m == 0 || x.size() < m)
        return found;
    double patternEnergy = 0;
    for (float p : pattern)
        patternEnergy += static_cast<double>(p) * p;
    double energy = 0; // of x[lag, lag + m)
    for (std::size_t i = 0; i < m; ++i)
        energy += static_cast<double>(x[i]) * x[i];
    std::size_t lastLag = 0;
    double lastCorr = 0;
    for (std::size_t lag = 0; lag + m <= x.size(); ++lag) {
        if (lag > 0)
            energy += static_cast<double>(x[lag + m - 1]) * x[lag + m - 1] -
                      static_cast<double>(x[lag - 1]) * x[lag - 1];
        if (energy < 1e-6 * m)
            continue; // silence matches nothing
        double dot = 0;
        for (std::size_t i = 0; i < m; ++i)
            dot += static_cast<double>(x[lag + i]) * pattern[i];
        double corr = dot / std::sqrt(energy * patternEnergy);
        if (corr < minCorrelation)
            continue;
        if (!found.empty() && lag - lastLag < m) {
            if (corr > lastCorr) {
                found.back() = 1000.0 * lag / rate;
                lastLag = lag;
                lastCorr = corr;
            }
        } else {
            found.push_back(1000.0 * lag / rate);
            lastLag = lag;
            lastCorr = corr;
        }
    }
    return found;
}

std::string waveOutputConfig(const std::string &wavPath) {
    return "[general]\nperiod_size = " + std::to_string(kWavePeriod) +
           "\nfrequency = " + std::to_string(kWaveRate) + "\nchannels = mono\n" + kRealtimeMixing +
           "[wave]\nfile = " + wavPath + "\n";
}

} // namespace testing_support
