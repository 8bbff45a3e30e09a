#include "platform/audio_openal.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <algorithm>
#include <cerrno>
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
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
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
//
// Every file becomes 16-bit stereo: OpenAL Soft pans a mono buffer to the
// centre, 4.5 dB down on each side, so mono goes to both channels at its own
// level, and more than two channels are mixed down to the front pair with
// the usual weights. The samples are decoded once, a chunk at a time,
// straight into the buffer's own storage.

struct SndfileCloser {
    void operator()(SNDFILE *f) const { sf_close(f); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

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

short toShort(float x) {
    float v = x * 32768.0f;
    if (!(v > -32768.0f)) // also NaN
        return v != v ? 0 : -32768;
    return static_cast<short>(std::lrint(std::min(v, 32767.0f)));
}

// How much of each file channel goes to the left and the right output.
struct Weights {
    float left, right;
};

Weights weightsOf(int position) {
    constexpr float g = 0.70710678f; // -3 dB
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
        return {1, 0};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        return {0, 1};
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
        return {g, 0};
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
        return {0, g};
    case SF_CHANNEL_MAP_REAR_CENTER:
        return {0.5f, 0.5f};
    case SF_CHANNEL_MAP_LFE:
        return {0, 0};
    default: // centre, and positions without a side
        return {g, g};
    }
}

// The file's channel positions, or the usual order for its channel count.
std::vector<Weights> downmixWeights(SNDFILE *file, int channels) {
    std::vector<int> map(static_cast<std::size_t>(channels));
    if (!sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                    static_cast<int>(map.size() * sizeof(int)))) {
        static const std::vector<int> byCount[] = {
            {},
            {},
            {},
            {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER},
            {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_REAR_LEFT,
             SF_CHANNEL_MAP_REAR_RIGHT},
            {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER,
             SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT},
            {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE,
             SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT},
            {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE,
             SF_CHANNEL_MAP_REAR_CENTER, SF_CHANNEL_MAP_SIDE_LEFT, SF_CHANNEL_MAP_SIDE_RIGHT},
            {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE,
             SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT, SF_CHANNEL_MAP_SIDE_LEFT,
             SF_CHANNEL_MAP_SIDE_RIGHT},
        };
        const std::vector<int> &usual = byCount[std::min(channels, 8)];
        for (int c = 0; c < channels; ++c)
            map[c] = c < static_cast<int>(usual.size()) ? usual[c] : SF_CHANNEL_MAP_CENTER;
    }
    std::vector<Weights> w;
    for (int position : map)
        w.push_back(weightsOf(position));
    return w;
}

constexpr sf_count_t kChunkFrames = 4096;

// Decodes up to maxFrames frames from where the file stands, as stereo
// shorts, handing each chunk to sink(samples, frames). Returns the frames read.
template <class Sink>
sf_count_t decodeStereo(SNDFILE *file, const SF_INFO &info, sf_count_t maxFrames, Sink &&sink) {
    const int ch = info.channels;
    const bool plain = ch <= 2 && !floatNative(info);
    std::vector<short> shorts(plain ? kChunkFrames * ch : 0);
    std::vector<float> floats(plain ? 0 : kChunkFrames * ch);
    std::vector<Weights> weights = ch > 2 ? downmixWeights(file, ch) : std::vector<Weights>{};
    std::vector<short> out(kChunkFrames * 2);
    sf_count_t total = 0;
    while (total < maxFrames) {
        sf_count_t want = std::min(kChunkFrames, maxFrames - total);
        sf_count_t got = plain ? sf_readf_short(file, shorts.data(), want)
                               : sf_readf_float(file, floats.data(), want);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            if (plain && ch == 2) {
                out[2 * f] = shorts[2 * f];
                out[2 * f + 1] = shorts[2 * f + 1];
            } else if (plain) {
                out[2 * f] = out[2 * f + 1] = shorts[f];
            } else if (ch == 1) {
                out[2 * f] = out[2 * f + 1] = toShort(floats[f]);
            } else if (ch == 2) {
                out[2 * f] = toShort(floats[2 * f]);
                out[2 * f + 1] = toShort(floats[2 * f + 1]);
            } else {
                float l = 0, r = 0;
                for (int c = 0; c < ch; ++c) {
                    l += floats[f * ch + c] * weights[c].left;
                    r += floats[f * ch + c] * weights[c].right;
                }
                out[2 * f] = toShort(l);
                out[2 * f + 1] = toShort(r);
            }
        }
        sink(out.data(), got);
        total += got;
    }
    return total;
}

