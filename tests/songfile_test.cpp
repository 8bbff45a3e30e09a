#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "songs/songfile.h"
#include "support/harness.h"

using testing_support::ScreenTest;

class SongFile : public ScreenTest {};

TEST_F(SongFile, WritesTheWorkedExampleByteForByte) {
    const std::string dzwieki[] = {"c.wav", "e.wav", "c.wav"};
    const std::int64_t pauzy[] = {380, 412, 1150};
    ASSERT_TRUE(ZapiszUtwor("test", "Moja_piosenka", "2010", 3, dzwieki, pauzy));
    EXPECT_EQ(readFile("test.tsf"), "Moja_piosenka 2010 3 c.wav 380 e.wav 412 c.wav 1150 ");
    // Saving again under the name leaves only the second song.
    ASSERT_TRUE(ZapiszUtwor("test", "Inna", "1999", 0, nullptr, nullptr));
    EXPECT_EQ(readFile("test.tsf"), "Inna 1999 0 ");
    // The typed name is used as it is, with .tsf added.
    ASSERT_TRUE(ZapiszUtwor("x.tsf", "T", "1", 0, nullptr, nullptr));
    EXPECT_TRUE(exists("x.tsf.tsf"));
}

TEST_F(SongFile, ReadsAnyWhitespaceLayout) {
    for (const char *tekst : {"Moja_piosenka 2010 3 c.wav 380 e.wav 412 c.wav 1150 ",
                              "Moja_piosenka\n2010\n\n3\r\n  c.wav\t380\ne.wav 412 c.wav 1150",
                              "Moja_piosenka 2010 3 c.wav 380 e.wav 412 c.wav 1150 more tokens"}) {
        writeFile("s.tsf", tekst);
        Utwor u;
        std::string blad;
        ASSERT_EQ(WczytajUtwor("s.tsf", u, blad), Wczytanie::Ok) << tekst;
        EXPECT_EQ(u.tytul, "Moja piosenka");
        EXPECT_EQ(u.rok, 2010);
        EXPECT_EQ(u.dzwieki, (std::vector<std::string>{"c.wav", "e.wav", "c.wav"}));
        EXPECT_EQ(u.pauzy, (std::vector<int>{380, 412, 1150}));
    }
}

TEST_F(SongFile, TitlesAndEmptySongs) {
    struct Case {
        const char *tekst;
        const char *tytul;
        std::size_t nuty;
    } cases[] = {
        {"___ 1 0 ", "   ", 0},
        {"Bez 1 0 ", "Bez", 0},
        {"\xa5_\xa5 -5 1 A.wav 9999 ", "\xa5 \xa5", 1},
    };
    for (const Case &c : cases) {
        writeFile("s.tsf", c.tekst);
        Utwor u;
        std::string blad;
        ASSERT_EQ(WczytajUtwor("s.tsf", u, blad), Wczytanie::Ok) << c.tekst;
        EXPECT_EQ(u.tytul, c.tytul);
        EXPECT_EQ(u.dzwieki.size(), c.nuty);
    }
}

TEST_F(SongFile, FilesThatAreNotWholeSongsAreRefused) {
    struct Case {
        const char *tekst;
        const char *blad;
    } cases[] = {
        {"", "wiersz 1, kolumna 1: brak pola: tytuł (plik kończy się za wcześnie)"},
        {"T", "wiersz 1, kolumna 2: brak pola: rok (plik kończy się za wcześnie)"},
        {"T 20x1 0 ", "wiersz 1, kolumna 3: rok (\"20x1\") nie jest liczbą całkowitą"},
        {"T 99999999999 0 ", "wiersz 1, kolumna 3: rok (99999999999) wykracza poza zakres "
                             "liczb całkowitych 32-bitowych"},
        {"T 1 -1 ", "wiersz 1, kolumna 5: ilość nut (-1) musi być liczbą nieujemną"},
        {"T 1 dwa ", "wiersz 1, kolumna 5: ilość nut (\"dwa\") nie jest liczbą całkowitą"},
        {"T 1 2\na.wav 100 ", "wiersz 2, kolumna 11: brak pola: nazwa dźwięku nuty nr 2 (plik "
                              "kończy się za wcześnie)"},
        {"T 1 2 a.wav 100 b.wav ", "wiersz 1, kolumna 23: brak pola: pauza nuty nr 2 (plik "
                                   "kończy się za wcześnie)"},
        {"T 1 1 a.wav -5 ", "wiersz 1, kolumna 13: pauza nuty nr 1 (-5) musi być liczbą "
                            "nieujemną"},
        {"T 1 1 a.wav 3000000000 ", "wiersz 1, kolumna 13: pauza nuty nr 1 (3000000000) "
                                    "wykracza poza zakres liczb całkowitych 32-bitowych"},
        {"T 1 1\r\n\ta.wav 12ms ", "wiersz 2, kolumna 8: pauza nuty nr 1 (\"12ms\") nie jest "
                                   "liczbą całkowitą"},
    };
    for (const Case &c : cases) {
        writeFile("s.tsf", c.tekst);
        Utwor u;
        u.tytul = "untouched";
        std::string blad;
        EXPECT_EQ(WczytajUtwor("s.tsf", u, blad), Wczytanie::Bledny) << c.tekst;
        EXPECT_EQ(blad, c.blad) << c.tekst;
        EXPECT_EQ(u.tytul, "untouched") << "nothing of a refused file is handed out";
    }
    Utwor u;
    std::string blad;
    EXPECT_EQ(WczytajUtwor("missing.tsf", u, blad), Wczytanie::BrakPliku);
}

