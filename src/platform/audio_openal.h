// The backend that really plays: OpenAL Soft for output, libsndfile for decoding.
#pragma once

#include "platform/audio.h"

namespace audiere {

Backend &openalBackend();

// What an OpenAL device holds, for tests and benchmarks. All zero for a
// device of another backend.
struct OpenalDeviceInfo {
    int decodedFiles = 0; // distinct files decoded into buffers so far
    int frequency = 0;    // output sample rate
    int refresh = 0;      // mixing periods per second: frequency / period size
};
OpenalDeviceInfo openalDeviceInfo(AudioDevice *device);

} // namespace audiere
