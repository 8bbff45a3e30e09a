// An audio backend for unit tests: no sound, a record of every call at the
// current platform::clock() time, and "sounds" of a known length.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace testing_support {

struct AudioCall {
    std::int64_t at; // platform::clock().nowMs() when called
    // openDevice, releaseDevice, openSource, releaseSource, openSound,
    // releaseSound, play, stop, isPlaying, reset, setRepeat, setVolume
    std::string op;
    std::string file; // of the source or sound; empty for the device
    // setVolume: the volume; setRepeat: 1 or 0; isPlaying: its answer;
    // the opens: 1 when they gave an object, 0 when they gave null
    float value = 0;

    bool operator==(const AudioCall &) const = default;
};
std::ostream &operator<<(std::ostream &os, const AudioCall &c);

class FakeAudio : public audiere::Backend {
  public:
    FakeAudio();           // installs itself with audiere::setBackend
    ~FakeAudio() override; // puts the OpenAL backend back

    // What the next opens meet.
    bool noDevice = false;
    std::set<std::string> missing; // files whose source does not open: no such file
    std::map<std::string, audiere::OpenFailure> failures; // ... for another reason
    std::int64_t defaultLengthMs = 1000;
    std::map<std::string, std::int64_t> lengthMs; // per file, over the default

    const std::vector<AudioCall> &calls() const;
    std::vector<AudioCall> calls(const std::string &op) const; // only those of op
    // The calls of these ops in order, as "op file", or "time op file" withTime.
    std::vector<std::string> trace(const std::set<std::string> &ops, bool withTime = false) const;
    void clearCalls();

    int liveDevices() const;
    int liveSources() const;
    int liveSounds() const;
    // Sounds still alive when their device was released (each counted once).
    int soundsOutlivingDevice() const;
    // Whether some live sound of the file is playing now; records nothing.
    bool playing(const std::string &file) const;

    audiere::AudioDevice *openDevice() override;
    audiere::SampleSource *openSampleSource(const std::string &fileName) override;
    audiere::OutputStream *openSound(audiere::AudioDevice *device,
                                     audiere::SampleSource *source) override;

    struct State;

  private:
    std::shared_ptr<State> state_; // shared with the objects, which may outlive this
};

} // namespace testing_support
