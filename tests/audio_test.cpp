// The OpenAL backend, heard through OpenAL Soft's wave output: what the mixer
// produced is read back from the WAV file it wrote.
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_openal.h"
#include "platform/charset.h"
#include "platform/clock.h"
#include "support/e2e.h"
#include "support/fake_audio.h"
#include "support/harness.h"
#include "support/wav.h"

using namespace audiere;
using testing_support::FakeAudio;
using testing_support::TempDir;
using testing_support::Wav;
using testing_support::WavFormat;

namespace {

constexpr int kRate = testing_support::kWaveRate;
// How far a sound may land from its call: one mixing period plus scheduling.
constexpr double kSlackMs = testing_support::kWavePeriodMs + 15;

// OpenAL Soft reads its drivers and configuration once per process, so every
// test here shares one wave output, set up before the first device opens.
class WaveOutput : public ::testing::Environment {
  public:
    static std::string file() { return dir().path() / "out.wav"; }
    static const TempDir &dir() {
        static TempDir d;
        return d;
    }
    void SetUp() override {
        dir().write("alsoft.conf", testing_support::waveOutputConfig(file()));
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", (dir().path() / "alsoft.conf").c_str(), 1);
    }
};
const auto *const waveOutput = ::testing::AddGlobalTestEnvironment(new WaveOutput);

Wav monoWav(std::vector<float> samples, int channels = 1) {
    Wav w;
    w.rate = kRate;
    w.channels = channels;
    for (float s : samples)
        for (int c = 0; c < channels; ++c)
            w.samples.push_back(s);
    return w;
}

std::vector<float> join(std::vector<float> a, const std::vector<float> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class RealAudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::setClock(nullptr);
        std::filesystem::remove(WaveOutput::file());
    }
    void TearDown() override {
        fake.reset();
        platform::setClock(nullptr);
    }

    // From here on the fake backend answers, on a fake clock.
    void useFake() {
        fake = std::make_unique<FakeAudio>();
        platform::setClock(&fakeClock);
    }

    std::string sound(const std::string &name, const Wav &wav,
                      WavFormat format = WavFormat::Pcm16) {
        std::string path = files.path() / name;
        EXPECT_TRUE(writeWav(path, wav, format)) << path;
        if (fake)
            fake->lengthMs[path] = static_cast<std::int64_t>(wav.lengthMs());
        return path;
    }

    OutputStreamPtr open(const AudioDevicePtr &device, const std::string &path) {
        SampleSourcePtr source(AdrOpenSampleSource(path.c_str()));
        EXPECT_TRUE(source) << path;
        OutputStreamPtr s(AdrOpenSound(device.get(), source.get(), false));
        EXPECT_TRUE(s) << path;
        return s;
    }

    // Opens the device and starts the test's timeline.
    AudioDevicePtr openDevice() {
        AudioDevicePtr device(AdrOpenDevice());
        start_ = platform::nowMs();
        return device;
    }
    // Waits until ms after the device opened; returns the time it got to.
    double at(int ms) {
        platform::clock().sleepUntilMs(start_ + ms);
        return static_cast<double>(platform::nowMs() - start_);
    }

    // What was mixed, once the device is closed.
    std::vector<float> captured() {
        std::optional<Wav> out = testing_support::readWav(WaveOutput::file());
        EXPECT_TRUE(out) << "no wave output";
        if (!out)
            return {};
        EXPECT_EQ(out->rate, kRate);
        return out->mono();
    }

    TempDir files;
    std::unique_ptr<FakeAudio> fake;
    testing_support::FakeClock fakeClock;

  private:
    std::int64_t start_ = 0;
};

// The scenarios that the fake must play out as OpenAL does.
enum class Kind { OpenAL, Fake };
void PrintTo(Kind k, std::ostream *os) {
    *os << (k == Kind::OpenAL ? "OpenAL" : "Fake");
}
class SoundBehaviourTest : public RealAudioTest, public ::testing::WithParamInterface<Kind> {
  protected:
    void SetUp() override {
        RealAudioTest::SetUp();
        if (GetParam() == Kind::Fake)
            useFake();
    }
};
INSTANTIATE_TEST_SUITE_P(Backends, SoundBehaviourTest, ::testing::Values(Kind::OpenAL, Kind::Fake),
                         [](const auto &info) {
                             return info.param == Kind::OpenAL ? "OpenAL" : "Fake";
                         });

void expectTimes(const std::vector<double> &got, const std::vector<double> &want,
                 const std::string &what) {
    ASSERT_EQ(got.size(), want.size()) << what << ": " << ::testing::PrintToString(got) << " want "
                                       << ::testing::PrintToString(want);
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], kSlackMs) << what << " #" << i;
}

