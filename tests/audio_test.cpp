// The OpenAL backend heard through OpenAL Soft's loopback device: sleeps of
// the test clock mix exactly that many frames, so what the adapter plays is
// checked to the sample, with no wall clock.
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <poll.h>
#include <sndfile.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
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
#include "support/loopback.h"
#include "support/wav.h"

using namespace audiere;
using testing_support::FakeAudio;
using testing_support::kFramesPerMs;
using testing_support::kLoopbackRate;
using testing_support::Placement;
using testing_support::RenderClock;
using testing_support::TempDir;

namespace {

// A real device opened here goes nowhere.
class NullOutput : public ::testing::Environment {
  public:
    void SetUp() override { setenv("ALSOFT_DRIVERS", "null", 1); }
};
const auto *const nullOutput = ::testing::AddGlobalTestEnvironment(new NullOutput);

// Writes samples (full scale 1, multiples of 1/32768) in a libsndfile
// subtype; integer formats get them exactly.
bool writeSound(const std::string &path, int channels, const std::vector<float> &samples,
                int subtype = SF_FORMAT_PCM_16, int rate = kLoopbackRate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subtype;
    SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f)
        return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    sf_count_t put;
    if (subtype == SF_FORMAT_FLOAT) {
        put = sf_writef_float(f, samples.data(), frames);
    } else {
        std::vector<int> ints;
        for (float x : samples)
            ints.push_back(static_cast<int>(std::lrint(x * 32768.0f)) * 65536);
        put = sf_writef_int(f, ints.data(), frames);
    }
    return sf_close(f) == 0 && put == frames;
}

std::vector<float> channel(const std::vector<float> &x, int channels, int c) {
    std::vector<float> out;
    for (std::size_t i = c; i < x.size(); i += channels)
        out.push_back(x[i]);
    return out;
}

constexpr std::int64_t ms(std::int64_t m) {
    return m * kFramesPerMs;
}

class AdapterTest : public ::testing::Test {
  protected:
    void TearDown() override {
        platform::setClock(nullptr);
        clock.reset();
        fake.reset();
    }

    std::string sound(const std::string &name, int channels, const std::vector<float> &samples,
                      int subtype = SF_FORMAT_PCM_16) {
        std::string path = files.path() / name;
        EXPECT_TRUE(writeSound(path, channels, samples, subtype)) << path;
        if (fake)
            fake->lengthMs[path] =
                static_cast<std::int64_t>(samples.size() / channels) / kFramesPerMs;
        return path;
    }
    OutputStreamPtr open(const AudioDevicePtr &device, const std::string &path) {
        SampleSourcePtr source(AdrOpenSampleSource(path.c_str()));
        EXPECT_TRUE(source) << path;
        OutputStreamPtr s(AdrOpenSound(device.get(), source.get(), false));
        EXPECT_TRUE(s) << path;
        return s;
    }
    // A loopback device whose output the test clock renders, from time 0;
    // with the fake backend, a fake device on the fake clock.
    AudioDevicePtr openDevice() {
        if (fake) {
            platform::setClock(&fakeClock);
            fakeClock.now = 0;
            return AudioDevicePtr(AdrOpenDevice());
        }
        AudioDevicePtr device(openLoopbackDevice(kLoopbackRate));
        EXPECT_TRUE(device);
        clock = std::make_unique<RenderClock>(device.get());
        platform::setClock(clock.get());
        return device;
    }
    void at(std::int64_t m) { platform::clock().sleepUntilMs(m); }

    TempDir files;
    std::unique_ptr<RenderClock> clock;
    std::unique_ptr<FakeAudio> fake;
    testing_support::FakeClock fakeClock;
};

