#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "piano/keymap.h"
#include "shell/screen.h"
#include "shell/state.h"
#include "support/harness.h"

using testing_support::ScreenTest;

namespace {
std::string utf8(const char8_t *s) {
    return reinterpret_cast<const char *>(s);
}
} // namespace

class Loaders : public ScreenTest {
  protected:
    struct Entry {
        std::string file;
        unsigned char key;
        int level;
        bool operator==(const Entry &) const = default;
    };
    std::vector<Entry> keyMapEntries() {
        std::vector<Entry> v;
        for (int i = 0; i < IloscDzwiekow; ++i)
            v.push_back({MapaDzwiekow[i], MapaKlawiszy[i], MapaPoziomow[i]});
        return v;
    }
};

const char kKeysHead[] = "Otwieranie pliku Keys.tdf...\n"
                         "Plik Keys.tdf został otwarty z powodzeniem!\n"
                         "Wczytano ilość dźwięków!\n"
                         "Zaalokowano pamięć dla nazw plików ze dźwiękami!\n"
                         "Zaalokowano pamięć dla klawiszy!\n"
                         "Zaalokowano pamięć dla numerów poziomów!\n";
const char kKeysTail[] = "Klawisze zostały pobrane!\nKlawisze zostały przygotowane!\n";

TEST_F(Loaders, KeyMapExample) {
    writeFile("Keys.tdf", "3\nc1.wav a 0\nd1.wav s 0\nbas.wav a 1\n");
    EXPECT_EQ(KeysInit(), 1);
    EXPECT_EQ(keyMapEntries(),
              (std::vector<Entry>{{"c1.wav", 'a', 0}, {"d1.wav", 's', 0}, {"bas.wav", 'a', 1}}));
    std::string lines;
    for (int n = 1; n <= 3; ++n) {
        const char *names[] = {"c1.wav", "d1.wav", "bas.wav"};
        lines += "Pobrano nazwę pliku: " + std::string(names[n - 1]) + " nr " + std::to_string(n) +
                 "!\nPobrano klawisz nr " + std::to_string(n) +
                 "!\nPobrano numer poziomu dla klawisza nr " + std::to_string(n) + "!\n";
    }
    EXPECT_EQ(out(), kKeysHead + lines + kKeysTail);
}

TEST_F(Loaders, KeyMapFieldsAreWhitespaceSeparatedTokens) {
    struct Case {
        const char *file;
        std::vector<Entry> entries;
    } cases[] = {
        {"2 x.wav q7 y.wav 10", {{"x.wav", 'q', 7}, {"y.wav", '1', 0}}},
        {"2\n\n  a.wav\ta\n0 a.wav a 0 extra lines\nignored",
         {{"a.wav", 'a', 0}, {"a.wav", 'a', 0}}},
        {"1 \xa5.wav \xa5 -3", {{"\xa5.wav", 0xa5, -3}}},
        {"0", {}},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        writeFile("Keys.tdf", c.file);
        EXPECT_EQ(KeysInit(), 1);
        EXPECT_EQ(keyMapEntries(), c.entries) << c.file;
        EXPECT_NE(MapaDzwiekow, nullptr) << "tables are present even when empty";
    }
}

TEST_F(Loaders, EmptyKeyMapPrintsNoEntryLines) {
    writeFile("Keys.tdf", "0\n");
    KeysInit();
    EXPECT_EQ(out(), std::string(kKeysHead) + kKeysTail);
}

TEST_F(Loaders, LevelsExample) {
    writeFile("Levels.tdf", "2\nPianino Klawisze_od_c1_do_c2\nBebny_i_talerze Perkusja\n");
    EXPECT_EQ(LevelsInit(), 1);
    ASSERT_EQ(IloscPoziomow, 2);
    EXPECT_EQ(NazwaPoziomow[0], "Pianino");
    EXPECT_EQ(NazwaPoziomow[1], "Bebny_i_talerze");
    EXPECT_EQ(OpisPoziomow[0], "Klawisze od c1 do c2");
    EXPECT_EQ(OpisPoziomow[1], "Perkusja");
    EXPECT_EQ(out(), "Otwieranie Levels.tdf...\n"
                     "Otwieranie powiodło się!\n"
                     "Wczytano ilość poziomów!\n"
                     "Zaalokowano pamięć na nazwy poziomów!\n"
                     "Wczytano nazwę poziomu nr 1: Pianino!\n"
                     "Wczytano opis poziomu nr 1: Klawisze_od_c1_do_c2!\n"
                     "Wczytano nazwę poziomu nr 2: Bebny_i_talerze!\n"
                     "Wczytano opis poziomu nr 2: Perkusja!\n"
                     "Wczytywanie powiodło się!\n");
}