TEST_F(RealAudioTest, TonesAreHeardAtTheirPitchWhenPlayed) {
    const double pitches[] = {220, 440, 880};
    std::vector<double> calls;
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        std::vector<OutputStreamPtr> sounds;
        for (double hz : pitches)
            sounds.push_back(open(device, sound(std::to_string(int(hz)) + ".wav",
                                                monoWav(testing_support::tone(hz, 100, kRate)))));
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            calls.push_back(at(30 + 140 * i));
            sounds[i]->play();
            EXPECT_TRUE(sounds[i]->isPlaying());
        }
        at(30 + 140 * 3);
        for (auto &s : sounds)
            EXPECT_FALSE(s->isPlaying());
    }
    std::vector<float> out = captured();
    std::vector<double> found = testing_support::onsets(out, kRate);
    expectTimes(found, calls, "onsets");
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE("pitch " + std::to_string(pitches[i]));
        EXPECT_NEAR(testing_support::dominantFrequency(out, kRate, found[i] + 10, found[i] + 90),
                    pitches[i], pitches[i] * 0.02);
        EXPECT_GT(testing_support::rms(out, kRate, found[i] + 10, found[i] + 90), 0.1);
    }
}

// A sweep at the start makes the beginning of the sound findable.
Wav markedSound(double ms) {
    return monoWav(join(testing_support::chirp(300, 3000, 30, kRate),
                        testing_support::tone(500, ms - 30, kRate)));
}

TEST_P(SoundBehaviourTest, PlayAndResetStartFromTheBeginning) {
    std::string path = sound("marked.wav", markedSound(150));
    struct Step {
        int at;
        void (OutputStream::*op)();
        bool playingAfter;
        bool heardFromStart;
    } steps[] = {
        {50, &OutputStream::play, true, true},     // first play
        {110, &OutputStream::reset, true, true},   // reset while playing restarts it
        {150, &OutputStream::stop, false, false},  // stop silences it
        {200, &OutputStream::play, true, true},    // play after stop: from the beginning
        {380, &OutputStream::reset, false, false}, // ended by itself; reset does not start it
        {420, &OutputStream::play, true, true},    // play after the end
    };
    std::vector<double> starts, stopAt;
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        OutputStreamPtr s = open(device, path);
        for (const Step &step : steps) {
            double t = at(step.at);
            (s.get()->*step.op)();
            EXPECT_EQ(s->isPlaying(), step.playingAfter) << "step at " << step.at;
            if (step.heardFromStart)
                starts.push_back(t);
            if (step.op == &OutputStream::stop)
                stopAt.push_back(t);
        }
        at(620);
        EXPECT_FALSE(s->isPlaying());
    }
    if (fake)
        return; // nothing to hear
    std::vector<float> out = captured();
    std::vector<float> mark = testing_support::chirp(300, 3000, 30, kRate);
    expectTimes(testing_support::occurrences(out, mark, kRate), starts, "beginnings heard");
    EXPECT_LT(testing_support::rms(out, kRate, stopAt[0] + kSlackMs, starts[2] - kSlackMs), 0.01)
        << "stop silences";
    EXPECT_LT(testing_support::rms(out, kRate, starts[2] + 150 + kSlackMs, starts[3] - kSlackMs),
              0.01)
        << "an ended sound stays silent after reset";
}

TEST_P(SoundBehaviourTest, RepeatLoopsUntilTurnedOff) {
    std::string path = sound("loop.wav", markedSound(100));
    std::vector<double> starts;
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        OutputStreamPtr s = open(device, path);
        s->setRepeat(true);
        double t = at(50);
        s->play();
        at(280);
        EXPECT_TRUE(s->isPlaying());
        s->setRepeat(false); // the pass under way is the last
        at(400);
        EXPECT_FALSE(s->isPlaying());
        starts = {t, t + 100, t + 200};
    }
    if (fake)
        return;
    std::vector<float> mark = testing_support::chirp(300, 3000, 30, kRate);
    expectTimes(testing_support::occurrences(captured(), mark, kRate), starts, "passes");
}