// The scenarios that the fake must play out as OpenAL does.
enum class Kind { OpenAL, Fake };
void PrintTo(Kind k, std::ostream *os) {
    *os << (k == Kind::OpenAL ? "OpenAL" : "Fake");
}
class SoundBehaviourTest : public AdapterTest, public ::testing::WithParamInterface<Kind> {
  protected:
    void SetUp() override {
        if (GetParam() == Kind::Fake)
            fake = std::make_unique<FakeAudio>();
    }
};
INSTANTIATE_TEST_SUITE_P(Backends, SoundBehaviourTest, ::testing::Values(Kind::OpenAL, Kind::Fake),
                         [](const auto &info) {
                             return info.param == Kind::OpenAL ? "OpenAL" : "Fake";
                         });

TEST_P(SoundBehaviourTest, PlayResetAndStopAsTheProgramUsesThem) {
    const std::vector<float> x = testing_support::exactRamp(ms(150));
    std::string path = sound("s.wav", 1, x);
    struct Step {
        int at;
        void (OutputStream::*op)();
        bool playingAfter;
    } steps[] = {
        {50, &OutputStream::play, true},    // first play
        {100, &OutputStream::reset, true},  // reset while playing: from the beginning
        {130, &OutputStream::play, true},   // play while playing: from the beginning too
        {160, &OutputStream::stop, false},  // stop silences it
        {200, &OutputStream::reset, false}, // reset of a stopped sound does not start it
        {220, &OutputStream::play, true},   // play after stop: from the beginning
        {400, &OutputStream::reset, false}, // ended by itself (at 370): reset does not start it
        {450, &OutputStream::play, true},   // play after the end
    };
    AudioDevicePtr device = openDevice();
    OutputStreamPtr s = open(device, path);
    for (const Step &step : steps) {
        at(step.at);
        (s.get()->*step.op)();
        EXPECT_EQ(s->isPlaying(), step.playingAfter) << "after the step at " << step.at;
    }
    at(599);
    EXPECT_TRUE(s->isPlaying());
    at(650);
    EXPECT_FALSE(s->isPlaying());
    if (fake)
        return; // nothing to hear
    std::vector<float> want = testing_support::placed(
        x, ms(650),
        {{ms(50), ms(100)}, {ms(100), ms(130)}, {ms(130), ms(160)}, {ms(220)}, {ms(450)}});
    EXPECT_EQ(clock->left, want);
    EXPECT_EQ(clock->right, want);
}

TEST_P(SoundBehaviourTest, RepeatLoopsUntilTurnedOff) {
    const std::vector<float> x = testing_support::exactRamp(ms(100), 1, 13);
    std::string path = sound("loop.wav", 1, x);
    AudioDevicePtr device = openDevice();
    OutputStreamPtr s = open(device, path);
    s->setRepeat(true);
    at(50);
    s->play();
    at(280);
    EXPECT_TRUE(s->isPlaying());
    s->setRepeat(false); // the pass under way is the last
    at(349);
    EXPECT_TRUE(s->isPlaying());
    at(400);
    EXPECT_FALSE(s->isPlaying());
    if (fake)
        return;
    EXPECT_EQ(clock->left, testing_support::placed(x, ms(400), {{ms(50)}, {ms(150)}, {ms(250)}}));
}

