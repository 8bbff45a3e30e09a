// Confing.tdf from any bytes, saved and read again: the same settings, and
// the saved file reads without a single complaint.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "settings/config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    OdczytConfing a = CzytajConfing(std::string_view(reinterpret_cast<const char *>(data), size));
    for (const std::string &slot : a.skroty)
        FUZZ_CHECK(!slot.empty());
    std::string zapis = RekordConfing(a.glosnosc, a.tlo, a.litery, a.skroty);
    OdczytConfing b = CzytajConfing(zapis);
    FUZZ_CHECK(b.glosnosc == a.glosnosc && b.tlo == a.tlo && b.litery == a.litery);
    for (int i = 0; i < 4; ++i)
        FUZZ_CHECK(b.skroty[i] == a.skroty[i]);
    for (const std::string &blad : b.bledy)
        FUZZ_CHECK(blad.empty());
    FUZZ_CHECK(b.uwaga.empty());
    return 0;
}