// One buffer holds at most INT_MAX bytes (ALsizei).
constexpr sf_count_t kMaxFrames = INT_MAX / 4;

// The extension that fills a buffer in place. OpenAL Soft 1.19 has it without
// listing it; later versions may not, and the loader then copies.
using SubDataFn = void(AL_APIENTRY *)(ALuint, ALenum, const ALvoid *, ALsizei, ALsizei);
SubDataFn subData() {
    static SubDataFn fn = reinterpret_cast<SubDataFn>(alGetProcAddress("alBufferSubDataSOFT"));
    return fn;
}

// Decodes the whole file into buffer: in place when it can, with exactly
// the file's frames; through one exact-size copy otherwise (a file whose
// length was only an estimate). False when nothing could be decoded.
bool fill(ALuint buffer, SNDFILE *file, const SF_INFO &info) {
    const sf_count_t frames = info.frames;
    if (SubDataFn sub = subData(); sub && frames > 0 && frames <= kMaxFrames) {
        alGetError();
        alBufferData(buffer, AL_FORMAT_STEREO16, nullptr, static_cast<ALsizei>(frames * 4),
                     info.samplerate);
        bool ok = alGetError() == AL_NO_ERROR;
        sf_count_t at = 0;
        sf_count_t got =
            ok ? decodeStereo(file, info, frames,
                              [&](const short *p, sf_count_t n) {
                                  sub(buffer, AL_FORMAT_STEREO16, p, static_cast<ALsizei>(at * 4),
                                      static_cast<ALsizei>(n * 4));
                                  at += n;
                              })
               : 0;
        short probe[64];
        if (ok && alGetError() == AL_NO_ERROR && got == frames &&
            sf_readf_short(file, probe, 1) == 0)
            return true;
        if (sf_seek(file, 0, SEEK_SET) != 0)
            return false;
    }
    std::vector<short> pcm;
    decodeStereo(file, info, kMaxFrames,
                 [&](const short *p, sf_count_t n) { pcm.insert(pcm.end(), p, p + 2 * n); });
    if (pcm.empty())
        return false;
    alGetError();
    alBufferData(buffer, AL_FORMAT_STEREO16, pcm.data(),
                 static_cast<ALsizei>(pcm.size() * sizeof(short)), info.samplerate);
    return alGetError() == AL_NO_ERROR;
}

// --- Objects -------------------------------------------------------------

// The file's descriptor, closed after libsndfile is done with it.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor &&o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    Descriptor &operator=(Descriptor &&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }

  private:
    int fd_;
};

class Source : public SampleSource {
  public:
    Source(std::string name, Descriptor fd, SndfilePtr file, SF_INFO info)
        : name_(std::move(name)), fd_(std::move(fd)), file_(std::move(file)), info_(info) {}
    const std::string &fileName() const override { return name_; }
    // From the first frame, however often it is asked (one source may be
    // opened as sounds on several devices).
    bool decodeInto(ALuint buffer) {
        return sf_seek(file_.get(), 0, SEEK_SET) == 0 && fill(buffer, file_.get(), info_);
    }

  private:
    std::string name_;
    Descriptor fd_; // declared before file_, so closed after it
    SndfilePtr file_;
    SF_INFO info_;
};

// As many sources as any key map asks for. OpenAL Soft allocates them as
// they are made; the attribute only lifts its default limit of 256, and
// holds unless the user's own configuration sets "sources".
constexpr ALCint kSourceLimit = 1 << 20;

class Device : public AudioDevice {
  public:
    Device(ALCdevice *device, ALCcontext *context, bool loopback)
        : device_(device), context_(context), loopback_(loopback) {}
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
        makeCurrent();
        alGetError();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            return 0;
        if (!source.decodeInto(buffer)) {
            alDeleteBuffers(1, &buffer);
            return 0;
        }
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

