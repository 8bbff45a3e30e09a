// Piano mode's cost per key press: from the key read returning to the play
// call, and how many writes each redraw makes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <vector>

#include "piano/piano.h"
#include "platform/audio.h"
#include "platform/terminal.h"
#include "shell/state.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<Clock::time_point> plays;

class Sound : public audiere::OutputStream {
  public:
    void play() override { plays.push_back(Clock::now()); }
    void stop() override {}
    bool isPlaying() override { return false; }
    void reset() override {}
    void setRepeat(bool) override {}
    void setVolume(float) override {}
};
class Source : public audiere::SampleSource {
  public:
    explicit Source(std::string f) : f_(std::move(f)) {}
    const std::string &fileName() const override { return f_; }

  private:
    std::string f_;
};
class Backend : public audiere::Backend {
  public:
    audiere::AudioDevice *openDevice() override { return new audiere::AudioDevice; }
    audiere::SampleSource *openSampleSource(const std::string &f) override { return new Source(f); }
    audiere::OutputStream *openSound(audiere::AudioDevice *, audiere::SampleSource *) override {
        return new Sound;
    }
};

// Counts the flushes that would each be one write to the terminal.
class Counter : public std::streambuf {
  public:
    int flushes = 0;

  protected:
    int_type overflow(int_type c) override { return c; }
    std::streamsize xsputn(const char *, std::streamsize n) override { return n; }
    int sync() override {
        ++flushes;
        return 0;
    }
};

} // namespace

int main() {
    constexpr int kKeys = 20000;
    Backend backend;
    audiere::setBackend(&backend);
    int colours[3] = {0, 0, 7};
    Konfiguracja = colours;
    for (std::string &s : Klawiszowe)
        s = "0";
    // 88 entries over 4 levels, as a full keyboard would bind them.
    std::vector<std::string> names(88);
    std::vector<unsigned char> keys(88);
    std::vector<int> levels(88);
    for (int i = 0; i < 88; ++i) {
        names[i] = "s" + std::to_string(i) + ".wav";
        keys[i] = static_cast<unsigned char>('a' + i % 22);
        levels[i] = i / 22;
    }
    IloscDzwiekow = 88;
    MapaDzwiekow = names.data();
    MapaKlawiszy = keys.data();
    MapaPoziomow = levels.data();
    std::string levelNames[4] = {"A", "B", "C", "D"}, descriptions[4] = {"a", "b", "c", "d"};
    IloscPoziomow = 4;
    NazwaPoziomow = levelNames;
    OpisPoziomow = descriptions;

    std::vector<Clock::time_point> returned;
    int sent = 0;
    platform::setKeyReader([&] {
        returned.push_back(Clock::now());
        return sent++ < kKeys ? 'a' : 27;
    });
    Counter counter;
    std::streambuf *real = std::cout.rdbuf(&counter);
    Graj();
    std::cout.rdbuf(real);

    std::vector<double> us;
    for (int i = 0; i < kKeys; ++i)
        us.push_back(std::chrono::duration<double, std::micro>(plays[i] - returned[i]).count());
    std::sort(us.begin(), us.end());
    std::printf("key read -> play call over %d presses: median %.2f us, 99th %.2f us, max %.2f "
                "us\n",
                kKeys, us[us.size() / 2], us[us.size() * 99 / 100], us.back());
    std::printf("flushes (terminal writes) per redraw: %.2f\n",
                static_cast<double>(counter.flushes) / (kKeys + 1));
    audiere::setBackend(nullptr);
}
