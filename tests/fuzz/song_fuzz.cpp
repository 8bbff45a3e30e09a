// A song file from any bytes: what reads, written again, reads back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "songs/songfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Utwor a;
    std::string blad;
    if (CzytajUtwor(std::string_view(reinterpret_cast<const char *>(data), size), a, blad) !=
        Wczytanie::Ok) {
        FUZZ_CHECK(!blad.empty());
        return 0;
    }
    FUZZ_CHECK(a.dzwieki.size() == a.pauzy.size());
    for (int p : a.pauzy)
        FUZZ_CHECK(p >= 0);
    // The title as the creator takes it: underscores where spaces are shown.
    std::string tytul = a.tytul;
    std::replace(tytul.begin(), tytul.end(), ' ', '_');
    std::vector<std::int64_t> pauzy(a.pauzy.begin(), a.pauzy.end());
    std::string zapis =
        TekstUtworu(tytul, std::to_string(a.rok), static_cast<int>(a.dzwieki.size()),
                    a.dzwieki.data(), pauzy.data());
    Utwor b;
    FUZZ_CHECK(CzytajUtwor(zapis, b, blad) == Wczytanie::Ok);
    FUZZ_CHECK(b.tytul == a.tytul && b.rok == a.rok);
    FUZZ_CHECK(b.dzwieki == a.dzwieki && b.pauzy == a.pauzy);
    return 0;
}