    bool render(float *out, int frames) {
        if (!loopback_ || frames < 0)
            return false;
        if (frames > 0)
            alcRenderSamplesSOFT(device_, out, frames);
        return true;
    }

  private:
    ALCdevice *device_;
    ALCcontext *context_;
    bool loopback_;
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
            return openSource(fileName);
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
        if (!alSource) {
            setOpenFailure(OpenFailure::TooManySounds);
            return nullptr;
        }
        auto *sound = new (std::nothrow) Sound(dev, alSource);
        if (!sound)
            alDeleteSources(1, &alSource);
        return sound;
    }

    // A device that renders only when asked; null when OpenAL lacks the
    // extension or the format.
    AudioDevice *openLoopback(int rate) {
        try {
            return open(rate);
        } catch (...) {
            return nullptr;
        }
    }

  private:
    // Only a regular file is opened: libsndfile's open of a FIFO waits for a
    // writer for ever, and a device node or a directory is no sound. The
    // check is made again on the open descriptor, so that a file swapped in
    // between is caught too.
    SampleSource *openSource(const std::string &fileName) {
        // The name stays the program's; the file system sees the locale's.
        const std::string path = platform::pathToOpen(fileName);
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) {
            setOpenFailure(errno == EACCES ? OpenFailure::Unreadable : OpenFailure::NoFile);
            return nullptr;
        }
        if (!S_ISREG(st.st_mode)) {
            setOpenFailure(OpenFailure::NotSound);
            return nullptr;
        }
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            setOpenFailure(errno == ENOENT ? OpenFailure::NoFile : OpenFailure::Unreadable);
            return nullptr;
        }
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
            close(fd);
            setOpenFailure(OpenFailure::NotSound);
            return nullptr;
        }
        Descriptor owned(fd);
        SF_INFO info{};
        SndfilePtr file(sf_open_fd(fd, SFM_READ, &info, SF_FALSE));
        if (!file) {
            setOpenFailure(OpenFailure::NotSound);
            return nullptr;
        }
        if (info.frames < 1 || info.channels < 1 || info.samplerate < 1) {
            setOpenFailure(OpenFailure::NotSound);
            return nullptr;
        }
        if (info.frames > kMaxFrames) {
            setOpenFailure(OpenFailure::TooLong);
            return nullptr;
        }
        return new Source(fileName, std::move(owned), std::move(file), info);
    }

    // rate 0: the default output device; otherwise a loopback device that
    // renders stereo floats at that rate.
    Device *open(int rate = 0) {
        // OpenAL reads its configuration at its first call only, whichever
        // kind of device that opens.
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
            std::vector<ALCint> attributes;
            if (rate > 0) {
                if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
                    device = alcLoopbackOpenDeviceSOFT(nullptr);
                if (device && !alcIsRenderFormatSupportedSOFT(device, rate, ALC_STEREO_SOFT,
                                                              ALC_FLOAT_SOFT)) {
                    alcCloseDevice(device);
                    device = nullptr;
                }
                attributes = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                              ALC_FLOAT_SOFT,           ALC_FREQUENCY,   rate};
            } else {
                device = alcOpenDevice(nullptr);
            }
            attributes.insert(attributes.end(), {ALC_MONO_SOURCES, kSourceLimit, ALC_STEREO_SOURCES,
                                                 kSourceLimit, 0});
            if (device) {
                context = alcCreateContext(device, attributes.data());
                if (!context)
                    alcCloseDevice(device);
            }
        }
        removeLowLatencyConfig(privateConfig);
        if (!context)
            return nullptr;
        auto *result = new (std::nothrow) Device(device, context, rate > 0);
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

OpenAL &backend() {
    static OpenAL b;
    return b;
}

} // namespace

Backend &openalBackend() {
    return backend();
}

AudioDevice *openLoopbackDevice(int rate) {
    return rate > 0 ? backend().openLoopback(rate) : nullptr;
}

bool renderLoopback(AudioDevice *device, float *out, int frames) {
    auto *dev = dynamic_cast<Device *>(device);
    return dev && out && dev->render(out, frames);
}

OpenalDeviceInfo openalDeviceInfo(AudioDevice *device) {
    auto *dev = dynamic_cast<Device *>(device);
    return dev ? dev->info() : OpenalDeviceInfo{};
}

} // namespace audiere