TEST_F(AdapterTest, LevelIsTheFilesTimesTheVolume) {
    const std::vector<float> x = testing_support::exactRamp(ms(20), 1, 64);
    const std::vector<float> st = testing_support::exactRamp(ms(20), 2, 64);
    struct Case {
        const char *what;
        int channels;
        std::vector<float> samples;
        int subtype;
        float volume;
        float gain; // of the file's samples
    } cases[] = {
        {"16-bit mono", 1, x, SF_FORMAT_PCM_16, 1.0f, 1.0f},
        {"24-bit mono", 1, x, SF_FORMAT_PCM_24, 1.0f, 1.0f},
        {"float mono", 1, x, SF_FORMAT_FLOAT, 1.0f, 1.0f},
        {"16-bit stereo", 2, st, SF_FORMAT_PCM_16, 1.0f, 1.0f},
        {"float stereo", 2, st, SF_FORMAT_FLOAT, 1.0f, 1.0f},
        {"volume 0.5", 1, x, SF_FORMAT_PCM_16, 0.5f, 0.5f},
        {"volume 0", 1, x, SF_FORMAT_PCM_16, 0.0f, 0.0f},
        {"volume above 1: the file's own level", 1, x, SF_FORMAT_PCM_16, 1.5f, 1.0f},
        {"negative volume: silence", 1, x, SF_FORMAT_PCM_16, -1.0f, 0.0f},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        AudioDevicePtr device = openDevice();
        OutputStreamPtr s = open(
            device, sound("case" + std::to_string(n++) + ".wav", c.channels, c.samples, c.subtype));
        s->setVolume(c.volume);
        s->play();
        at(30);
        const std::vector<float> l = channel(c.samples, c.channels, 0);
        const std::vector<float> r = channel(c.samples, c.channels, c.channels - 1);
        EXPECT_EQ(clock->left, testing_support::placed(l, ms(30), {{0, ms(30), c.gain}}));
        EXPECT_EQ(clock->right, testing_support::placed(r, ms(30), {{0, ms(30), c.gain}}));
    }
}

TEST_F(AdapterTest, MoreThanTwoChannelsAreMixedDownToTheFrontPair) {
    const std::vector<float> a = testing_support::exactRamp(ms(10), 1, 64);
    const std::vector<float> b = testing_support::exactRamp(ms(10), 1, 96);
    constexpr float g = 0.70710678f;
    // In the usual order of each count: L R C LFE BL BR for six channels.
    struct Case {
        const char *what;
        int channels;
        int aAt, bAt;         // channels that carry a and b
        float aL, aR, bL, bR; // how much of each reaches left and right
    } cases[] = {
        {"5.1, front pair only", 6, 0, 1, 1, 0, 0, 1},
        {"5.1, centre and LFE", 6, 2, 3, g, g, 0, 0},
        {"5.1, rear pair", 6, 4, 5, g, 0, 0, g},
        {"quad, rear pair", 4, 2, 3, g, 0, 0, g},
        {"three channels, centre", 3, 2, 0, g, g, 1, 0},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<float> samples(a.size() * c.channels, 0.0f);
        for (std::size_t f = 0; f < a.size(); ++f) {
            samples[f * c.channels + c.aAt] = a[f];
            samples[f * c.channels + c.bAt] = b[f];
        }
        AudioDevicePtr device = openDevice();
        OutputStreamPtr s =
            open(device, sound("multi" + std::to_string(n++) + ".wav", c.channels, samples));
        s->play();
        at(10);
        for (std::size_t f = 0; f < a.size(); ++f) {
            // 16-bit storage rounds each mixed sample.
            ASSERT_NEAR(clock->left[f], a[f] * c.aL + b[f] * c.bL, 0.6 / 32768) << "frame " << f;
            ASSERT_NEAR(clock->right[f], a[f] * c.aR + b[f] * c.bR, 0.6 / 32768) << "frame " << f;
        }
    }
}

TEST_F(AdapterTest, SoundsOfOneFileShareOneDecodedBufferButPlayApart) {
    const std::vector<float> a = testing_support::exactRamp(ms(100), 1, 5);
    const std::vector<float> b = testing_support::exactRamp(ms(50), 1, 9);
    std::string pa = sound("a.wav", 1, a), pb = sound("b.wav", 1, b);
    AudioDevicePtr device = openDevice();
    EXPECT_EQ(openalDeviceInfo(device.get()).decodedFiles, 0);
    OutputStreamPtr a1 = open(device, pa), a2 = open(device, pa), a3 = open(device, pa);
    OutputStreamPtr b1 = open(device, pb);
    EXPECT_EQ(openalDeviceInfo(device.get()).decodedFiles, 2);
    at(10);
    a1->play();
    at(40);
    a2->play(); // a1 goes on: each sound has its own source
    b1->play();
    at(150);
    EXPECT_FALSE(a3->isPlaying());
    std::vector<float> want = testing_support::placed(a, ms(150), {{ms(10)}, {ms(40)}});
    std::vector<float> bs = testing_support::placed(b, ms(150), {{ms(40)}});
    for (std::size_t i = 0; i < want.size(); ++i)
        want[i] += bs[i];
    EXPECT_EQ(clock->left, want);

    AudioDevicePtr second(openLoopbackDevice(kLoopbackRate));
    ASSERT_TRUE(second);
    OutputStreamPtr again = open(second, pa);
    EXPECT_EQ(openalDeviceInfo(second.get()).decodedFiles, 1) << "each device has its own";
}

