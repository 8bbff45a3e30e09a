// Sound rendered on demand: a clock whose sleeps mix exactly that many frames
// of an OpenAL loopback device, so tests hear the adapter to the sample.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "platform/audio.h"
#include "platform/clock.h"

namespace testing_support {

constexpr int kLoopbackRate = 48000;
constexpr int kFramesPerMs = kLoopbackRate / 1000;

class RenderClock : public platform::Clock {
  public:
    // Holds the device, as a mixer would, until detach().
    explicit RenderClock(audiere::AudioDevice *device) : device_(device) {}
    std::int64_t nowMs() override { return frames() / kFramesPerMs; }
    // Mixes ms milliseconds of output onto the capture.
    void sleepMs(std::int64_t ms) override;
    void detach() { device_ = audiere::AudioDevicePtr(); }

    std::int64_t frames() const { return static_cast<std::int64_t>(left.size()); }
    std::vector<float> left, right; // everything mixed so far

  private:
    audiere::AudioDevicePtr device_;
};

// A mono signal placed into a timeline: the sum of copies of x, each starting
// at a frame and cut off at another (or at its own end).
struct Placement {
    std::int64_t start;
    std::int64_t cut = std::numeric_limits<std::int64_t>::max();
    float gain = 1.0f;
};
std::vector<float> placed(const std::vector<float> &x, std::int64_t frames,
                          const std::vector<Placement> &copies);

// Samples that 16-bit PCM holds exactly and that differ from frame to frame
// (a sawtooth of the given step, offset per channel), interleaved.
std::vector<float> exactRamp(int frames, int channels = 1, int step = 7);

} // namespace testing_support
