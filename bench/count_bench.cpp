// Reading and counting the distinct sounds of a song of 100000 different
// names (and of 100000 notes over 10 names), as playback does before anything
// can be pressed. Prints the median of several runs.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "songs/playback.h"
#include "songs/songfile.h"

namespace {

using Clock = std::chrono::steady_clock;

// The lines go nowhere; the count still formats every one of them.
class Discard : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char *, std::streamsize n) override { return n; }
};

double medianMs(int runs, const std::string &file, std::size_t expectDistinct) {
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        Clock::time_point t0 = Clock::now();
        Utwor u;
        std::string blad;
        if (WczytajUtwor(file, u, blad) != Wczytanie::Ok) {
            std::fprintf(stderr, "cannot read %s: %s\n", file.c_str(), blad.c_str());
            return -1;
        }
        Rozne rozne = PoliczRozne(u);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (rozne.nazwy.size() != expectDistinct) {
            std::fprintf(stderr, "counted %zu names, expected %zu\n", rozne.nazwy.size(),
                         expectDistinct);
            return -1;
        }
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

std::string song(const char *name, int notes, int distinct) {
    std::vector<std::string> dzwieki;
    std::vector<std::int64_t> pauzy(notes, 180);
    for (int i = 0; i < notes; ++i)
        dzwieki.push_back("sounds/instrument_" + std::to_string(i % distinct) + ".wav");
    ZapiszUtwor(name, "Benchmark", "2026", notes, dzwieki.data(), pauzy.data());
    return std::string(name) + ".tsf";
}

} // namespace

int main() {
    Discard discard;
    std::streambuf *old = std::cout.rdbuf(&discard);
    std::string all = song("/tmp/brzdekomat-count-bench-100000", 100000, 100000);
    std::string few = song("/tmp/brzdekomat-count-bench-10", 100000, 10);
    double a = medianMs(7, all, 100000);
    double b = medianMs(7, few, 10);
    std::cout.rdbuf(old);
    std::remove(all.c_str());
    std::remove(few.c_str());
    if (a < 0 || b < 0)
        return 1;
    std::printf("read and count, 100000 notes, 100000 names: median %.1f ms (7 runs)\n", a);
    std::printf("read and count, 100000 notes, 10 names:     median %.1f ms (7 runs)\n", b);
    return 0;
}