TEST_F(Loaders, LevelDescriptionOfUnderscoresBecomesSpaces) {
    writeFile("Levels.tdf", "1 ___ ___");
    LevelsInit();
    EXPECT_EQ(NazwaPoziomow[0], "___");
    EXPECT_EQ(OpisPoziomow[0], "   ");
}

TEST_F(Loaders, UnusableLevelFileLeavesNoLevels) {
    struct Case {
        const char *file; // null: no file
        const char *message;
    } cases[] = {
        {nullptr, "Otwieranie niepowiodło się!\n"},
        {"-1", "Błąd w pliku Levels.tdf, wiersz 1, kolumna 1: ilość poziomów (-1) musi być "
               "liczbą nieujemną!\n"},
        {"\n  dwa A b", "Błąd w pliku Levels.tdf, wiersz 2, kolumna 3: ilość poziomów (\"dwa\") "
                        "nie jest liczbą całkowitą!\n"},
        {"", "Błąd w pliku Levels.tdf, wiersz 1, kolumna 1: brak pola: ilość poziomów (plik "
             "kończy się za wcześnie)!\n"},
        {"9999999999 A a", "Błąd w pliku Levels.tdf, wiersz 1, kolumna 1: ilość poziomów "
                           "(9999999999) wykracza poza zakres liczb całkowitych 32-bitowych!\n"},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        std::filesystem::remove("Levels.tdf");
        if (c.file)
            writeFile("Levels.tdf", c.file);
        keys({{'k'}});
        clearOutput();
        EXPECT_EQ(LevelsInit(), 0) << c.message;
        EXPECT_EQ(IloscPoziomow, 0);
        EXPECT_EQ(NazwaPoziomow, nullptr);
        EXPECT_EQ(OpisPoziomow, nullptr);
        EXPECT_NE(out().find(Zawin(c.message)), std::string::npos) << out();
        EXPECT_EQ(keysLeft(), c.file ? 0 : 1) << "a fault in the file waits for a key";
    }
}

// A level file that ends early keeps the whole levels before the fault.
TEST_F(Loaders, LevelFileCutShortKeepsTheLevelsBeforeIt) {
    writeFile("Levels.tdf", "3\nA a\nB");
    keys({{'k'}});
    EXPECT_EQ(LevelsInit(), 1);
    ASSERT_EQ(IloscPoziomow, 1);
    EXPECT_EQ(NazwaPoziomow[0], "A");
    EXPECT_EQ(OpisPoziomow[0], "a");
    EXPECT_EQ(out(),
              Zawin("Otwieranie Levels.tdf...\n"
                    "Otwieranie powiodło się!\n"
                    "Wczytano ilość poziomów!\n"
                    "Zaalokowano pamięć na nazwy poziomów!\n"
                    "Wczytano nazwę poziomu nr 1: A!\n"
                    "Wczytano opis poziomu nr 1: a!\n"
                    "Wczytano nazwę poziomu nr 2: B!\n"
                    "Błąd w pliku Levels.tdf, wiersz 3, kolumna 2: brak pola: opis poziomu nr 2 "
                    "(plik kończy się za wcześnie)!\n"
                    "Zachowano pełne poziomy sprzed błędu: 1 z 3. Naciśnij dowolny klawisz, by "
                    "kontynuować!\n"));
    EXPECT_EQ(keysLeft(), 0);
}

