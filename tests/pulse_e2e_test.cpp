// The real program through a real sound server, as desktop users have one:
// a private PulseAudio daemon with a null sink, whose monitor is recorded.
// Times are taken relative to the first onset heard.
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <sndfile.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/e2e.h"
#include "support/pulse.h"
#include "support/wav.h"

using testing_support::kPulseRate;
using testing_support::MonitorRecorder;
using testing_support::PulseServer;
using testing_support::Session;
using testing_support::TempDir;

namespace {

const char kMenu[] = "    0. Wyjść\n";

// The program's own mixing: periods of 256 frames at OpenAL's 44.1 kHz, three
// of them buffered at the server. A sound is mixed into the first period
// after its call, and that period lands behind whatever the buffer holds at
// that moment, from nothing to all three periods: so a call is heard between
// 0 and four periods after it, plus 2 ms of whole-millisecond clocks. The
// call itself comes when the player wakes, which with another process busy on
// a core is up to 3 ms late (brzdekomat_playback_bench, one core busy): the
// song's timing is measured through that, not only the mixing.
constexpr double kPeriodMs = 256 * 1000.0 / 44100;
constexpr int kPeriods = 3;
constexpr double kWakeMs = 3;
constexpr double kSlackMs = (kPeriods + 1) * kPeriodMs + 2 + kWakeMs;

class PulseE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        // Fails, not skips, on a machine without the server: CI installs it.
        ASSERT_TRUE(server.ok()) << server.error();
        recorder = std::make_unique<MonitorRecorder>(server);
        ASSERT_TRUE(recorder->ok()) << "parec did not start";
        ASSERT_TRUE(recorder->waitForData()) << "the monitor sends nothing";
    }
    void sound(const std::string &name, const std::vector<float> &samples) {
        testing_support::Wav w;
        w.rate = kPulseRate;
        w.samples = samples;
        ASSERT_TRUE(testing_support::writeWav((dir.path() / name).string(), w));
    }
    std::map<std::string, std::string> env() { return server.clientEnv(dir.path()); }

    TempDir dir;
    PulseServer server{dir.path()};
    std::unique_ptr<MonitorRecorder> recorder;
};

std::vector<float> chirpSound(double lo, double hi, double ms) {
    return testing_support::chirp(lo, hi, ms, kPulseRate, 0.4f);
}

TEST_F(PulseE2E, AKeyIsHeardAndASongKeepsItsTiming) {
    const std::vector<float> a = chirpSound(300, 1200, 60), b = chirpSound(1500, 3000, 60);
    sound("a.wav", a);
    sound("b.wav", b);
    dir.write("Keys.tdf", "2 a.wav a 0 b.wav s 0");
    dir.write("Levels.tdf", "1 P opis");
    dir.write("Confing.tdf", "10 0 7 0 0 0 0 ");
    const std::vector<int> pauses = {200, 150, 320, 90, 260, 180, 400};
    std::string song = "Test 2026 " + std::to_string(pauses.size()) + " ";
    for (std::size_t i = 0; i < pauses.size(); ++i)
        song += std::string(i % 3 == 1 ? "b.wav " : "a.wav ") + std::to_string(pauses[i]) + " ";
    dir.write("song.tsf", song);

    Session s(dir.path(), env());
    ASSERT_NE(s.waitFor(kMenu), std::string::npos) << s.out();
    s.type("1\n");
    ASSERT_NE(s.waitFor("Opis poziomu: opis\n"), std::string::npos) << s.out();
    std::vector<double> sent = s.typeAt({{0, "a"}, {300, "s"}, {600, "\x1b"}});
    std::size_t menu = s.waitFor(kMenu, s.out().find("Opis poziomu"));
    ASSERT_NE(menu, std::string::npos);
    s.type("3\n");
    ASSERT_NE(s.waitFor("Podaj nazwę pliku: ", menu), std::string::npos);
    s.type("song\n");
    ASSERT_NE(s.waitFor("aby zagrać utwór pt. Test!\n", menu), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("Koniec!\n", menu, 10000), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor(kMenu, s.out().find("Koniec!")), std::string::npos);
    s.type("0\n");
    ASSERT_EQ(s.finish(), 0);

    std::vector<float> out = recorder->stop();
    std::vector<double> starts;
    for (double t : testing_support::occurrences(out, a, kPulseRate, 0.8))
        starts.push_back(t);
    std::vector<double> bs = testing_support::occurrences(out, b, kPulseRate, 0.8);
    starts.insert(starts.end(), bs.begin(), bs.end());
    std::sort(starts.begin(), starts.end());
    // Piano: a, then s; then the song's notes.
    ASSERT_EQ(starts.size(), 2 + pauses.size())
        << "every key and note heard once; onsets at "
        << ::testing::PrintToString(testing_support::onsets(out, kPulseRate)) << " of "
        << 1000.0 * out.size() / kPulseRate << " ms, " << recorder->missingMs()
        << " ms fewer than it ran";
    EXPECT_NEAR(starts[1] - starts[0], sent[1] - sent[0], kSlackMs) << "s after a";
    double at = 0;
    for (std::size_t i = 1; i < pauses.size(); ++i) {
        at += pauses[i - 1];
        EXPECT_NEAR(starts[2 + i] - starts[2], at, kSlackMs) << "note " << i;
    }
}

TEST_F(PulseE2E, TheServerGoingAwayMidPlayNeitherHangsNorCrashes) {
    sound("long.wav", testing_support::tone(440, 3000, kPulseRate, 0.4f));
    dir.write("Keys.tdf", "1 long.wav a 0");
    dir.write("Levels.tdf", "1 P opis");
    dir.write("Confing.tdf", "10 0 7 0 0 0 0 ");
    Session s(dir.path(), env());
    ASSERT_NE(s.waitFor(kMenu), std::string::npos) << s.out();
    s.type("1\n");
    std::size_t screen = s.waitFor("Opis poziomu: opis\n");
    ASSERT_NE(screen, std::string::npos) << s.out();
    s.type("a");
    // Heard, then the server dies while the sound plays.
    double until = testing_support::steadyMs() + 3000;
    const std::size_t before = recorder->size();
    while (recorder->size() < before + kPulseRate && testing_support::steadyMs() < until)
        usleep(20000);
    std::vector<float> heard = recorder->stop();
    ASSERT_GT(testing_support::rms(heard, kPulseRate, 0, 1000.0 * heard.size() / kPulseRate), 0.05)
        << "the key sounded before the server went";
    server.kill();
    // The program goes on silently: keys still work and Esc leaves.
    s.type("a");
    ASSERT_NE(s.waitFor("Opis poziomu: opis\n", screen + 1), std::string::npos) << s.out();
    s.type("\x1b");
    ASSERT_NE(s.waitFor(kMenu, s.out().find("Opis poziomu")), std::string::npos) << s.out();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0) << s.err();
}

} // namespace
