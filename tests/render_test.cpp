// brzdekomat-render: the schedule and the progress bar as parts, and the tool
// itself run as a process on files it renders, read back through libsndfile.
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <pty.h>
#include <set>
#include <sndfile.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "render/render.h"
#include "support/e2e.h"
#include "support/wav.h"

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

// --- Running the tool ---------------------------------------------------------

struct Result {
    int status = -1; // exit status, or 128 + signal
    std::string out, err;
};

class Tool {
  public:
    // Starts the tool in dir; stderr goes to a pseudo-terminal when asked.
    Tool(const fs::path &dir, const std::vector<std::string> &args,
         std::map<std::string, std::string> env = {}, bool stderrTty = false) {
        std::map<std::string, std::string> full = {
            {"PATH", "/usr/bin:/bin"}, {"HOME", home_.path().string()}, {"LANG", "C.UTF-8"}};
        for (auto &[k, v] : env)
            full[k] = v;
        std::vector<std::string> envs;
        for (auto &[k, v] : full)
            envs.push_back(k + "=" + v);
        int outPipe[2], errPipe[2];
        if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
            throw std::runtime_error("pipe");
        int master = -1, slave = -1;
        if (stderrTty && openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty");
        pid_ = fork();
        if (pid_ == 0) {
            int devnull = open("/dev/null", O_RDONLY);
            dup2(devnull, 0);
            dup2(outPipe[1], 1);
            dup2(stderrTty ? slave : errPipe[1], 2);
            if (chdir(dir.c_str()) != 0)
                _exit(127);
            std::vector<char *> argv = {const_cast<char *>(RENDER_BIN)}, envp;
            for (const auto &a : args)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            for (auto &e : envs)
                envp.push_back(e.data());
            envp.push_back(nullptr);
            execve(RENDER_BIN, argv.data(), envp.data());
            _exit(127);
        }
        close(outPipe[1]);
        close(errPipe[1]);
        out_ = outPipe[0];
        if (stderrTty) {
            close(slave);
            close(errPipe[0]);
            err_ = master;
        } else {
            err_ = errPipe[0];
        }
    }
    ~Tool() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {out_, err_})
            if (fd >= 0)
                close(fd);
    }
    // Reads output for up to ms milliseconds, or until the tool has closed it.
    void pump(int ms) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (poll(fds, 2, ms) <= 0)
            return;
        char buf[4096];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            int &fd = i == 0 ? out_ : err_;
            if (n <= 0) {
                close(fd);
                fd = -1;
            } else {
                (i == 0 ? run_.out : run_.err).append(buf, n);
            }
        }
    }
    bool waitForErr(const std::string &text, int ms) {
        for (int t = 0; t < ms && run_.err.find(text) == std::string::npos; t += 10)
            pump(10);
        return run_.err.find(text) != std::string::npos;
    }
    void signal(int sig) { kill(pid_, sig); }
    Result finish() {
        while (out_ >= 0 || err_ >= 0)
            pump(100);
        int st = 0;
        waitpid(pid_, &st, 0);
        pid_ = -1;
        run_.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return run_;
    }

  private:
    TempDir home_; // whatever a library keeps there stays out of dir
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    Result run_;
};

Result runTool(const fs::path &dir, const std::vector<std::string> &args,
               std::map<std::string, std::string> env = {}) {
    return Tool(dir, args, std::move(env)).finish();
}

// --- Files ----------------------------------------------------------------------

struct Audio {
    SF_INFO info{};
    std::vector<float> samples; // stereo interleaved
    bool ok = false;
    float at(std::int64_t frame, int channel) const {
        std::size_t i = static_cast<std::size_t>(frame) * 2 + channel;
        return i < samples.size() ? samples[i] : 0.0f;
    }
};

Audio readAudio(const fs::path &path) {
    Audio a;
    SNDFILE *f = sf_open(path.c_str(), SFM_READ, &a.info);
    if (!f)
        return a;
    a.samples.resize(static_cast<std::size_t>(a.info.frames) * a.info.channels);
    a.ok = sf_readf_float(f, a.samples.data(), a.info.frames) == a.info.frames;
    sf_close(f);
    return a;
}

