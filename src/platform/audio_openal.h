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

// A device that mixes only when asked (OpenAL Soft's loopback device): the
// same sounds and buffers as a real device, but samples come out of
// renderLoopback, as interleaved stereo floats at the given rate. Tests and
// the render tool use it; null when the extension or the rate is missing.
AudioDevice *openLoopbackDevice(int rate = 48000);

// Mixes exactly frames frames into out (2 * frames floats). A sound played
// before the call starts at out[0]. False, and out untouched, for a device
// that is not a loopback device.
bool renderLoopback(AudioDevice *device, float *out, int frames);

} // namespace audiere
