#include "platform/audio.h"

#include "platform/audio_openal.h"

namespace audiere {
namespace {
Backend *backend = nullptr;
OpenFailure failure = OpenFailure::None;
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

OpenFailure lastOpenFailure() {
    return failure;
}

void setOpenFailure(OpenFailure f) {
    failure = f;
}

SampleSource *AdrOpenSampleSource(const char *fileName, int) {
    failure = OpenFailure::None;
    SampleSource *source = fileName ? current().openSampleSource(fileName) : nullptr;
    if (!source && failure == OpenFailure::None)
        failure = fileName ? OpenFailure::NotSound : OpenFailure::NoFile;
    return source;
}

OutputStream *AdrOpenSound(AudioDevice *device, SampleSource *source, bool) {
    // Every sound is loaded whole, so streaming changes nothing here.
    if (!source) {
        if (failure == OpenFailure::None)
            failure = OpenFailure::NotSound;
        return nullptr; // the source's reason stands
    }
    failure = OpenFailure::None;
    OutputStream *sound = device ? current().openSound(device, source) : nullptr;
    if (!sound && failure == OpenFailure::None)
        failure = device ? OpenFailure::NotSound : OpenFailure::NoDevice;
    return sound;
}

} // namespace audiere
