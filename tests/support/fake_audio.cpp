#include "support/fake_audio.h"

#include <optional>
#include <ostream>

#include "platform/clock.h"

namespace testing_support {
namespace {
class FakeSound;
}

struct FakeAudio::State {
    std::vector<AudioCall> calls;
    int devices = 0, sources = 0, sounds = 0, outliving = 0;
    std::set<FakeSound *> live;

    void record(std::string op, std::string file = "", float value = 0) {
        calls.push_back({platform::clock().nowMs(), std::move(op), std::move(file), value});
    }
};

namespace {

using State = FakeAudio::State;

// Sounds still open on a device, and whether the device is still there.
struct DeviceLife {
    bool alive = true;
    int sounds = 0;
};

class FakeDevice : public audiere::AudioDevice {
  public:
    explicit FakeDevice(std::shared_ptr<State> s) : state(std::move(s)) { ++state->devices; }
    ~FakeDevice() override {
        --state->devices;
        state->outliving += life->sounds;
        life->alive = false;
        state->record("releaseDevice");
    }
    std::shared_ptr<State> state;
    std::shared_ptr<DeviceLife> life = std::make_shared<DeviceLife>();
};

class FakeSource : public audiere::SampleSource {
  public:
    FakeSource(std::shared_ptr<State> s, std::string file)
        : state(std::move(s)), file_(std::move(file)) {
        ++state->sources;
    }
    ~FakeSource() override {
        --state->sources;
        state->record("releaseSource", file_);
    }
    const std::string &fileName() const override { return file_; }
    std::shared_ptr<State> state;

  private:
    std::string file_;
};

// Plays from startedAt for its length, or on and on while repeating.
class FakeSound : public audiere::OutputStream {
  public:
    FakeSound(std::shared_ptr<State> s, std::shared_ptr<DeviceLife> d, std::string file,
              std::int64_t length)
        : state(std::move(s)), device(std::move(d)), file(std::move(file)), length(length) {
        ++state->sounds;
        ++device->sounds;
        state->live.insert(this);
    }
    ~FakeSound() override {
        --state->sounds;
        --device->sounds;
        state->live.erase(this);
        state->record("releaseSound", file);
    }

    void play() override {
        state->record("play", file);
        startedAt = now();
    }
    void stop() override {
        state->record("stop", file);
        startedAt.reset();
    }
    bool isPlaying() override {
        bool p = playingNow();
        state->record("isPlaying", file, p);
        return p;
    }
    // Rewinds; only a playing sound goes on from the beginning.
    void reset() override {
        bool p = playingNow();
        state->record("reset", file);
        if (p)
            startedAt = now();
    }
    void setRepeat(bool r) override {
        state->record("setRepeat", file, r);
        if (repeat && !r && playingNow() && length > 0) // the pass under way is the last
            *startedAt = now() - (now() - *startedAt) % length;
        repeat = r;
    }
    void setVolume(float v) override { state->record("setVolume", file, v); }

    bool playingNow() const {
        if (!startedAt)
            return false;
        return repeat || now() < *startedAt + length;
    }

    std::shared_ptr<State> state;
    std::shared_ptr<DeviceLife> device;
    std::string file;
    std::int64_t length;

  private:
    static std::int64_t now() { return platform::clock().nowMs(); }
    std::optional<std::int64_t> startedAt;
    bool repeat = false;
};

} // namespace

std::ostream &operator<<(std::ostream &os, const AudioCall &c) {
    return os << "{" << c.at << " " << c.op << " \"" << c.file << "\" " << c.value << "}";
}

FakeAudio::FakeAudio() : state_(std::make_shared<State>()) {
    audiere::setBackend(this);
}

FakeAudio::~FakeAudio() {
    audiere::setBackend(nullptr);
}

const std::vector<AudioCall> &FakeAudio::calls() const {
    return state_->calls;
}

std::vector<std::string> FakeAudio::trace(const std::set<std::string> &ops, bool withTime) const {
    std::vector<std::string> v;
    for (const AudioCall &c : calls())
        if (ops.count(c.op))
            v.push_back((withTime ? std::to_string(c.at) + " " : "") + c.op + " " + c.file);
    return v;
}

std::vector<AudioCall> FakeAudio::calls(const std::string &op) const {
    std::vector<AudioCall> out;
    for (const AudioCall &c : state_->calls)
        if (c.op == op)
            out.push_back(c);
    return out;
}

void FakeAudio::clearCalls() {
    state_->calls.clear();
}

int FakeAudio::liveDevices() const {
    return state_->devices;
}
int FakeAudio::liveSources() const {
    return state_->sources;
}
int FakeAudio::liveSounds() const {
    return state_->sounds;
}
int FakeAudio::soundsOutlivingDevice() const {
    return state_->outliving;
}

bool FakeAudio::playing(const std::string &file) const {
    for (FakeSound *s : state_->live)
        if (s->file == file && s->playingNow())
            return true;
    return false;
}

audiere::AudioDevice *FakeAudio::openDevice() {
    state_->record("openDevice", "", !noDevice);
    return noDevice ? nullptr : new FakeDevice(state_);
}

audiere::SampleSource *FakeAudio::openSampleSource(const std::string &fileName) {
    bool ok = !missing.count(fileName) && !failures.count(fileName);
    state_->record("openSource", fileName, ok);
    if (!ok)
        audiere::setOpenFailure(failures.count(fileName) ? failures.at(fileName)
                                                         : audiere::OpenFailure::NoFile);
    return ok ? new FakeSource(state_, fileName) : nullptr;
}

audiere::OutputStream *FakeAudio::openSound(audiere::AudioDevice *device,
                                            audiere::SampleSource *source) {
    auto *d = dynamic_cast<FakeDevice *>(device);
    auto *s = dynamic_cast<FakeSource *>(source);
    state_->record("openSound", source ? source->fileName() : "", d && s);
    if (!d || !s)
        return nullptr;
    auto it = lengthMs.find(s->fileName());
    std::int64_t length = it != lengthMs.end() ? it->second : defaultLengthMs;
    return new FakeSound(state_, d->life, s->fileName(), length);
}

} // namespace testing_support
