#include "platform/audio_openal.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

#include "platform/charset.h"

namespace audiere {
namespace {

// ALSA and OpenAL Soft write their complaints straight to fd 2 while a device
// opens or closes (on a machine without a sound card, several lines). The
// console is the program's screen, so that chatter goes to /dev/null.
class QuietStderr {
  public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(2);
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            dup2(null, 2);
        if (null >= 0)
            close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, 2);
            close(saved_);
        }
    }
    QuietStderr(const QuietStderr &) = delete;
    QuietStderr &operator=(const QuietStderr &) = delete;

  private:
    int saved_ = -1;
};

// --- Low-latency default -------------------------------------------------
//
// OpenAL Soft 1.19 mixes in periods of 1024 frames, which puts tens of
// milliseconds between a key and its sound. Unless the user configured the
// period themselves, the first device open reads a private config with
// 3 periods of 256 frames (about 16 ms). OpenAL Soft reads its configuration
// once, at that first open, and lets ALSOFT_CONF add to (not replace) the
// user's files.

const char *const kLowLatencyConfig = "[general]\nperiod_size = 256\nperiods = 3\n";

std::string trim(const std::string &s) {
    auto begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return "";
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

// True when the file gives period_size or periods a value, in any section
// (a device's own section counts too).
bool setsPeriod(const std::string &path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line.substr(0, line.find('#')));
        auto eq = line.find('=');
        if (line.empty() || line[0] == '[' || eq == std::string::npos)
            continue;
        std::string key = trim(line.substr(0, eq));
        if ((key == "period_size" || key == "periods") && !trim(line.substr(eq + 1)).empty())
            return true;
    }
    return false;
}

std::string env(const char *name) {
    const char *v = std::getenv(name);
    return v ? v : "";
}

// The files OpenAL Soft 1.19 reads before ALSOFT_CONF, as its log lists them.
std::vector<std::string> userConfigFiles() {
    std::vector<std::string> files = {"/etc/openal/alsoft.conf"};
    std::string dirs = env("XDG_CONFIG_DIRS");
    if (dirs.empty())
        dirs = "/etc/xdg";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = std::min(dirs.find(':', start), dirs.size());
        if (end > start)
            files.push_back(dirs.substr(start, end - start) + "/alsoft.conf");
        start = end + 1;
    }
    std::string home = env("HOME"), configHome = env("XDG_CONFIG_HOME");
    if (!home.empty())
        files.push_back(home + "/.alsoftrc");
    if (configHome.empty() && !home.empty())
        configHome = home + "/.config";
    if (!configHome.empty())
        files.push_back(configHome + "/alsoft.conf");
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        std::string path(exe, n);
        files.push_back(path.substr(0, path.rfind('/') + 1) + "alsoft.conf");
    }
    return files;
}

// Writes the private config and points ALSOFT_CONF at it; returns its path,
// or "" when the user's own configuration stands.
std::string installLowLatencyConfig() {
    if (std::getenv("ALSOFT_CONF"))
        return "";
    for (const std::string &f : userConfigFiles())
        if (setsPeriod(f))
            return "";
    std::string tmp = env("TMPDIR");
    std::string path = (tmp.empty() ? "/tmp" : tmp) + "/brzdekomat-alsoft-XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0)
        return "";
    std::string text = kLowLatencyConfig;
    bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!ok || setenv("ALSOFT_CONF", path.c_str(), 1) != 0) {
        unlink(path.c_str());
        return "";
    }
    return path;
}

// Once OpenAL has read it, the private config goes, and so does the variable:
// programs started later must not inherit a name of a deleted file.
void removeLowLatencyConfig(const std::string &path) {
    if (path.empty())
        return;
    unsetenv("ALSOFT_CONF");
    unlink(path.c_str());
}

// --- Decoding ------------------------------------------------------------