TEST_F(RealAudioTest, LevelFollowsVolumeAndNotFileFormat) {
    std::vector<float> t = testing_support::tone(440, 60, kRate, 0.5f);
    struct Case {
        const char *what;
        Wav wav;
        WavFormat format;
        float volume;
        double level; // relative to 16-bit mono at volume 1
    } cases[] = {
        {"16-bit mono", monoWav(t), WavFormat::Pcm16, 1.0f, 1.0},
        {"float mono", monoWav(t), WavFormat::Float32, 1.0f, 1.0},
        {"16-bit, four equal channels", monoWav(t, 4), WavFormat::Pcm16, 1.0f, 1.0},
        {"volume 0.5", monoWav(t), WavFormat::Pcm16, 0.5f, 0.5},
        {"negative volume", monoWav(t), WavFormat::Pcm16, -1.0f, 0.0},
        {"volume above 1", monoWav(t), WavFormat::Pcm16, 1.2f, 1.0},
    };
    std::vector<double> calls;
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        std::vector<OutputStreamPtr> sounds;
        int n = 0;
        for (const Case &c : cases) {
            sounds.push_back(
                open(device, sound("case" + std::to_string(n++) + ".wav", c.wav, c.format)));
            sounds.back()->setVolume(c.volume);
        }
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            calls.push_back(at(30 + 80 * i));
            sounds[i]->play();
        }
        at(30 + 80 * sounds.size());
    }
    std::vector<float> out = captured();
    auto level = [&](double call) {
        return testing_support::rms(out, kRate, call + kSlackMs, call + 60 - kSlackMs);
    };
    double reference = level(calls[0]);
    ASSERT_GT(reference, 0.1);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NEAR(level(calls[i]) / reference, cases[i].level, 0.05) << cases[i].what;
}

TEST_F(RealAudioTest, SoundsOfOneFileShareOneDecodedBufferButPlayApart) {
    // Quiet after its mark, so that the second start stands out over the first.
    std::string a = sound("a.wav", monoWav(join(testing_support::chirp(300, 3000, 30, kRate),
                                                testing_support::tone(500, 170, kRate, 0.05f))));
    std::string b = sound("b.wav", monoWav(testing_support::tone(300, 200, kRate)));
    std::vector<double> starts;
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        EXPECT_EQ(openalDeviceInfo(device.get()).decodedFiles, 0);
        OutputStreamPtr a1 = open(device, a), a2 = open(device, a), a3 = open(device, a);
        OutputStreamPtr b1 = open(device, b);
        EXPECT_EQ(openalDeviceInfo(device.get()).decodedFiles, 2);
        starts.push_back(at(50));
        a1->play();
        starts.push_back(at(120));
        a2->play(); // a1 goes on: each sound has its own source
        at(160);
        EXPECT_TRUE(a1->isPlaying());
        EXPECT_TRUE(a2->isPlaying());
        EXPECT_FALSE(a3->isPlaying());
    }
    std::vector<float> mark = testing_support::chirp(300, 3000, 30, kRate);
    expectTimes(testing_support::occurrences(captured(), mark, kRate), starts, "a1, a2");

    AudioDevicePtr second(AdrOpenDevice());
    ASSERT_TRUE(second);
    OutputStreamPtr again = open(second, a);
    EXPECT_EQ(openalDeviceInfo(second.get()).decodedFiles, 1) << "each device has its own";
}

TEST_F(RealAudioTest, ReleasingTheDeviceBeforeItsSoundIsSafe) {
    std::string path = sound("late.wav", markedSound(100));
    double call;
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        OutputStreamPtr s = open(device, path);
        device = AudioDevicePtr(); // the sound keeps it open
        call = at(50);
        s->play();
        at(200);
        EXPECT_FALSE(s->isPlaying());
    }
    std::vector<float> mark = testing_support::chirp(300, 3000, 30, kRate);
    expectTimes(testing_support::occurrences(captured(), mark, kRate), {call}, "heard");
}

TEST_F(RealAudioTest, FilesThatAreNotSoundGiveNoSource) {
    files.write("text.wav", "RIFF but not really a sound file\n");
    files.write("empty.wav", "");
    Wav none = monoWav({});
    sound("noframes.wav", none);
    std::filesystem::create_directory(files.path() / "dir.wav");
    for (const char *name : {"missing.wav", "text.wav", "empty.wav", "noframes.wav", "dir.wav"}) {
        std::string path = files.path() / name;
        SampleSourcePtr source(AdrOpenSampleSource(path.c_str()));
        EXPECT_FALSE(source) << name;
    }
    std::string good = sound("good.wav", monoWav(testing_support::tone(440, 50, kRate)));
    SampleSourcePtr source(AdrOpenSampleSource(good.c_str()));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->fileName(), good);
}

// A sound named with Polish letters opens from the file of that name in the
// locale's encoding; the program keeps calling it by its own bytes.
TEST_F(RealAudioTest, SoundNamedWithPolishLettersOpensAndPlays) {
    platform::setFileNameCharset("UTF-8");
    const std::vector<float> tone = testing_support::tone(440, 100, kRate);
    sound("g\xc4\x99\xc5\x9b.wav", monoWav(tone));
    const std::string name = (files.path() / "gęś.wav").string();
    {
        AudioDevicePtr device = openDevice();
        ASSERT_TRUE(device);
        OutputStreamPtr s = open(device, name);
        ASSERT_TRUE(s);
        s->setVolume(1);
        s->play();
        at(200);
    }
    platform::setFileNameCharset("");
    std::vector<float> heard = captured();
    float peak = 0;
    for (float x : heard)
        peak = std::max(peak, std::abs(x));
    EXPECT_GT(peak, 0.1f) << "the sound is heard";
    SampleSourcePtr source(AdrOpenSampleSource(name.c_str()));
    EXPECT_FALSE(source) << "without the locale's encoding the name is only the raw bytes";
}

