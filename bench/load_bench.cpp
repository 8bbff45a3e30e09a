// Entering a sound-playing mode: opening the device and one sound per key-map
// entry, as piano mode does, from 2-second 44.1 kHz mono WAV files; and one
// 30-minute 48 kHz stereo file. Each is set against a minimal C-style loader
// (device, libsndfile into a buffer of the exact size, alBufferData), and
// peak memory while loading is given against the decoded PCM. OpenAL Soft
// plays into its null output.
#include <benchmark/benchmark.h>

#include <AL/al.h>
#include <AL/alc.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <sndfile.h>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_openal.h"
#include "support/wav.h"

namespace {

class TempDir {
  public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "brzdekomat-bench-XXXXXX");
        path_ = mkdtemp(tmpl.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path &path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The process's peak resident memory since the last reset, in bytes.
long long peakRss() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    return 0;
}
long long rss() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    return 0;
}
// Freed memory goes back to the system first, so that each run starts from
// what it really holds.
long long baseline() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return rss();
}

// Key maps of 88, 500 and 2000 distinct files, and the long file, made once.
const TempDir &dir() {
    static TempDir d;
    return d;
}
const std::vector<std::string> &keyMap(int entries) {
    static std::vector<std::string> files;
    for (int i = static_cast<int>(files.size()); i < entries; ++i) {
        testing_support::Wav w;
        w.samples = testing_support::tone(110.0 * (1 + (i % 88) / 12.0), 2000, 44100, 0.3f);
        files.push_back((dir().path() / ("n" + std::to_string(i) + ".wav")).string());
        testing_support::writeWav(files.back(), w);
    }
    static std::vector<std::string> map;
    map.assign(files.begin(), files.begin() + entries);
    return map;
}
const std::string &longFile() {
    static std::string path;
    if (path.empty()) {
        path = (dir().path() / "long.wav").string();
        SF_INFO info{};
        info.samplerate = 48000;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
        std::vector<short> block(48000 * 2);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<short>((i * 37) % 20000 - 10000);
        for (int s = 0; s < 30 * 60; ++s)
            sf_writef_short(f, block.data(), 48000);
        sf_close(f);
    }
    return path;
}
std::vector<std::string> files(int arg) {
    return arg > 0 ? keyMap(arg) : std::vector<std::string>{longFile()};
}

// Decoded PCM of the files as the loader keeps it: the adapter holds stereo.
double pcmBytes(const std::vector<std::string> &paths, bool asStereo) {
    double total = 0;
    for (const std::string &p : paths) {
        SF_INFO info{};
        SNDFILE *f = sf_open(p.c_str(), SFM_READ, &info);
        if (!f)
            continue;
        total += static_cast<double>(info.frames) * (asStereo ? 2 : info.channels) * 2;
        sf_close(f);
    }
    return total;
}

void report(benchmark::State &state, long long peakOverBase, double pcm, int sounds) {
    state.counters["sounds"] = sounds;
    state.counters["pcm_MB"] = pcm / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peakOverBase) / 1e6;
    state.counters["peak_per_pcm"] = pcm > 0 ? static_cast<double>(peakOverBase) / pcm : 0;
}

// Through the adapter, as the modes do.
void adapter(benchmark::State &state) {
    const std::vector<std::string> entries = files(static_cast<int>(state.range(0)));
    long long peak = 0;
    int opened = 0;
    for (auto _ : state) {
        state.PauseTiming();
        long long base = baseline();
        state.ResumeTiming();
        audiere::AudioDevicePtr device(audiere::AdrOpenDevice());
        std::vector<audiere::OutputStreamPtr> sounds;
        for (const std::string &file : entries) {
            audiere::SampleSourcePtr source(audiere::AdrOpenSampleSource(file.c_str()));
            audiere::OutputStreamPtr sound(
                audiere::AdrOpenSound(device.get(), source.get(), false));
            if (sound) {
                sound->setVolume(0.8f);
                sound->setRepeat(false);
            }
            sounds.push_back(sound);
        }
        state.PauseTiming(); // leaving the mode is not part of entering it
        peak = peakRss() - base;
        opened = 0;
        for (auto &s : sounds)
            opened += s ? 1 : 0;
        sounds.clear();
        device = audiere::AudioDevicePtr();
        state.ResumeTiming();
    }
    report(state, peak, pcmBytes(entries, true), opened);
}

// The least a loader can do: no sharing, no checks beyond null.
void minimalC(benchmark::State &state) {
    const std::vector<std::string> entries = files(static_cast<int>(state.range(0)));
    long long peak = 0;
    int opened = 0;
    for (auto _ : state) {
        state.PauseTiming();
        long long base = baseline();
        state.ResumeTiming();
        ALCdevice *device = alcOpenDevice(nullptr);
        ALCint attrs[] = {ALC_MONO_SOURCES, 4096, ALC_STEREO_SOURCES, 4096, 0};
        ALCcontext *context = alcCreateContext(device, attrs);
        alcMakeContextCurrent(context);
        std::vector<ALuint> buffers, sources;
        for (const std::string &file : entries) {
            SF_INFO info{};
            SNDFILE *f = sf_open(file.c_str(), SFM_READ, &info);
            if (!f)
                continue;
            std::size_t n = static_cast<std::size_t>(info.frames) * info.channels;
            short *pcm = static_cast<short *>(std::malloc(n * sizeof(short)));
            sf_count_t got = sf_readf_short(f, pcm, info.frames);
            sf_close(f);
            ALuint b = 0, s = 0;
            alGenBuffers(1, &b);
            alBufferData(b, info.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm,
                         static_cast<ALsizei>(got * info.channels * sizeof(short)),
                         info.samplerate);
            std::free(pcm);
            alGenSources(1, &s);
            alSourcei(s, AL_BUFFER, static_cast<ALint>(b));
            alSourcef(s, AL_GAIN, 0.8f);
            buffers.push_back(b);
            sources.push_back(s);
        }
        state.PauseTiming();
        peak = peakRss() - base;
        opened = static_cast<int>(sources.size());
        alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
        alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
        state.ResumeTiming();
    }
    report(state, peak, pcmBytes(entries, false), opened);
}

// files: the number of distinct 2-second files; 0 is the 30-minute stereo file.
BENCHMARK(adapter)->Arg(88)->Arg(500)->Arg(2000)->Arg(0)->ArgName("files")->Unit(
    benchmark::kMillisecond);
BENCHMARK(minimalC)->Arg(88)->Arg(500)->Arg(2000)->Arg(0)->ArgName("files")->Unit(
    benchmark::kMillisecond);

void openAndCloseDevice(benchmark::State &state) {
    for (auto _ : state) {
        audiere::AudioDevicePtr device(audiere::AdrOpenDevice());
        benchmark::DoNotOptimize(device.get());
    }
}
BENCHMARK(openAndCloseDevice)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