struct SndfileCloser {
    void operator()(SNDFILE *f) const { sf_close(f); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

struct Pcm {
    std::vector<short> samples; // interleaved
    int channels = 0;
    int rate = 0;
};

// Formats whose samples are floats: read as short, libsndfile brings them
// out near silent, and its float-to-int scaling would raise every such file
// to full scale. These are read as float and converted here instead.
bool floatNative(const SF_INFO &info) {
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
        return true;
    }
    return false;
}

void toShorts(const float *in, std::size_t n, short *out) {
    for (std::size_t i = 0; i < n; ++i) {
        float v = in[i] * 32768.0f;
        if (!(v > -32768.0f)) // also NaN
            v = v != v ? 0.0f : -32768.0f;
        out[i] = static_cast<short>(std::lrint(std::min(v, 32767.0f)));
    }
}

// Reads every frame as interleaved 16-bit samples, a chunk at a time.
bool readShorts(SNDFILE *file, const SF_INFO &info, std::vector<short> &out) {
    constexpr sf_count_t kChunk = 4096;
    const std::size_t ch = static_cast<std::size_t>(info.channels);
    const bool asFloat = floatNative(info);
    std::vector<float> floats(asFloat ? kChunk * ch : 0);
    out.reserve(static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0)) * ch);
    for (;;) {
        std::size_t at = out.size();
        out.resize(at + kChunk * ch);
        sf_count_t got = asFloat ? sf_readf_float(file, floats.data(), kChunk)
                                 : sf_readf_short(file, out.data() + at, kChunk);
        out.resize(at + static_cast<std::size_t>(std::max<sf_count_t>(got, 0)) * ch);
        if (got <= 0)
            return !out.empty();
        if (asFloat)
            toShorts(floats.data(), got * ch, out.data() + at);
        if (out.size() * sizeof(short) > INT_MAX)
            return false; // more than an AL buffer can take
    }
}

void mixToMono(std::vector<short> &samples, int channels) {
    std::size_t frames = samples.size() / channels;
    for (std::size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += samples[f * channels + c];
        samples[f] = static_cast<short>(sum / channels);
    }
    samples.resize(frames);
}

// The whole file as 16-bit PCM; more than two channels are mixed to mono.
bool decodeAll(SNDFILE *file, const SF_INFO &info, Pcm &pcm) {
    if (!readShorts(file, info, pcm.samples))
        return false;
    pcm.channels = info.channels;
    pcm.rate = info.samplerate;
    if (pcm.channels > 2) {
        mixToMono(pcm.samples, pcm.channels);
        pcm.channels = 1;
    }
    return true;
}

// --- Objects -------------------------------------------------------------

class Source : public SampleSource {
  public:
    Source(std::string name, SndfilePtr file, SF_INFO info)
        : name_(std::move(name)), file_(std::move(file)), info_(info) {}
    const std::string &fileName() const override { return name_; }
    bool decode(Pcm &pcm) { return decodeAll(file_.get(), info_, pcm); }

  private:
    std::string name_;
    SndfilePtr file_;
    SF_INFO info_;
};

class Device : public AudioDevice {
  public:
    Device(ALCdevice *device, ALCcontext *context) : device_(device), context_(context) {}
    ~Device() override {
        // Every sound holds a reference to its device, so all sources are gone.
        makeCurrent();
        for (auto &[name, buffer] : buffers_)
            alDeleteBuffers(1, &buffer);
        alcMakeContextCurrent(nullptr);
        QuietStderr quiet;
        alcDestroyContext(context_);
        alcCloseDevice(device_);
    }

    // Several devices may be open; AL calls go to the current context.
    void makeCurrent() {
        if (alcGetCurrentContext() != context_)
            alcMakeContextCurrent(context_);
    }

    // The decoded buffer of the source's file, shared by every sound of that
    // file name on this device; 0 when it cannot be decoded.
    ALuint buffer(Source &source) {
        auto it = buffers_.find(source.fileName());
        if (it != buffers_.end())
            return it->second;
        Pcm pcm;
        if (!source.decode(pcm))
            return 0;
        ALuint buffer = upload(pcm);
        if (buffer)
            buffers_.emplace(source.fileName(), buffer);
        return buffer;
    }

    OpenalDeviceInfo info() {
        OpenalDeviceInfo i;
        i.decodedFiles = static_cast<int>(buffers_.size());
        alcGetIntegerv(device_, ALC_FREQUENCY, 1, &i.frequency);
        alcGetIntegerv(device_, ALC_REFRESH, 1, &i.refresh);
        return i;
    }

  private:
    ALuint upload(const Pcm &pcm) {
        makeCurrent();
        alGetError();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            return 0;
        ALenum format = pcm.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
        alBufferData(buffer, format, pcm.samples.data(),
                     static_cast<ALsizei>(pcm.samples.size() * sizeof(short)), pcm.rate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &buffer);
            return 0;
        }
        return buffer;
    }

    ALCdevice *device_;
    ALCcontext *context_;
    std::map<std::string, ALuint> buffers_;
};

