// Opens the default device through the adapter, in a process of its own:
// OpenAL Soft reads its drivers and configuration once per process, and what
// reaches standard error is the whole process's.
// Prints "null", or "device <frequency> <refresh>", then the ALSOFT_CONF that
// the process is left with ("-" when unset).
#include <cstdio>
#include <cstdlib>

#include "platform/audio.h"
#include "platform/audio_openal.h"

int main() {
    audiere::AudioDevicePtr device(audiere::AdrOpenDevice());
    if (device) {
        audiere::OpenalDeviceInfo info = audiere::openalDeviceInfo(device.get());
        std::printf("device %d %d\n", info.frequency, info.refresh);
    } else {
        std::printf("null\n");
    }
    const char *conf = std::getenv("ALSOFT_CONF");
    std::printf("%s\n", conf ? conf : "-");
    return 0;
}