// --- Device opening, each in a process of its own --------------------------

struct ProbeRun {
    std::string out, err;
};

ProbeRun runProbe(const std::map<std::string, std::string> &env) {
    std::vector<std::string> strings;
    for (const auto &[k, v] : env)
        strings.push_back(k + "=" + v);
    std::vector<char *> envp;
    for (auto &s : strings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC))
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    char bin[] = AUDIO_PROBE_BIN;
    char *argv[] = {bin, nullptr};
    pid_t pid;
    int spawned = posix_spawn(&pid, bin, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    ProbeRun run;
    pollfd fds[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string *into[] = {&run.out, &run.err};
    for (int open = 2; spawned == 0 && open > 0 && poll(fds, 2, 10000) > 0;) {
        for (int i = 0; i < 2; ++i) {
            if (!fds[i].revents)
                continue;
            char buf[4096];
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                into[i]->append(buf, n);
            } else {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    close(out[0]);
    close(err[0]);
    if (spawned == 0)
        waitpid(pid, nullptr, 0);
    return run;
}

class DeviceProbeTest : public ::testing::Test {
  protected:
    // A clean environment: no user configuration unless a case writes one.
    std::map<std::string, std::string> env() {
        std::filesystem::create_directories(dir.path() / "home");
        std::filesystem::create_directories(dir.path() / "tmp");
        return {{"HOME", dir.path() / "home"},
                {"XDG_CONFIG_DIRS", dir.path() / "xdg"},
                {"TMPDIR", dir.path() / "tmp"}};
    }
    TempDir dir;
};

TEST_F(DeviceProbeTest, NoDeviceIsNullAndTheLibrariesSayNothing) {
    struct Case {
        const char *drivers; // nullptr: OpenAL's own list (ALSA first)
        bool mustFail;
    } cases[] = {{"bogus", true}, {"alsa", false}, {nullptr, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.drivers ? c.drivers : "default drivers");
        auto e = env();
        e["ALSOFT_LOGLEVEL"] = "3"; // OpenAL's own log at its most talkative
        if (c.drivers)
            e["ALSOFT_DRIVERS"] = c.drivers;
        ProbeRun run = runProbe(e);
        EXPECT_EQ(run.err, "");
        if (c.mustFail)
            EXPECT_EQ(run.out, "null\n-\n");
        else
            EXPECT_TRUE(run.out.starts_with("null\n") || run.out.starts_with("device ")) << run.out;
    }
}

TEST_F(DeviceProbeTest, ShortPeriodsUnlessTheUserConfiguredThem) {
    struct Case {
        const char *what;
        std::map<std::string, std::string> files; // under the test's directory
        bool userConf;                            // ALSOFT_CONF names conf/user.conf
        int period;
    } cases[] = {
        {"no configuration", {}, false, 256},
        {"commented out", {{"home/.alsoftrc", "[general]\n# period_size = 512\n"}}, false, 256},
        {"empty value", {{"home/.alsoftrc", "[general]\nperiod_size =\n"}}, false, 256},
        {"~/.alsoftrc", {{"home/.alsoftrc", "[general]\nperiod_size = 512\n"}}, false, 512},
        {"~/.config/alsoft.conf", {{"home/.config/alsoft.conf", "periods = 4\n"}}, false, 1024},
        {"XDG_CONFIG_DIRS", {{"xdg/alsoft.conf", "[general]\nperiod_size=2048\n"}}, false, 2048},
        {"ALSOFT_CONF without periods",
         {{"conf/user.conf", "[general]\nfrequency = 44100\n"}},
         true,
         1024},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir.path());
        auto e = env();
        e["ALSOFT_DRIVERS"] = "null";
        for (const auto &[name, text] : c.files) {
            std::filesystem::create_directories((dir.path() / name).parent_path());
            dir.write(name, text);
        }
        std::string conf = dir.path() / "conf/user.conf";
        if (c.userConf)
            e["ALSOFT_CONF"] = conf;
        ProbeRun run = runProbe(e);
        EXPECT_EQ(run.err, "");
        int frequency = 0, refresh = 0;
        char left[256] = "";
        ASSERT_EQ(std::sscanf(run.out.c_str(), "device %d %d\n%255s", &frequency, &refresh, left),
                  3)
            << run.out;
        EXPECT_EQ(refresh, frequency / c.period) << "frequency " << frequency;
        EXPECT_EQ(std::string(left), c.userConf ? conf : "-") << "ALSOFT_CONF afterwards";
        EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "tmp")) << "private config left";
    }
}

} // namespace