class Sound : public OutputStream {
  public:
    Sound(Device *device, ALuint source) : device_(device), source_(source) {}
    ~Sound() override {
        device_->makeCurrent();
        alSourceStop(source_);
        alDeleteSources(1, &source_);
    }

    // From the beginning, whether it was playing, ended or stopped.
    void play() override {
        device_->makeCurrent();
        alSourcePlay(source_);
    }
    void stop() override {
        device_->makeCurrent();
        alSourceStop(source_);
    }
    bool isPlaying() override {
        device_->makeCurrent();
        ALint state = AL_STOPPED;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    }
    // Back to the beginning; a playing sound goes on playing from there.
    void reset() override {
        device_->makeCurrent();
        if (isPlaying())
            alSourcePlay(source_);
        else
            alSourceRewind(source_);
    }
    void setRepeat(bool repeat) override {
        device_->makeCurrent();
        alSourcei(source_, AL_LOOPING, repeat ? AL_TRUE : AL_FALSE);
    }
    // Never louder than the file: OpenAL Soft caps a source's gain at 1 by
    // default anyway. A negative (or NaN) volume is silence.
    void setVolume(float volume) override {
        device_->makeCurrent();
        float gain = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
        alSourcef(source_, AL_GAIN, gain);
    }

  private:
    RefPtr<Device> device_;
    ALuint source_;
};

// A source that plays its buffer as is: centred, no distance attenuation.
ALuint makeSource(ALuint buffer) {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0, 0, 0);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0);
    alSourcei(source, AL_LOOPING, AL_FALSE);
    alSourcef(source, AL_GAIN, 1);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        return 0;
    }
    return source;
}

class OpenAL : public Backend {
  public:
    AudioDevice *openDevice() override {
        try {
            return open();
        } catch (...) {
            return nullptr;
        }
    }

    SampleSource *openSampleSource(const std::string &fileName) override {
        try {
            SF_INFO info{};
            // The name stays the program's; the file system sees the locale's.
            SndfilePtr file(sf_open(platform::pathToOpen(fileName).c_str(), SFM_READ, &info));
            if (!file || info.frames < 1 || info.channels < 1 || info.samplerate < 1)
                return nullptr;
            return new Source(fileName, std::move(file), info);
        } catch (...) {
            return nullptr;
        }
    }

    OutputStream *openSound(AudioDevice *device, SampleSource *source) override {
        auto *dev = dynamic_cast<Device *>(device);
        auto *src = dynamic_cast<Source *>(source);
        if (!dev || !src)
            return nullptr;
        ALuint buffer = 0;
        try {
            buffer = dev->buffer(*src);
        } catch (...) {
            return nullptr;
        }
        if (!buffer)
            return nullptr;
        dev->makeCurrent();
        ALuint alSource = makeSource(buffer);
        if (!alSource)
            return nullptr;
        auto *sound = new (std::nothrow) Sound(dev, alSource);
        if (!sound)
            alDeleteSources(1, &alSource);
        return sound;
    }

  private:
    Device *open() {
        // OpenAL reads its configuration at the first open only.
        static bool configured = false;
        std::string privateConfig;
        if (!configured) {
            configured = true;
            privateConfig = installLowLatencyConfig();
        }
        ALCdevice *device = nullptr;
        ALCcontext *context = nullptr;
        {
            QuietStderr quiet;
            device = alcOpenDevice(nullptr);
            if (device) {
                context = alcCreateContext(device, nullptr);
                if (!context)
                    alcCloseDevice(device);
            }
        }
        removeLowLatencyConfig(privateConfig);
        if (!context)
            return nullptr;
        auto *result = new (std::nothrow) Device(device, context);
        if (!result) {
            QuietStderr quiet;
            alcDestroyContext(context);
            alcCloseDevice(device);
            return nullptr;
        }
        alcMakeContextCurrent(context);
        return result;
    }
};

} // namespace

Backend &openalBackend() {
    static OpenAL b;
    return b;
}

OpenalDeviceInfo openalDeviceInfo(AudioDevice *device) {
    auto *dev = dynamic_cast<Device *>(device);
    return dev ? dev->info() : OpenalDeviceInfo{};
}

} // namespace audiere
