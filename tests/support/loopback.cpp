#include "support/loopback.h"

#include <algorithm>

#include "platform/audio_openal.h"

namespace testing_support {

void RenderClock::sleepMs(std::int64_t ms) {
    if (ms <= 0)
        return;
    const std::size_t n = static_cast<std::size_t>(ms) * kFramesPerMs;
    std::vector<float> out(2 * n, 0.0f);
    if (device_)
        audiere::renderLoopback(device_.get(), out.data(), static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i) {
        left.push_back(out[2 * i]);
        right.push_back(out[2 * i + 1]);
    }
}

std::vector<float> placed(const std::vector<float> &x, std::int64_t frames,
                          const std::vector<Placement> &copies) {
    std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
    for (const Placement &p : copies) {
        std::int64_t end = std::min({frames, p.cut, p.start + static_cast<std::int64_t>(x.size())});
        for (std::int64_t f = p.start; f < end; ++f)
            out[f] += x[f - p.start] * p.gain;
    }
    return out;
}

std::vector<float> exactRamp(int frames, int channels, int step) {
    std::vector<float> x;
    x.reserve(static_cast<std::size_t>(frames) * channels);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            x.push_back(static_cast<float>((f * step + c * 1000) % 20000 - 10000) / 32768.0f);
    return x;
}

} // namespace testing_support
