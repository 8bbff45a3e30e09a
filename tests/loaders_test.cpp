#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "piano/keymap.h"
#include "shell/state.h"
#include "support/harness.h"

using testing_support::ScreenTest;

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
        {"-1", "Błąd w pliku Levels.tdf: na początku pliku nie ma ilości poziomów"},
        {"dwa A b", "Błąd w pliku Levels.tdf: na początku pliku nie ma ilości poziomów"},
        {"", "Błąd w pliku Levels.tdf: na początku pliku nie ma ilości poziomów"},
        {"3 A a B", "Błąd w pliku Levels.tdf: poziom nr 2 z 3 nie ma nazwy lub opisu!"},
        {"2000000000 A a", "Błąd w pliku Levels.tdf: poziom nr 2 z 2000000000"},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        std::filesystem::remove("Levels.tdf");
        if (c.file)
            writeFile("Levels.tdf", c.file);
        clearOutput();
        EXPECT_EQ(LevelsInit(), 0) << c.message;
        EXPECT_EQ(IloscPoziomow, 0);
        EXPECT_EQ(NazwaPoziomow, nullptr);
        EXPECT_EQ(OpisPoziomow, nullptr);
        EXPECT_NE(out().find(c.message), std::string::npos) << out();
    }
}

// A missing or unusable Keys.tdf ends the program with status 0; the child's
// console goes to its standard error, where the death test can see it.
TEST_F(Loaders, UnusableKeyMapEndsStartUp) {
    struct Case {
        const char *file; // null: no file
        const char *message;
    } cases[] = {
        {nullptr, "przy otwieraniu Keys.tdf!"},
        {"x", "Keys.tdf: na pocz"},
        {"-2 a.wav a 0", "Keys.tdf: na pocz"},
        {"2 a.wav a 0 b.wav b", "Keys.tdf: wpis nr 2 z 2 jest niepe"},
        {"1 a.wav a x", "Keys.tdf: wpis nr 1 z 1 jest niepe"},
        {"2000000000 a.wav a 0", "Keys.tdf: wpis nr 2 z 2000000000 jest niepe"},
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