// What the creator writes, playback reads back unchanged: code page 852
// titles and names, and those whose bytes would pass for UTF-8.
TEST_F(SongFile, WrittenSongsReadBackTheSame) {
    const std::string dzwieki[] = {"\xa9.wav", "\xe4\x98\x86", "c.wav"};
    const std::int64_t pauzy[] = {0, 180, 9999};
    for (const std::string &tytul : {std::string("G\xa9\x98l_i"), std::string("\xe4\x98\x86")}) {
        ASSERT_TRUE(ZapiszUtwor("s", tytul, "-7", 3, dzwieki, pauzy));
        Utwor u;
        std::string blad;
        ASSERT_EQ(WczytajUtwor("s.tsf", u, blad), Wczytanie::Ok) << blad;
        std::string spacje = tytul;
        std::replace(spacje.begin(), spacje.end(), '_', ' ');
        EXPECT_EQ(u.tytul, spacje);
        EXPECT_EQ(u.rok, -7);
        EXPECT_EQ(u.dzwieki, (std::vector<std::string>(dzwieki, dzwieki + 3)));
        EXPECT_EQ(u.pauzy, (std::vector<int>{0, 180, 9999}));
    }
}

TEST_F(SongFile, SaveThatFailsIsReported) {
    const std::string dzwieki[] = {"c.wav"};
    const std::int64_t pauzy[] = {10};
    EXPECT_FALSE(ZapiszUtwor("no_such_dir/song", "T", "1", 1, dzwieki, pauzy));
    EXPECT_FALSE(exists("no_such_dir"));
}

// Names typed with Polish letters are the locale's on disk; a file that only
// exists under the raw code page 852 bytes still opens.
TEST_F(SongFile, NamesAreInTheLocalesEncodingOnDisk) {
    const std::string dzwieki[] = {"c.wav"};
    const std::int64_t pauzy[] = {100};
    struct Case {
        const char *charset;
        std::string onDisk;
    } cases[] = {
        {"UTF-8", "g\xc4\x99\xc5\x9b.tsf"},
        {"ISO-8859-2", "g\xea\xb6.tsf"},
        {"ANSI_X3.4-1968", "g\xa9\x98.tsf"}, // no such letters: the bytes as they are
    };
    for (const Case &c : cases) {
        platform::setFileNameCharset(c.charset);
        ASSERT_TRUE(ZapiszUtwor("gęś", "T", "2020", 1, dzwieki, pauzy)) << c.charset;
        EXPECT_TRUE(exists(c.onDisk)) << c.charset;
        Utwor u;
        std::string blad;
        EXPECT_EQ(WczytajUtwor("gęś.tsf", u, blad), Wczytanie::Ok) << c.charset;
        std::filesystem::remove(c.onDisk);
    }
    platform::setFileNameCharset("UTF-8");
    writeFile("stary\x88.tsf", "Stary 1999 0 "); // ł in code page 852, as older runs wrote it
    Utwor u;
    std::string blad;
    ASSERT_EQ(WczytajUtwor("starył.tsf", u, blad), Wczytanie::Ok);
    EXPECT_EQ(u.tytul, "Stary");
    EXPECT_EQ(WczytajUtwor("brak.tsf", u, blad), Wczytanie::BrakPliku);
    platform::setFileNameCharset("");
}
