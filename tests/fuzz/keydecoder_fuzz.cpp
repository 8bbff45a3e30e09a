// Terminal bytes into console key codes: every code a byte, each key no
// earlier than the byte it began with, and nothing left pending once the
// escape wait has passed. Byte 0xFF of the input stands for the wait passing;
// the first byte chooses the terminal's charset.
#include <cstddef>
#include <cstdint>
#include <deque>

#include "fuzz/check.h"
#include "platform/keydecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char *const kCharsets[] = {"", "UTF-8", "ISO-8859-2"};
    platform::KeyDecoder d(kCharsets[data[0] % 3]);
    std::deque<platform::TimedKey> out;
    std::int64_t now = 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF) {
            std::int64_t due = d.deadline();
            if (due >= 0) {
                FUZZ_CHECK(due >= now);
                now = due;
            }
            d.idle(now, out);
        } else {
            d.add(data[i], ++now, out);
        }
    }
    now += platform::kEscapeWaitMs + 1;
    d.idle(now, out);
    FUZZ_CHECK(!d.pending());
    std::int64_t last = 0;
    for (const platform::TimedKey &k : out) {
        FUZZ_CHECK(k.code >= 0 && k.code <= 255);
        FUZZ_CHECK(k.timeMs >= last && k.timeMs <= now);
        last = k.timeMs;
    }
    return 0;
}
