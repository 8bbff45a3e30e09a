// How far note starts drift from the song's schedule on the real clock: the
// player against the plain "trigger, then sleep the pause" loop.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "piano/sounds.h"
#include "platform/clock.h"
#include "platform/terminal.h"
#include "shell/state.h"
#include "songs/playback.h"
#include "songs/songfile.h"
#include "support/fake_audio.h"

namespace {

constexpr int kPause = 20;

std::string writeSong(int notes) {
    std::string name = "bench_song_" + std::to_string(notes) + ".tsf";
    std::ofstream f(name);
    f << "Bench 2026 " << notes << ' ';
    for (int i = 0; i < notes; ++i)
        f << "s" << i % 4 << ".wav " << kPause << ' ';
    return name;
}

struct Drift {
    std::int64_t worst = 0, last = 0;
};

Drift measure(const testing_support::FakeAudio &audio) {
    std::vector<std::int64_t> at;
    for (const auto &c : audio.calls())
        if (c.op == "play" || c.op == "reset")
            at.push_back(c.at);
    Drift d;
    for (std::size_t i = 0; i < at.size(); ++i) {
        std::int64_t error = at[i] - (at[0] + static_cast<std::int64_t>(i) * kPause);
        d.worst = std::max(d.worst, error < 0 ? -error : error);
        d.last = error;
    }
    return d;
}

// The loop the player replaced: every interval also holds the time spent
// printing and triggering.
void plainLoop(const std::string &file) {
    Utwor u;
    std::string blad;
    WczytajUtwor(file, u, blad);
    audiere::AudioDevicePtr device(audiere::AdrOpenDevice());
    std::vector<audiere::OutputStreamPtr> sounds;
    for (int i = 0; i < 4; ++i)
        sounds.push_back(OtworzDzwiek(device.get(), "s" + std::to_string(i) + ".wav"));
    for (std::size_t i = 0; i < u.dzwieki.size(); ++i) {
        std::cout << "Granie dźwięku nr " << i % 4 << "!" << std::endl;
        Wyzwol(sounds[i % 4].get(), 0);
        platform::sleepMs(u.pauzy[i]);
    }
}

} // namespace

int main() {
    std::ostringstream console;
    std::streambuf *real = std::cout.rdbuf(console.rdbuf());
    platform::setKeyReader([] { return 'k'; });
    int colours[3] = {0, 0, 7};
    Konfiguracja = colours;
    std::vector<std::string> rows;
    for (int notes : {100, 1000}) {
        std::string file = writeSong(notes);
        Drift scheduled, plain;
        {
            testing_support::FakeAudio audio;
            audio.defaultLengthMs = 5;
            Play(file);
            scheduled = measure(audio);
        }
        {
            testing_support::FakeAudio audio;
            audio.defaultLengthMs = 5;
            plainLoop(file);
            plain = measure(audio);
        }
        std::remove(file.c_str());
        char row[200];
        std::snprintf(row, sizeof row,
                      "%6d notes  scheduled: worst %4lld ms, last %4lld ms   "
                      "plain loop: worst %4lld ms, last %4lld ms",
                      notes, (long long)scheduled.worst, (long long)scheduled.last,
                      (long long)plain.worst, (long long)plain.last);
        rows.push_back(row);
    }
    std::cout.rdbuf(real);
    std::cout << "Note start against the schedule, " << kPause << " ms pauses:\n";
    for (const std::string &r : rows)
        std::cout << r << "\n";
}
