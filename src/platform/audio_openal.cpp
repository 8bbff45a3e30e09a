#include "platform/audio_openal.h"

namespace audiere {
namespace {
// Placeholder until the OpenAL backend lands: no device.
class NoAudio : public Backend {
  public:
    AudioDevice *openDevice() override { return nullptr; }
    SampleSource *openSampleSource(const std::string &) override { return nullptr; }
    OutputStream *openSound(AudioDevice *, SampleSource *) override { return nullptr; }
};
} // namespace

Backend &openalBackend() {
    static NoAudio b;
    return b;
}
} // namespace audiere