// Sounds that 16-bit PCM holds exactly and that differ from frame to frame,
// so a sample out of place shows.
std::vector<float> ramp(int frames, int channels, int start, int step) {
    std::vector<float> x;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            x.push_back(static_cast<float>(start + f * step + c * 500) / 32768.0f);
    return x;
}

struct Sound {
    int channels;
    std::vector<float> samples;
    std::int64_t frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
    float at(std::int64_t f, int c) const {
        return samples[f * channels + (channels == 2 ? c : 0)];
    }
};

void writeSound(const TempDir &d, const std::string &name, const Sound &s, int rate) {
    testing_support::Wav w;
    w.rate = rate;
    w.channels = s.channels;
    w.samples = s.samples;
    ASSERT_TRUE(testing_support::writeWav((d.path() / name).string(), w));
}

std::set<std::string> listing(const fs::path &dir) {
    std::set<std::string> names;
    for (const auto &e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// What the song must sound like: one voice per sound, a note restarting its
// sound; each voice at the volume, the voices summed.
std::vector<float> expected(const render::Plan &plan, const std::vector<Sound> &sounds,
                            float volume, std::int64_t frames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2, 0.0f);
    for (std::size_t n = 0; n < plan.nuty.size(); ++n) {
        const render::Nuta &note = plan.nuty[n];
        std::int64_t until = frames;
        for (std::size_t m = n + 1; m < plan.nuty.size(); ++m)
            if (plan.nuty[m].dzwiek == note.dzwiek) {
                until = plan.nuty[m].ramka;
                break;
            }
        const Sound &s = sounds[note.dzwiek];
        for (std::int64_t f = note.ramka; f < std::min(until, note.ramka + s.frames()); ++f)
            for (int c = 0; c < 2; ++c)
                out[f * 2 + c] += volume * s.at(f - note.ramka, c);
    }
    return out;
}

Utwor song(std::vector<std::pair<std::string, int>> notes) {
    Utwor u;
    u.tytul = "T";
    for (auto &[name, pause] : notes) {
        u.dzwieki.push_back(name);
        u.pauzy.push_back(pause);
    }
    return u;
}

std::string songFile(const Utwor &u) {
    std::string s = "T 2026 " + std::to_string(u.dzwieki.size()) + " ";
    for (std::size_t i = 0; i < u.dzwieki.size(); ++i)
        s += u.dzwieki[i] + " " + std::to_string(u.pauzy[i]) + " ";
    return s;
}

} // namespace

// --- The schedule -------------------------------------------------------------------

