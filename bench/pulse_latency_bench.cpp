// Key-to-sound latency through a PulseAudio server, with the program's
// default settings: a private daemon with a null sink, the real program in
// piano mode on ALSOFT_DRIVERS=pulse, 50 key presses; for each, the time from
// writing the key on the terminal to the first sample of its sound on the
// sink's monitor (an upper bound: the monitor adds its own few ms).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "support/e2e.h"
#include "support/pulse.h"
#include "support/wav.h"

using namespace testing_support;

int main() {
    TempDir dir;
    PulseServer server(dir.path());
    if (!server.ok()) {
        std::fprintf(stderr, "%s\n", server.error().c_str());
        return 1;
    }
    MonitorRecorder recorder(server, 2);
    if (!recorder.waitForData()) {
        std::fprintf(stderr, "the monitor sends nothing\n");
        return 1;
    }
    Wav click;
    click.rate = kPulseRate;
    click.samples = tone(1000, 40, kPulseRate, 0.5f);
    writeWav((dir.path() / "click.wav").string(), click);
    dir.write("Keys.tdf", "1 click.wav a 0");
    dir.write("Levels.tdf", "1 P opis");
    dir.write("Confing.tdf", "10 0 7 0 0 0 0 ");
    // No OpenAL configuration: the program's own defaults.
    Session s(dir.path(), {{"ALSOFT_DRIVERS", "pulse"}, {"PULSE_SERVER", server.address()}});
    if (s.waitFor("    0. Wyjść\n") == std::string::npos)
        return 1;
    s.type("1\n");
    if (s.waitFor("Opis poziomu: opis\n") == std::string::npos)
        return 1;
    usleep(300000);
    std::vector<double> latencies;
    for (int press = 0; press < 50; ++press) {
        std::size_t from = recorder.size();
        double sent = steadyMs();
        s.type("a");
        double found = -1;
        for (int waited = 0; waited < 1000 && found < 0; waited += 1) {
            std::vector<float> x = recorder.since(from);
            for (std::size_t i = 0; i < x.size(); ++i) {
                if (std::fabs(x[i]) > 0.05f) {
                    found = recorder.renderedMs(from + i);
                    break;
                }
            }
            if (found < 0)
                usleep(1000);
        }
        if (found >= 0)
            latencies.push_back(found - sent);
        usleep(200000); // the click ends before the next press
    }
    s.type("\x1b");
    s.waitFor("    0. Wyjść\n", s.out().find("Opis poziomu"));
    s.type("0\n");
    s.finish();
    if (latencies.empty()) {
        std::fprintf(stderr, "no sound heard\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) {
        return latencies[std::min(latencies.size() - 1,
                                  static_cast<std::size_t>(q * (latencies.size() - 1) + 0.5))];
    };
    std::printf("presses heard: %zu of 50\nkey to sound: median %.1f ms, p95 %.1f ms, min %.1f ms, "
                "max %.1f ms\n",
                latencies.size(), at(0.5), at(0.95), latencies.front(), latencies.back());
    return 0;
}
