// Code page 852 and UTF-8: whatever is written reads back, and the terminal's
// UTF-8 form of any code page 852 text converts back to that text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "platform/cp852.h"
#include "platform/tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char *>(data), size);

    platform::DataText d = platform::decodeDataFile(bytes);
    FUZZ_CHECK(d.text.size() <= bytes.size());
    FUZZ_CHECK(d.wasUtf8 || d.text == bytes);
    FUZZ_CHECK(platform::decodeDataFile(platform::encodeDataFile(bytes)).text == bytes);

    std::string utf8;
    for (unsigned char c : bytes)
        platform::appendUtf8(utf8, c);
    FUZZ_CHECK(platform::isValidUtf8(utf8));
    FUZZ_CHECK(platform::utf8ToCp852(utf8) == bytes);
    platform::utf8ToCp852(bytes); // any bytes at all: no fault
    return 0;
}
