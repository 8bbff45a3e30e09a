// The render against what the real program plays: song playback through
// OpenAL Soft's wave output, then the same song rendered by brzdekomat-render.
#include <algorithm>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/e2e.h"
#include "support/wav.h"

using testing_support::Session;
using testing_support::Studio;

namespace {

constexpr int kRate = testing_support::kWaveRate;
constexpr double kPeriodMs = testing_support::kWavePeriodMs;

// The tool in dir, output discarded; its exit status.
int renderSong(const std::string &dir, const std::string &song, const std::string &out) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        execl(RENDER_BIN, RENDER_BIN, "--rate", std::to_string(kRate).c_str(), song.c_str(),
              out.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::vector<float> monoOf(const std::string &path) {
    SF_INFO info{};
    SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return {};
    std::vector<float> x(static_cast<std::size_t>(info.frames) * info.channels);
    sf_readf_float(f, x.data(), info.frames);
    sf_close(f);
    std::vector<float> mono(static_cast<std::size_t>(info.frames));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += x[i * info.channels + c];
        mono[i] = sum / info.channels;
    }
    return mono;
}

// Onsets of both sounds in x, in time order.
std::vector<double> starts(const std::vector<float> &x, const std::vector<float> &a,
                           const std::vector<float> &b) {
    std::vector<double> t = testing_support::occurrences(x, a, kRate, 0.8);
    for (double s : testing_support::occurrences(x, b, kRate, 0.8))
        t.push_back(s);
    std::sort(t.begin(), t.end());
    return t;
}

} // namespace

TEST(RenderRealtime, LivePlaybackMatchesTheRender) {
    Studio d;
    // Stereo, as the render is: each channel is compared, not a downmix.
    std::string conf = testing_support::waveOutputConfig((d.path() / "out.wav").string());
    conf.replace(conf.find("channels = mono"), 15, "channels = stereo");
    d.write("alsoft.conf", conf);
    const std::vector<float> a = testing_support::chirp(300, 1200, 60, kRate, 0.4f);
    const std::vector<float> b = testing_support::chirp(1500, 3000, 60, kRate, 0.4f);
    d.sound("a.wav", a);
    d.sound("b.wav", b);
    d.write("Keys.tdf", "2 a.wav a 0 b.wav s 0");
    d.write("Levels.tdf", "1 P opis");
    d.write("Confing.tdf", "7 0 7 0 0 0 0 ");
    const std::vector<int> pauses = {150, 120, 300, 181, 90, 250, 400, 133, 200, 160};
    std::string song = "Test 2026 " + std::to_string(pauses.size()) + " ";
    for (std::size_t i = 0; i < pauses.size(); ++i)
        song += std::string(i % 3 == 2 ? "b.wav " : "a.wav ") + std::to_string(pauses[i]) + " ";
    d.write("melodia.tsf", song);

    Session s(d.path(), d.env());
    ASSERT_NE(s.waitFor("    0. Wyjść\n"), std::string::npos) << s.out();
    s.type("3\n");
    ASSERT_NE(s.waitFor("Podaj nazwę pliku: "), std::string::npos) << s.out();
    s.type("melodia\n");
    ASSERT_NE(s.waitFor("aby zagrać utwór pt. Test!\n"), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("Koniec!\n", 0, 10000), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("    0. Wyjść\n", s.out().find("Koniec!")), std::string::npos);
    s.type("0\n");
    ASSERT_EQ(s.finish(), 0);

    ASSERT_EQ(renderSong(d.path().string(), "melodia.tsf", "render.wav"), 0);
    const std::vector<float> live = d.captured(), rendered = monoOf(d.path() / "render.wav");
    const std::vector<double> heard = starts(live, a, b), made = starts(rendered, a, b);
    ASSERT_EQ(heard.size(), pauses.size()) << "every note is heard once";
    ASSERT_EQ(made.size(), pauses.size()) << "every note is rendered once";
    EXPECT_NEAR(made[0], 0, 0.05) << "the render starts with the first note";
    // The capture begins before playback does, so live onsets are compared
    // with the render's after taking away the offset they share (the median,
    // so that one note the loaded machine woke late cannot shift the others).
    // A live note is heard from the first mixing period after it is
    // triggered: each stays within a period of that offset, plus the
    // player's wake-up lateness (up to 2 ms, as the playback test allows).
    std::vector<double> offsets;
    for (std::size_t i = 0; i < heard.size(); ++i)
        offsets.push_back(heard[i] - made[i]);
    std::vector<double> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    const double offset = sorted[sorted.size() / 2];
    for (std::size_t i = 0; i < heard.size(); ++i)
        EXPECT_NEAR(offsets[i], offset, kPeriodMs + 2) << "note " << i;
    // The same loudness (volume 7 from Confing.tdf in both).
    for (std::size_t i = 0; i < heard.size(); ++i) {
        double l = testing_support::rms(live, kRate, heard[i], heard[i] + 50);
        double r = testing_support::rms(rendered, kRate, made[i], made[i] + 50);
        EXPECT_NEAR(l, r, 0.05 * r) << "note " << i;
    }
}