TEST(RenderPlan, OnsetsComeFromTheMillisecondSumWithoutDrift) {
    // 1 ms is 44.1 frames: rounding each pause would lose 0.1 frame a note.
    Utwor u = song({});
    for (int i = 0; i < 1000; ++i)
        u.dzwieki.push_back(i % 2 ? "a" : "b"), u.pauzy.push_back(1);
    render::Plan p = render::Zaplanuj(u, 44100);
    ASSERT_EQ(p.nuty.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(p.nuty[i].ramka, (i * 441 + 5) / 10) << "note " << i;
    EXPECT_EQ(p.koniecPauz, 44100);
    EXPECT_EQ(p.dzwieki, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(p.nuty[1].dzwiek, 1);
}

TEST(RenderPlan, FramesOfLongSongsDoNotOverflow) {
    EXPECT_EQ(render::Ramka(0, 48000), 0);
    EXPECT_EQ(render::Ramka(5, 44100), 221);        // 220.5 rounds up
    std::int64_t ms = INT64_C(100000) * 2147483647; // the longest song a file can hold
    EXPECT_EQ(render::Ramka(ms, 192000), ms / 1000 * 192000 + (ms % 1000) * 192);
}

TEST(RenderPlan, APauseOf9999EndsTheSongAtItsNote) {
    render::Plan p = render::Zaplanuj(song({{"a", 10}, {"b", 9999}, {"c", 10}, {"a", 5}}), 48000);
    ASSERT_EQ(p.nuty.size(), 2u);
    EXPECT_EQ(p.nuty[1].ramka, 480);
    EXPECT_EQ(p.koniecPauz, 480) << "no wait after the 9999 note";
    // Every distinct sound is still loaded, as playback loads them all.
    EXPECT_EQ(p.dzwieki, (std::vector<std::string>{"a", "b", "c"}));
}

// --- The progress bar ------------------------------------------------------------------

TEST(RenderProgress, AppearsOnATerminalAfterASecondAndIsClearedAtTheEnd) {
    std::int64_t now = 0;
    std::string written;
    render::Postep p(
        true, [&] { return now; }, [&](const std::string &s) { written += s; });
    now = 999;
    p.pokaz(10, 100);
    EXPECT_EQ(written, "") << "a short render shows nothing";
    now = 1000;
    p.pokaz(10, 100);
    EXPECT_EQ(written, "\r" + render::Postep::pasek(10, 100));
    now = 1050;
    p.pokaz(20, 100);
    EXPECT_EQ(written, "\r" + render::Postep::pasek(10, 100)) << "at most ten updates a second";
    now = 1100;
    p.pokaz(20, 100);
    EXPECT_NE(written.find("\r" + render::Postep::pasek(20, 100)), std::string::npos);
    written.clear();
    p.zakoncz();
    EXPECT_EQ(written.front(), '\r');
    EXPECT_EQ(written.back(), '\r');
    EXPECT_EQ(written.find_first_not_of(" \r"), std::string::npos) << "only blanks the line";
    EXPECT_LT(written.size(), 82u);

    render::Postep pipe(
        false, [&] { return now; }, [&](const std::string &s) { written += s; });
    written.clear();
    now = 5000;
    pipe.pokaz(1, 2);
    pipe.zakoncz();
    EXPECT_EQ(written, "") << "nothing off a terminal";
}

TEST(RenderProgress, BarShowsThePercentage) {
    EXPECT_EQ(render::Postep::pasek(0, 10),
              "Renderowanie [..................................................]   0%");
    EXPECT_EQ(render::Postep::pasek(1, 2),
              "Renderowanie [#########################.........................]  50%");
    EXPECT_EQ(render::Postep::pasek(7, 7),
              "Renderowanie [##################################################] 100%");
    EXPECT_EQ(render::Postep::pasek(0, 0).substr(65), " 100%");
}

// --- Rendering, to the sample -------------------------------------------------------------

class RenderTool : public ::testing::Test {
  protected:
    // a: a mono ramp of 30 ms, b: a stereo ramp of 5 ms, c: mono, 2 ms.
    void sounds(int rate) {
        rate_ = rate;
        all_ = {{1, ramp(rate * 30 / 1000, 1, 3000, 3)},
                {2, ramp(rate * 5 / 1000, 2, -4000, -5)},
                {1, ramp(rate * 2 / 1000, 1, 2000, 11)}};
        writeSound(d, "a.wav", all_[0], rate);
        writeSound(d, "b.wav", all_[1], rate);
        writeSound(d, "c.wav", all_[2], rate);
    }
    // Renders u and compares every frame with what it must hold.
    void check(const Utwor &u, std::vector<std::string> args, float volume) {
        d.write("s.tsf", songFile(u));
        args.push_back("s.tsf");
        args.push_back("out.wav");
        Result r = runTool(d.path(), args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, "");
        render::Plan plan = render::Zaplanuj(u, rate_);
        std::vector<Sound> bySound;
        for (const std::string &name : plan.dzwieki)
            bySound.push_back(all_[name[0] - 'a']);
        std::int64_t length = plan.koniecPauz;
        for (const render::Nuta &n : plan.nuty)
            length = std::max(length, n.ramka + bySound[n.dzwiek].frames());
        Audio a = readAudio(d.path() / "out.wav");
        ASSERT_TRUE(a.ok);
        EXPECT_EQ(a.info.samplerate, rate_);
        EXPECT_EQ(a.info.channels, 2);
        EXPECT_EQ(a.info.frames, length) << "until the last sound ends or the last pause";
        std::vector<float> want = expected(plan, bySound, volume, length);
        int wrong = 0;
        for (std::int64_t f = 0; f < length && wrong < 5; ++f)
            for (int c = 0; c < 2; ++c)
                if (std::abs(a.at(f, c) - want[f * 2 + c]) > 1.01f / 32768) {
                    ADD_FAILURE() << "frame " << f << " channel " << c << ": " << a.at(f, c)
                                  << " instead of " << want[f * 2 + c];
                    ++wrong;
                }
    }
    TempDir d;
    int rate_ = 0;
    std::vector<Sound> all_;
};

TEST_F(RenderTool, EachNoteStartsAtItsFrameAtItsLevel) {
    // Notes close together (a overlaps b and c), fractions of a frame at 44.1 kHz.
    const Utwor u = song(
        {{"a.wav", 3}, {"b.wav", 1}, {"c.wav", 7}, {"b.wav", 0}, {"c.wav", 13}, {"b.wav", 40}});
    for (int rate : {48000, 44100}) {
        SCOPED_TRACE(rate);
        sounds(rate);
        check(u, {"--rate", std::to_string(rate), "--volume", "10"}, 1.0f);
    }
}

TEST_F(RenderTool, VolumeComesFromTheOptionElseConfingElseTheDefault) {
    sounds(48000);
    const Utwor u = song({{"a.wav", 10}, {"b.wav", 20}});
    {
        SCOPED_TRACE("no Confing.tdf: the program's default");
        check(u, {}, 0.8f);
    }
    d.write("Confing.tdf", "3 0 7 0 0 0 0 ");
    {
        SCOPED_TRACE("Confing.tdf");
        check(u, {}, 0.3f);
    }
    {
        SCOPED_TRACE("--volume over Confing.tdf");
        check(u, {"--volume=6"}, 0.6f);
    }
    {
        SCOPED_TRACE("silence, the full length");
        check(u, {"--volume", "0"}, 0.0f);
    }
}

TEST_F(RenderTool, ANoteOfASoundStillSoundingRestartsIt) {
    sounds(48000);
    // a lasts 30 ms: the second a cuts the first, the third cuts the second.
    check(song({{"a.wav", 10}, {"a.wav", 4}, {"c.wav", 0}, {"a.wav", 100}}), {"--volume", "10"},
          1.0f);
}

TEST_F(RenderTool, APauseOf9999EndsTheSongAtThatNote) {
    sounds(48000);
    // The 9999 note sounds to its end; the notes after it never sound.
    check(song({{"a.wav", 10}, {"b.wav", 9999}, {"c.wav", 0}, {"a.wav", 500}}), {"--volume", "10"},
          1.0f);
    check(song({{"c.wav", 9999}, {"a.wav", 10}}), {"--volume", "10"}, 1.0f);
}

TEST_F(RenderTool, TheLastPauseLongerThanTheSoundsIsSilence) {
    sounds(48000);
    check(song({{"c.wav", 10}, {"b.wav", 250}}), {"--volume", "10"}, 1.0f);
    check(song({}), {}, 1.0f); // no notes: an empty file
}

TEST_F(RenderTool, AResampledSoundRingsOutToItsLastSample) {
    sounds(48000);
    d.write("s.tsf", songFile(song({{"b.wav", 1}, {"a.wav", 0}})));
    Result r = runTool(d.path(), {"--rate", "44100", "s.tsf", "out.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    Audio a = readAudio(d.path() / "out.wav");
    ASSERT_TRUE(a.ok);
    // a: 1440 frames at 48 kHz are 1323 at 44.1 kHz, begun at frame 44; the
    // resampler's last frame may add one.
    EXPECT_GE(a.info.frames, 44 + 1323);
    EXPECT_LE(a.info.frames, 44 + 1324);
    EXPECT_NE(a.at(a.info.frames - 1, 0), 0.0f) << "no silence after the sound";
    EXPECT_NEAR(a.at(1000, 0),
                static_cast<float>(3000 + (1000 - 44) * 48000 / 44100 * 3) / 32768 * 0.8f, 0.001f);
}

TEST_F(RenderTool, ASumBeyondFullScaleClipsInsteadOfWrapping) {
    Sound loud{1, std::vector<float>(100, 0.75f)}, low{1, std::vector<float>(100, -0.75f)};
    writeSound(d, "x.wav", loud, 48000);
    writeSound(d, "y.wav", loud, 48000);
    writeSound(d, "z.wav", low, 48000);
    writeSound(d, "w.wav", low, 48000);
    d.write("s.tsf", songFile(song({{"x.wav", 0}, {"y.wav", 10}, {"z.wav", 0}, {"w.wav", 10}})));
    Result r = runTool(d.path(), {"--volume", "10", "s.tsf", "out.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    Audio a = readAudio(d.path() / "out.wav");
    ASSERT_TRUE(a.ok);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(a.at(50, c), 32767.0f / 32768) << "1.5 is full scale";
        EXPECT_EQ(a.at(530, c), -1.0f) << "-1.5 is full scale";
    }
}

// --- Output formats ----------------------------------------------------------------------------

TEST_F(RenderTool, EveryFormatReadsBackWithItsLengthAndRate) {
    sounds(48000);
    d.write("s.tsf", songFile(song({{"a.wav", 10}, {"b.wav", 300}})));
    struct Case {
        const char *out;
        int rate;
        int major;
        bool lossless;
    } cases[] = {
        {"o.wav", 48000, SF_FORMAT_WAV, true},    {"o.flac", 48000, SF_FORMAT_FLAC, true},
        {"o.ogg", 48000, SF_FORMAT_OGG, false},   {"o.aiff", 48000, SF_FORMAT_AIFF, true},
        {"o.opus", 48000, SF_FORMAT_OGG, false},  {"O.WAV", 48000, SF_FORMAT_WAV, true},
        {"r.flac", 44100, SF_FORMAT_FLAC, false}, {"r.opus", 24000, SF_FORMAT_OGG, false},
    };
    Result first = runTool(d.path(), {"s.tsf", "ref.wav"});
    ASSERT_EQ(first.status, 0) << first.err;
    Audio ref = readAudio(d.path() / "ref.wav");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.out);
        Result r = runTool(d.path(), {"--rate", std::to_string(c.rate), "s.tsf", c.out});
        ASSERT_EQ(r.status, 0) << r.err;
        Audio a = readAudio(d.path() / c.out);
        ASSERT_TRUE(a.ok);
        EXPECT_EQ(a.info.format & SF_FORMAT_TYPEMASK, c.major);
        EXPECT_EQ(a.info.samplerate, c.rate);
        EXPECT_EQ(a.info.channels, 2);
        EXPECT_EQ(a.info.frames, render::Ramka(310, c.rate)) << "the last pause ends last";
        if (c.lossless) {
            EXPECT_EQ(a.samples, ref.samples);
        }
    }
    EXPECT_EQ(listing(d.path()).size(), 4u + 1 + std::size(cases)) << "no temporary file left";
}

// --- Errors ------------------------------------------------------------------------------------

TEST_F(RenderTool, ErrorsSayWhichFileAndWhyAndLeaveNoOutput) {
    sounds(48000);
    d.write("s.tsf", songFile(song({{"a.wav", 10}})));
    d.write("bad.tsf", "T x 1 a.wav 10 ");
    d.write("nosound.tsf", songFile(song({{"a.wav", 10}, {"brak.wav", 10}})));
    d.write("after9999.tsf", songFile(song({{"a.wav", 9999}, {"brak.wav", 10}})));
    d.write("text.wav", "not a sound");
    d.write("w.wav", songFile(song({{"a.wav", 10}}))); // a song under a sound's extension
    d.write("notsound.tsf", songFile(song({{"text.wav", 10}})));
    fs::create_directory(d.path() / "dir.wav");
    d.write("dirsound.tsf", songFile(song({{"a.wav", 10}, {"dir.wav", 10}})));
    const std::set<std::string> before = listing(d.path());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string line;
    } cases[] = {
        {{"brak.tsf", "o.wav"},
         1,
         "brak.tsf: nie można otworzyć utworu: nie ma takiego pliku ani katalogu"},
        {{"dir.wav", "o.wav"}, 1, "dir.wav: nie można otworzyć utworu: to jest katalog"},
        {{"bad.tsf", "o.wav"},
         1,
         "bad.tsf: nie można odtworzyć pliku: wiersz 1, kolumna 3: rok (\"x\") nie jest liczbą "
         "całkowitą"},
        {{"nosound.tsf", "o.wav"},
         1,
         "brak.wav: nie można otworzyć dźwięku: nie ma takiego pliku ani katalogu"},
        {{"after9999.tsf", "o.wav"},
         1,
         "brak.wav: nie można otworzyć dźwięku: nie ma takiego pliku ani katalogu"},
        {{"notsound.tsf", "o.wav"},
         1,
         "text.wav: nie można otworzyć dźwięku: to nie jest plik dźwiękowy, który ten program umie "
         "odczytać"},
        {{"dirsound.tsf", "o.wav"}, 1, "dir.wav: nie można otworzyć dźwięku: to jest katalog"},
        {{"s.tsf", "nie/ma/o.wav"},
         1,
         "nie/ma/o.wav: nie można utworzyć pliku: nie ma takiego pliku ani katalogu"},
        {{"s.tsf", "dir.wav"}, 1, "dir.wav: nie można utworzyć pliku: to jest katalog"},
        {{"s.tsf", "./a.wav"},
         1,
         "./a.wav: to plik utworu lub jednego z jego dźwięków; nie zostanie nadpisany"},
        {{"w.wav", "w.wav"},
         1,
         "w.wav: to plik utworu lub jednego z jego dźwięków; nie zostanie nadpisany"},
        {{"s.tsf", "o.mp3"},
         2,
         "o.mp3: nieznany format pliku wyjściowego; obsługiwane: .wav, .flac, .ogg, .aiff, .opus"},
        {{"s.tsf", "wav"},
         2,
         "wav: nieznany format pliku wyjściowego; obsługiwane: .wav, .flac, .ogg, .aiff, .opus"},
        {{"--rate", "44100", "s.tsf", "o.opus"},
         2,
         "o.opus: format .opus zapisuje tylko częstotliwości 8000, 12000, 16000, 24000 i 48000 Hz"},
        {{}, 2, "podaj plik utworu i plik wyjściowy (zobacz brzdekomat-render --help)"},
        {{"s.tsf"}, 2, "podaj plik utworu i plik wyjściowy (zobacz brzdekomat-render --help)"},
        {{"s.tsf", "o.wav", "p.wav"},
         2,
         "podaj plik utworu i plik wyjściowy (zobacz brzdekomat-render --help)"},
        {{"--rate", "48k", "s.tsf", "o.wav"},
         2,
         "--rate: \"48k\" nie jest częstotliwością od 8000 do 192000 Hz (zobacz brzdekomat-render "
         "--help)"},
        {{"--rate=100", "s.tsf", "o.wav"},
         2,
         "--rate: \"100\" nie jest częstotliwością od 8000 do 192000 Hz (zobacz brzdekomat-render "
         "--help)"},
        {{"--volume", "11", "s.tsf", "o.wav"},
         2,
         "--volume: \"11\" nie jest głośnością od 0 do 10 (zobacz brzdekomat-render --help)"},
        {{"s.tsf", "o.wav", "--volume"},
         2,
         "opcja --volume wymaga wartości (zobacz brzdekomat-render --help)"},
        {{"--glosnosc", "5", "s.tsf", "o.wav"},
         2,
         "nieznana opcja --glosnosc (zobacz brzdekomat-render --help)"},
    };
    for (const Case &c : cases) {
        std::string args;
        for (const auto &a : c.args)
            args += a + " ";
        SCOPED_TRACE(args);
        Result r = runTool(d.path(), c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, "brzdekomat-render: " + c.line + "\n") << "one line";
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(listing(d.path()), before) << "no file left";
    }
}

TEST_F(RenderTool, MessagesAreInTheLocalesCharsetOnAPipe) {
    struct Case {
        const char *locale;
        std::string line;
    } cases[] = {
        {"C.UTF-8", "brzdekomat-render: ź.tsf: nie można otworzyć utworu: nie ma takiego pliku "
                    "ani katalogu\n"},
        {"pl_PL.ISO-8859-2", "brzdekomat-render: ź.tsf: nie mo\xbfna otworzy\xe6 utworu: nie ma "
                             "takiego pliku ani katalogu\n"},
        {"C", "brzdekomat-render: ź.tsf: nie mozna otworzyc utworu: nie ma takiego pliku ani "
              "katalogu\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.locale);
        // The file name is passed through as given.
        Result r = runTool(d.path(), {"ź.tsf", "o.wav"}, {{"LC_ALL", c.locale}});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.line);
    }
    // A sound name read from a song file in code page 852 is shown in the locale's charset.
    d.write("s.tsf", "T 2026 1 \xa5.wav 10 ");
    Result r = runTool(d.path(), {"s.tsf", "o.wav"});
    EXPECT_EQ(r.err, "brzdekomat-render: ą.wav: nie można otworzyć dźwięku: nie ma takiego pliku "
                     "ani katalogu\n");
}

TEST_F(RenderTool, HelpAndVersion) {
    Result h = runTool(d.path(), {"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.err, "");
    EXPECT_EQ(h.out.rfind("Użycie: brzdekomat-render [OPCJE] UTWÓR.tsf WYJŚCIE\n", 0), 0u) << h.out;
    EXPECT_NE(h.out.find("--volume 0..10"), std::string::npos);
    Result v = runTool(d.path(), {"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, "brzdekomat-render (Brzdekomat) 0.3\n");
}

// --- Interrupted renders ---------------------------------------------------------------------

namespace {

// A song of an hour: its render runs long enough to be interrupted.
void longSong(const TempDir &d) {
    Sound s{1, ramp(480, 1, 1000, 3)};
    writeSound(d, "a.wav", s, 48000);
    d.write("long.tsf", songFile(song({{"a.wav", 3600 * 1000}})));
}

bool temporaryAppears(const fs::path &dir, const std::string &prefix) {
    for (int i = 0; i < 2000; ++i) {
        for (const auto &name : listing(dir))
            if (name.rfind(prefix, 0) == 0)
                return true;
        usleep(1000);
    }
    return false;
}

} // namespace

TEST(RenderInterrupt, CtrlCLeavesNoFile) {
    TempDir d;
    longSong(d);
    const std::set<std::string> before = listing(d.path());
    Tool t(d.path(), {"long.tsf", "out.flac"});
    ASSERT_TRUE(temporaryAppears(d.path(), "out.flac.")) << "the render writes beside OUT";
    t.signal(SIGINT);
    Result r = t.finish();
    EXPECT_EQ(r.status, 128 + SIGINT) << "ends by the signal, as a shell expects";
    EXPECT_EQ(listing(d.path()), before);
}

TEST(RenderInterrupt, ProgressBarOnATerminalIsClearedOnInterrupt) {
    TempDir d;
    longSong(d);
    const std::set<std::string> before = listing(d.path());
    Tool t(d.path(), {"long.tsf", "out.flac"}, {}, true);
    // The render of an hour takes longer than the second before the bar.
    ASSERT_TRUE(t.waitForErr("Renderowanie [", 20000));
    t.signal(SIGTERM);
    Result r = t.finish();
    EXPECT_EQ(r.status, 128 + SIGTERM);
    EXPECT_EQ(listing(d.path()), before);
    std::string tail = r.err.substr(r.err.rfind('%') + 1);
    EXPECT_EQ(tail.find_first_not_of(" \r"), std::string::npos) << "the bar's line is blanked";
    EXPECT_EQ(tail.back(), '\r');
}