TEST_F(AdapterTest, OneSourceOpensSoundsOnTwoDevices) {
    const std::vector<float> x = testing_support::exactRamp(ms(20), 1, 3);
    std::string path = sound("twice.wav", 1, x);
    SampleSourcePtr source(AdrOpenSampleSource(path.c_str()));
    ASSERT_TRUE(source);
    AudioDevicePtr first(openLoopbackDevice(kLoopbackRate));
    AudioDevicePtr second(openLoopbackDevice(kLoopbackRate));
    for (AudioDevicePtr *device : {&first, &second}) {
        OutputStreamPtr s(AdrOpenSound(device->get(), source.get(), false));
        ASSERT_TRUE(s);
        s->play();
        std::vector<float> out(2 * x.size());
        ASSERT_TRUE(renderLoopback(device->get(), out.data(), static_cast<int>(x.size())));
        EXPECT_EQ(channel(out, 2, 0), x) << "the whole file on each device";
    }
}

TEST_F(AdapterTest, ReleaseInEitherOrderIsSafe) {
    const std::vector<float> x = testing_support::exactRamp(ms(100), 1, 5);
    std::string path = sound("late.wav", 1, x);
    {
        // Sounds first, then the device: the usual order.
        AudioDevicePtr device = openDevice();
        OutputStreamPtr s = open(device, path);
        s->play();
        at(20);
        s = OutputStreamPtr(); // ends it
        at(40);
        device = AudioDevicePtr();
        clock->detach();
        EXPECT_EQ(clock->left, testing_support::placed(x, ms(40), {{0, ms(20)}}));
    }
    // The device released while its sound plays: the sound keeps it, plays
    // on, and ends when released itself.
    AudioDevicePtr device = openDevice();
    OutputStreamPtr s = open(device, path);
    s->play();
    device = AudioDevicePtr();
    at(30);
    EXPECT_TRUE(s->isPlaying());
    s = OutputStreamPtr();
    at(60);
    clock->detach(); // the last holder: the device closes here
    EXPECT_EQ(clock->left, testing_support::placed(x, ms(60), {{0, ms(30)}}));
}

TEST_F(AdapterTest, FilesThatCannotBePlayedGiveNoSourceAndSayWhy) {
    files.write("text.wav", "RIFF but not really a sound file\n");
    files.write("empty.wav", "");
    sound("noframes.wav", 1, {});
    std::filesystem::create_directory(files.path() / "dir.wav");
    ASSERT_EQ(mkfifo((files.path() / "fifo.wav").c_str(), 0600), 0);
    std::string locked = sound("locked.wav", 1, testing_support::exactRamp(100));
    chmod(locked.c_str(), 0);
    const bool root = geteuid() == 0; // reads any file
    struct Case {
        std::string name;
        OpenFailure why;
    } cases[] = {
        {"missing.wav", OpenFailure::NoFile},
        {"nodir/missing.wav", OpenFailure::NoFile},
        {"text.wav", OpenFailure::NotSound},
        {"empty.wav", OpenFailure::NotSound},
        {"noframes.wav", OpenFailure::NotSound},
        {"dir.wav", OpenFailure::NotSound},
        {"fifo.wav", OpenFailure::NotSound}, // refused at once, not waited on
        {"/dev/null", OpenFailure::NotSound},
        {"locked.wav", root ? OpenFailure::None : OpenFailure::Unreadable},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.name[0] == '/' ? c.name : (files.path() / c.name).string();
        SampleSourcePtr source(AdrOpenSampleSource(path.c_str()));
        EXPECT_EQ(static_cast<bool>(source), c.why == OpenFailure::None);
        EXPECT_EQ(lastOpenFailure(), c.why);
        // A null source passes its reason on through the sound's open.
        AudioDevicePtr device(openLoopbackDevice(kLoopbackRate));
        OutputStreamPtr s(AdrOpenSound(device.get(), source.get(), false));
        EXPECT_EQ(lastOpenFailure(), c.why);
    }
    std::string good = sound("good.wav", 1, testing_support::exactRamp(100));
    SampleSourcePtr source(AdrOpenSampleSource(good.c_str()));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->fileName(), good);
    EXPECT_EQ(lastOpenFailure(), OpenFailure::None);
    OutputStreamPtr none(AdrOpenSound(nullptr, source.get(), false));
    EXPECT_FALSE(none);
    EXPECT_EQ(lastOpenFailure(), OpenFailure::NoDevice);
}