// Entries cut short keep those before them, and start-up goes on.
TEST_F(Loaders, KeyMapCutShortKeepsTheEntriesBeforeIt) {
    struct Case {
        const char *file;
        std::vector<Entry> entries;
        const char *tail;
    } cases[] = {
        {"2 a.wav a 0 b.wav b",
         {{"a.wav", 'a', 0}},
         "Pobrano nazwę pliku: b.wav nr 2!\nPobrano klawisz nr 2!\n"
         "Błąd w pliku Keys.tdf, wiersz 1, kolumna 20: brak pola: numer poziomu wpisu nr 2 (plik "
         "kończy się za wcześnie)!\n"
         "Zachowano pełne wpisy sprzed błędu: 1 z 2. Naciśnij dowolny klawisz, by kontynuować!\n"},
        {"1\na.wav a x",
         {},
         "Pobrano nazwę pliku: a.wav nr 1!\nPobrano klawisz nr 1!\n"
         "Błąd w pliku Keys.tdf, wiersz 2, kolumna 9: numer poziomu wpisu nr 1 (\"x\") nie jest "
         "liczbą całkowitą!\n"
         "Zachowano pełne wpisy sprzed błędu: 0 z 1. Naciśnij dowolny klawisz, by kontynuować!\n"},
        {"2000000000 a.wav a0",
         {{"a.wav", 'a', 0}},
         "Błąd w pliku Keys.tdf, wiersz 1, kolumna 20: brak pola: nazwa pliku wpisu nr 2 (plik "
         "kończy się za wcześnie)!\n"
         "Zachowano pełne wpisy sprzed błędu: 1 z 2000000000. Naciśnij dowolny klawisz, by "
         "kontynuować!\n"},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        writeFile("Keys.tdf", c.file);
        keys({{'k'}});
        clearOutput();
        EXPECT_EQ(KeysInit(), 1);
        EXPECT_EQ(keyMapEntries(), c.entries) << c.file;
        EXPECT_EQ(keysLeft(), 0) << c.file;
        std::string tail = Zawin(c.tail) + std::string(kKeysTail);
        std::string o = out();
        ASSERT_GE(o.size(), tail.size()) << o;
        EXPECT_EQ(o.substr(o.size() - tail.size()), tail) << c.file;
    }
}

// Written by a Linux editor: UTF-8, a Polish key and level name.
TEST_F(Loaders, Utf8FilesAreReadAsCodePage852) {
    // u8 literals stay UTF-8 whatever the narrow literals become.
    writeFile("Keys.tdf", utf8(u8"2\ngęś.wav ę 0\nx.wav ż1\n"));
    writeFile("Levels.tdf", utf8(u8"\uFEFF1 gęśli Żółte_nuty"));
    EXPECT_EQ(KeysInit(), 1);
    EXPECT_EQ(keyMapEntries(),
              (std::vector<Entry>{{"g\xa9\x98.wav", 0xa9, 0}, {"x.wav", 0xbe, 1}}));
    EXPECT_EQ(LevelsInit(), 1);
    EXPECT_EQ(NazwaPoziomow[0], "g\xa9\x98li");
    EXPECT_EQ(OpisPoziomow[0], "\xbd\xa2\x88te nuty");
    EXPECT_EQ(keysLeft(), 0) << "nothing to warn about";
    // A character the code page lacks becomes '?', and the file says where.
    testing_support::resetState();
    writeFile("Keys.tdf", utf8(u8"1\n€.wav e 0\n"));
    keys({{'k'}});
    clearOutput();
    KeysInit();
    EXPECT_EQ(keyMapEntries(), (std::vector<Entry>{{"?.wav", 'e', 0}}));
    EXPECT_NE(out().find("Uwaga! W pliku Keys.tdf (wiersz 2, kolumna 1) jest znak spoza strony "
                         "kodowej 852; zastąpiono go znakiem ?.\n"),
              std::string::npos)
        << out();
    EXPECT_EQ(keysLeft(), 0);
}

// A count that cannot size the tables ends the program with status 0; the
// child's console goes to its standard error, where the death test sees it.
TEST_F(Loaders, UnusableKeyMapEndsStartUp) {
    struct Case {
        const char *file; // null: no file
        const char *message;
    } cases[] = {
        {nullptr, "przy otwieraniu Keys.tdf!"},
        {"x", "Keys.tdf, wiersz 1, kolumna 1: ilo"},
        {"\n\t-2 a.wav a 0", "Keys.tdf, wiersz 2, kolumna 2: ilo"},
        {"", "Keys.tdf, wiersz 1, kolumna 1: brak pola: ilo"},
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const Case &c : cases) {
        std::filesystem::remove("Keys.tdf");
        if (c.file)
            writeFile("Keys.tdf", c.file);
        EXPECT_EXIT(
            {
                static std::filebuf console;
                console.open("/dev/stderr", std::ios::out);
                std::cout.rdbuf(&console);
                KeysInit();
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), c.message);
    }
}
