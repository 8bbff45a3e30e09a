// Entering a sound-playing mode: opening the device and one sound per key-map
// entry, as piano mode does, from 2-second 44.1 kHz mono WAV files. OpenAL
// Soft plays into its null output.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_openal.h"
#include "support/wav.h"

namespace {

constexpr int kEntries = 88;

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

// distinct files, each named by kEntries / distinct entries.
std::vector<std::string> keyMap(const TempDir &dir, int distinct) {
    std::vector<std::string> files;
    for (int i = 0; i < distinct; ++i) {
        testing_support::Wav w;
        w.samples = testing_support::tone(110.0 * (1 + i / 12.0), 2000, 44100, 0.3f);
        files.push_back((dir.path() / ("n" + std::to_string(i) + ".wav")).string());
        testing_support::writeWav(files.back(), w);
    }
    std::vector<std::string> entries;
    for (int i = 0; i < kEntries; ++i)
        entries.push_back(files[i % distinct]);
    return entries;
}

void enterMode(benchmark::State &state) {
    const int distinct = static_cast<int>(state.range(0));
    TempDir dir;
    std::vector<std::string> entries = keyMap(dir, distinct);
    int decoded = 0, opened = 0;
    for (auto _ : state) {
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
        decoded = audiere::openalDeviceInfo(device.get()).decodedFiles;
        opened = 0;
        for (auto &s : sounds)
            opened += s ? 1 : 0;
        state.PauseTiming(); // leaving the mode is not part of entering it
        sounds.clear();
        device = audiere::AudioDevicePtr();
        state.ResumeTiming();
    }
    state.counters["sounds"] = opened;
    state.counters["decoded_files"] = decoded;
}
BENCHMARK(enterMode)->Arg(88)->Arg(22)->ArgName("files")->Unit(benchmark::kMillisecond);

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