TEST_F(AdapterTest, EveryOneOfThousandsOfSoundsPlays) {
    const std::vector<float> x = testing_support::exactRamp(ms(2), 1, 1);
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i)
        paths.push_back(sound("n" + std::to_string(i) + ".wav", 1, x));
    AudioDevicePtr device = openDevice();
    std::vector<OutputStreamPtr> sounds;
    for (int i = 0; i < 2000; ++i) {
        SampleSourcePtr source(AdrOpenSampleSource(paths[i % paths.size()].c_str()));
        sounds.emplace_back(AdrOpenSound(device.get(), source.get(), false));
        ASSERT_TRUE(sounds.back()) << "sound " << i << ": " << static_cast<int>(lastOpenFailure());
    }
    for (int i : {0, 255, 256, 1999}) {
        SCOPED_TRACE(i);
        std::int64_t from = clock->frames();
        sounds[i]->play();
        EXPECT_TRUE(sounds[i]->isPlaying());
        at(platform::nowMs() + 5);
        std::vector<float> heard(clock->left.begin() + from, clock->left.end());
        EXPECT_EQ(heard, testing_support::placed(x, ms(5), {{0}}));
    }
}

// --- The loopback device itself -------------------------------------------

TEST_F(AdapterTest, OnlyALoopbackDeviceRenders) {
    EXPECT_FALSE(openLoopbackDevice(0));
    float out[4] = {5, 5, 5, 5};
    EXPECT_FALSE(renderLoopback(nullptr, out, 2));
    AudioDevicePtr real(AdrOpenDevice()); // OpenAL's null output here
    ASSERT_TRUE(real);
    EXPECT_FALSE(renderLoopback(real.get(), out, 2));
    EXPECT_EQ(out[0], 5.0f) << "left untouched";
    AudioDevicePtr loop(openLoopbackDevice(44100));
    ASSERT_TRUE(loop);
    EXPECT_EQ(openalDeviceInfo(loop.get()).frequency, 44100);
    EXPECT_TRUE(renderLoopback(loop.get(), out, 2));
    EXPECT_EQ(out[0], 0.0f) << "silence";
}

// A sound named with Polish letters opens from the file of that name in the
// locale's encoding; the program keeps calling it by its own bytes.
TEST_F(AdapterTest, SoundNamedWithPolishLettersOpensAndPlays) {
    platform::setFileNameCharset("UTF-8");
    const std::vector<float> tone = testing_support::exactRamp(ms(50), 1, 5);
    sound("g\xc4\x99\xc5\x9b.wav", 1, tone);
    const std::string name = (files.path() / "gęś.wav").string();
    {
        AudioDevicePtr device = openDevice();
        OutputStreamPtr s = open(device, name);
        ASSERT_TRUE(s);
        s->play();
        at(60);
        EXPECT_EQ(clock->left, testing_support::placed(tone, ms(60), {{0}}));
    }
    platform::setFileNameCharset("");
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
