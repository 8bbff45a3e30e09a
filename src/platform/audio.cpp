#include "platform/audio.h"

#include "platform/audio_openal.h"

namespace audiere {
namespace {
Backend *backend = nullptr;
Backend &current() {
    return backend ? *backend : openalBackend();
}
} // namespace

void setBackend(Backend *b) {
    backend = b;
}

AudioDevice *AdrOpenDevice(const char *, const char *) {
    return current().openDevice();
}

SampleSource *AdrOpenSampleSource(const char *fileName, int) {
    if (!fileName)
        return nullptr;
    return current().openSampleSource(fileName);
}

OutputStream *AdrOpenSound(AudioDevice *device, SampleSource *source, bool) {
    // Every sound is loaded whole, so streaming changes nothing here.
    if (!device || !source)
        return nullptr;
    return current().openSound(device, source);
}

} // namespace audiere
