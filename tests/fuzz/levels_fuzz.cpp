// Levels.tdf from any bytes: complete levels only, names and descriptions
// whole non-empty tokens.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "piano/keymap.h"
#include "platform/tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    OdczytLevels l = CzytajLevels(std::string_view(reinterpret_cast<const char *>(data), size));
    FUZZ_CHECK(l.nazwy.size() == l.opisy.size());
    if (!l.iloscOk) {
        FUZZ_CHECK(l.nazwy.empty() && !l.blad.empty());
        return 0;
    }
    FUZZ_CHECK(l.nazwy.size() <= static_cast<std::size_t>(l.ilosc));
    FUZZ_CHECK(l.blad.empty() == (l.nazwy.size() == static_cast<std::size_t>(l.ilosc)));
    for (std::size_t i = 0; i < l.nazwy.size(); ++i) {
        FUZZ_CHECK(!l.nazwy[i].empty() && !l.opisy[i].empty());
        for (unsigned char c : l.nazwy[i] + l.opisy[i])
            FUZZ_CHECK(!platform::isFieldSpace(c));
    }
    return 0;
}
