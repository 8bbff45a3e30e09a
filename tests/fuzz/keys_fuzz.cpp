// Keys.tdf from any bytes: complete entries only, never more than the count,
// every field a whole token.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "piano/keymap.h"
#include "platform/tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    OdczytKeys k = CzytajKeys(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!k.iloscOk) {
        FUZZ_CHECK(k.wpisy.empty() && !k.blad.empty());
        return 0;
    }
    FUZZ_CHECK(k.ilosc >= 0);
    FUZZ_CHECK(k.wpisy.size() <= static_cast<std::size_t>(k.ilosc));
    FUZZ_CHECK(k.blad.empty() == (k.wpisy.size() == static_cast<std::size_t>(k.ilosc)));
    FUZZ_CHECK(k.polaNiepelnego >= 0 && k.polaNiepelnego <= 2);
    for (const WpisMapy &w : k.wpisy) {
        FUZZ_CHECK(!w.plik.empty());
        for (unsigned char c : w.plik)
            FUZZ_CHECK(!platform::isFieldSpace(c));
        FUZZ_CHECK(!platform::isFieldSpace(w.klawisz));
    }
    return 0;
}
