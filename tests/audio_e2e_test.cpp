// The real program, real OpenAL Soft writing its mixed output to a WAV file,
// keys typed on a pseudo-terminal at known times. Real time: every time is
// taken relative to the first onset heard, since sample 0 of the capture is
// written inside alcCreateContext, tens of milliseconds before the device
// open returns.
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/harness.h"
#include "support/wav.h"

using testing_support::Session;
using testing_support::TempDir;

namespace {

using testing_support::Studio;

constexpr int kRate = testing_support::kWaveRate;
constexpr double kPeriodMs = testing_support::kWavePeriodMs;
// A sound lands at the start of the first period mixed after its call, and
// the wave output mixes a period only once its time has passed: two periods
// between the call and where it is heard, plus 2 ms for the key to travel
// and for whole-millisecond clocks.
constexpr double kSlackMs = 2 * kPeriodMs + 2;

const char kMenu[] = "    0. Wyjść\n";

std::vector<float> chirpSound(double lo, double hi, double ms) {
    return testing_support::chirp(lo, hi, ms, kRate, 0.4f);
}

} // namespace

TEST(AudioE2E, PianoKeysSoundWhenPressed) {
    Studio d;
    const std::vector<float> a = chirpSound(300, 1200, 200), b = chirpSound(1500, 3000, 200);
    d.sound("a.wav", a);
    d.sound("b.wav", b);
    d.sound("c.wav", testing_support::tone(440, 2000, kRate, 0.4f));
    d.write("Keys.tdf", "3 a.wav a 0 b.wav s 0 c.wav d 0");
    d.write("Levels.tdf", "1 P opis");
    d.write("Confing.tdf", "10 0 7 0 0 0 0 ");
    Session s(d.path(), d.env());
    ASSERT_NE(s.waitFor(kMenu), std::string::npos) << s.out();
    s.type("1\n");
    ASSERT_NE(s.waitFor("Opis poziomu: opis\n"), std::string::npos) << s.out();
    // a, then b, then a twice: the second press finds it playing and restarts
    // it after 50 ms; then a long tone that w silences.
    std::vector<double> sent = s.typeAt(
        {{0, "a"}, {300, "s"}, {600, "a"}, {700, "a"}, {1100, "d"}, {1400, "w"}, {1700, "\x1b"}});
    ASSERT_NE(s.waitFor(kMenu, s.out().find("Opis poziomu")), std::string::npos);
    s.type("0\n");
    ASSERT_EQ(s.finish(), 0);

    std::vector<float> out = d.captured();
    ASSERT_GT(out.size(), static_cast<std::size_t>(kRate)) << "nothing was captured";
    // The head of a finds each start even when a restart cuts the sound short.
    const std::vector<float> head(a.begin(), a.begin() + kRate / 25);
    std::vector<double> as = testing_support::occurrences(out, head, kRate, 0.8);
    std::vector<double> bs = testing_support::occurrences(out, b, kRate, 0.8);
    ASSERT_EQ(as.size(), 3u);
    ASSERT_EQ(bs.size(), 1u);
    // The capture starts when the device opens; times are compared from the first a.
    auto expectAt = [&](double heard, double expected, const char *what) {
        EXPECT_NEAR(heard - as[0], expected, kSlackMs) << what;
    };
    expectAt(bs[0], sent[1] - sent[0], "b");
    expectAt(as[1], sent[2] - sent[0], "a again");
    expectAt(as[2], sent[3] - sent[0] + 50, "a restarted after 50 ms");
    double d0 = as[0] + sent[4] - sent[0], w0 = as[0] + sent[5] - sent[0];
    EXPECT_GT(testing_support::rms(out, kRate, d0 + kSlackMs, w0), 0.1) << "d sounds";
    EXPECT_LT(testing_support::rms(out, kRate, w0 + kSlackMs, w0 + 250), 0.001) << "w silences it";
}

TEST(AudioE2E, RecordedMelodyPlaysBackWithItsTiming) {
    Studio d;
    const std::vector<float> a = chirpSound(300, 1200, 60), b = chirpSound(1500, 3000, 60);
    d.sound("a.wav", a);
    d.sound("b.wav", b);
    d.write("Keys.tdf", "2 a.wav a 0 b.wav s 0");
    d.write("Levels.tdf", "1 P opis");
    d.write("Confing.tdf", "10 0 7 0 0 0 0 ");
    Session s(d.path(), d.env());
    ASSERT_NE(s.waitFor(kMenu), std::string::npos);
    s.type("4\n");
    ASSERT_NE(s.waitFor("lub ESC aby wyjść z kreatora\n"), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("aby zacząć nagrywać...\n"), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("Opis poziomu: opis\n"), std::string::npos);
    const std::vector<double> gaps = {150, 120, 300, 180, 90, 250, 400, 130, 200, 160};
    std::vector<std::pair<double, std::string>> keys;
    double at = 0;
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        keys.push_back({at, i % 3 == 2 ? "s" : "a"});
        at += gaps[i];
    }
    keys.push_back({at, "\x1b"});
    s.typeAt(keys);
    ASSERT_NE(s.waitFor("Podaj nazwę pliku do zapisania(Bez spacji): "), std::string::npos)
        << s.out();
    // Two words on the line: the second answers the title question.
    s.type("melodia Test\n2026\n");
    ASSERT_NE(s.waitFor("Zapisano!\n"), std::string::npos) << s.out();
    s.type("k");
    std::size_t menu = s.waitFor(kMenu, s.out().find("Zapisano!"));
    ASSERT_NE(menu, std::string::npos);
    s.type("3\n");
    ASSERT_NE(s.waitFor("Podaj nazwę pliku: ", menu), std::string::npos);
    s.type("melodia\n");
    ASSERT_NE(s.waitFor("aby zagrać utwór pt. Test!\n", menu), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("Koniec!\n", menu, 10000), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor(kMenu, s.out().find("Koniec!")), std::string::npos);
    s.type("0\n");
    ASSERT_EQ(s.finish(), 0);

    std::vector<float> out = d.captured();
    std::vector<double> starts;
    for (double t : testing_support::occurrences(out, a, kRate, 0.8))
        starts.push_back(t);
    for (double t : testing_support::occurrences(out, b, kRate, 0.8))
        starts.push_back(t);
    std::sort(starts.begin(), starts.end());
    ASSERT_EQ(starts.size(), gaps.size()) << "every note is heard once";
    // The song holds the times between the key presses as the program saw
    // them arrive (how it measures them is tested on the fake clock); the
    // playback is compared with what it holds.
    std::istringstream song(d.read("melodia.tsf"));
    std::string title, year, name;
    int count = 0;
    song >> title >> year >> count;
    ASSERT_EQ(count, static_cast<int>(gaps.size()));
    std::vector<double> recorded = {0};
    for (int i = 0, pause = 0; i < count && song >> name >> pause; ++i)
        recorded.push_back(recorded.back() + pause);
    ASSERT_EQ(recorded.size(), gaps.size() + 1);
    // Each onset sits where the song puts it, measured from the first note,
    // so no error can grow along the song.
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_NEAR(starts[i] - starts[0], recorded[i], kSlackMs) << "note " << i;
}
