// Terminal bytes into console key codes: every code a byte, and nothing left
// pending after the escape timeout. Byte 0xFF of the input stands for the
// timeout; the first byte chooses UTF-8 or byte input.
#include <cstddef>
#include <cstdint>
#include <deque>

#include "fuzz/check.h"
#include "platform/keydecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    platform::setKeyDecoderUtf8(data[0] & 1);
    platform::KeyDecoder d;
    std::deque<int> out;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF)
            d.timeout(out);
        else
            d.add(data[i], out);
    }
    d.timeout(out);
    FUZZ_CHECK(!d.pending());
    for (int code : out)
        FUZZ_CHECK(code >= 0 && code <= 255);
    return 0;
}
