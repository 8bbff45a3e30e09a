#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "settings/config.h"
#include "shell/state.h"
#include "support/harness.h"

using testing_support::ScreenTest;

class Config : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        testing_support::resetState();
    }
    std::vector<std::string> slots() { return {Klawiszowe, Klawiszowe + 4}; }
};

const char kWarnEqual[] =
    "Uwaga! Zmienna określajaca tło i zmienna określajaca kolor liter są takie "
    "\nsame! Oba ustawienia zostaną zmienione na domyślne!\n";
const char kWarnBackground[] =
    "Uwaga! Zmienna określająca kolor tła jest poza zakresem! Ustawienia "
    "\nkoloru zostały zmienione na domyślne!\n";
const char kWarnLetters[] = "Uwaga! Zmienna określająca kolor liter jest poza zakresem! Ustawienia "
                            "\nkolori zostały zmienione na domyślne!\n";

TEST_F(Config, LoadsSevenFieldsInAnyLayout) {
    for (const char *file :
         {"7 1 14 up.wav left.wav 0 right.wav ", "7\n1\n14\nup.wav\nleft.wav\n0\nright.wav\n",
          "  7   1\t14 up.wav   left.wav 0 right.wav and more text"}) {
        testing_support::resetState();
        writeFile("Confing.tdf", file);
        clearOutput();
        InitConfing();
        EXPECT_EQ(Glosnosc, 7);
        EXPECT_EQ(Konfiguracja[1], 1);
        EXPECT_EQ(Konfiguracja[2], 14);
        EXPECT_EQ(slots(), (std::vector<std::string>{"up.wav", "left.wav", "0", "right.wav"}));
        EXPECT_EQ(out(), "Otwieranie Confing.tdf...\n"
                         "Otwieranie powiodło się!\n"
                         "Wczytywanie głośności...\n"
                         "Wczytywanie koloru tła...\n"
                         "Wczytywanie koloru liter...\n"
                         "Wczytano skrót klawiszowy nr 1!\n"
                         "Wczytano skrót klawiszowy nr 2!\n"
                         "Wczytano skrót klawiszowy nr 3!\n"
                         "Wczytano skrót klawiszowy nr 4!\n");
        EXPECT_EQ(err(), "");
    }
}

TEST_F(Config, ColourChecks) {
    struct Case {
        int background, letters;
        std::string warnings;
        int endBackground, endLetters;
    } cases[] = {
        {3, 3, kWarnEqual, 0, 8},
        {20, 20, kWarnEqual, 0, 8},
        {16, 17, "", 16, 17},
        {-1, 7, kWarnBackground, 0, 8},
        {4, 18, kWarnLetters, 4, 8},
        // Compared once more after the range checks: never dark grey on dark grey.
        {8, 40, std::string(kWarnLetters) + kWarnEqual, 0, 8},
        {18, -5, std::string(kWarnBackground), 0, 8},
        {-1, -1, kWarnEqual, 0, 8},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        writeFile("Confing.tdf", "12 " + std::to_string(c.background) + " " +
                                     std::to_string(c.letters) + " 0 0 0 0 ");
        std::size_t warnings = 0;
        for (const char *w : {kWarnEqual, kWarnBackground, kWarnLetters})
            warnings += c.warnings.find(w) != std::string::npos;
        std::vector<testing_support::Key> k(warnings + 1, {'k'});
        keys(k);
        clearOutput();
        InitConfing();
        EXPECT_EQ(err(), c.warnings) << c.background << "/" << c.letters;
        EXPECT_EQ(Konfiguracja[1], c.endBackground) << c.background << "/" << c.letters;
        EXPECT_EQ(Konfiguracja[2], c.endLetters) << c.background << "/" << c.letters;
        EXPECT_EQ(keysLeft(), 1) << "one key wait per warning";
        EXPECT_EQ(Glosnosc, 12) << "the volume is taken unchanged";
    }
}

TEST_F(Config, MissingFileOrFieldsTakeDefaults) {
    struct Case {
        const char *file; // null: no file
        int volume, background, letters;
        std::vector<std::string> slots;
        const char *tail;
    } cases[] = {
        {nullptr, kDomyslnaGlosnosc, 0, 8, {"0", "0", "0", "0"}, "Otwieranie niepowiodło się!\n"},
        {"", kDomyslnaGlosnosc, 0, 8, {"0", "0", "0", "0"}, "skrót klawiszowy nr 4!\n"},
        {"3 1 x a.wav", 3, 1, 8, {"a.wav", "0", "0", "0"}, "skrót klawiszowy nr 4!\n"},
        {"3 2 9 a.wav b.wav", 3, 2, 9, {"a.wav", "b.wav", "0", "0"}, "skrót klawiszowy nr 4!\n"},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        std::filesystem::remove("Confing.tdf");
        if (c.file)
            writeFile("Confing.tdf", c.file);
        clearOutput();
        InitConfing();
        ASSERT_NE(Konfiguracja, nullptr);
        EXPECT_EQ(Glosnosc, c.volume) << c.file;
        EXPECT_EQ(Konfiguracja[1], c.background) << c.file;
        EXPECT_EQ(Konfiguracja[2], c.letters) << c.file;
        EXPECT_EQ(slots(), c.slots) << c.file;
        std::string o = out();
        EXPECT_EQ(o.substr(o.size() - std::string(c.tail).size()), c.tail) << c.file;
    }
    EXPECT_FALSE(exists("Confing.tdf.tmp")) << "loading writes nothing";
}

namespace {
std::string utf8(const char8_t *s) {
    return reinterpret_cast<const char *>(s);
}
} // namespace

// What a file holds after it is loaded and saved again.
TEST_F(Config, LoadedThenSavedBytes) {
    struct Case {
        std::string file, saved;
        int warnings; // key waits
    } cases[] = {
        {"5 8 20 0 0 0 0", "5 0 8 0 0 0 0 ", 2}, // range, then equal again
        {"80 8 69 0 0 0 0", "80 0 8 0 0 0 0 ", 2},
        {"5 x 3 c.wav 0 0 0", "5 0 3 c.wav 0 0 0 ", 1}, // one field's default only
        {"x 1 2 a b c d", "8 1 2 a b c d ", 1},
        {"5 99999999999 7 a b c d", "5 0 7 a b c d ", 1},
        {"5 1 2 a.wav", "5 1 2 a.wav 0 0 0 ", 1}, // cut short: defaults from there
        {"", "8 0 8 0 0 0 0 ", 1},
        {"+5\n\n 0\t7 a b c d trailing", "5 0 7 a b c d ", 0},
        // UTF-8 is read, code page 852 is written ...
        {utf8(u8"5 0 7 gęś.wav 0 0 0"), "5 0 7 g\xa9\x98.wav 0 0 0 ", 0},
        // ... unless those bytes would read back as UTF-8: then the UTF-8 form.
        {utf8(u8"5 0 7 ńść 0 0 0"), utf8(u8"5 0 7 ńść 0 0 0 "), 0},
    };
    for (const Case &c : cases) {
        testing_support::resetState();
        writeFile("Confing.tdf", c.file);
        keys(std::vector<testing_support::Key>(c.warnings + 1, {'k'}));
        InitConfing();
        EXPECT_EQ(keysLeft(), 1) << c.file;
        ASSERT_TRUE(SaveConfing());
        EXPECT_EQ(readFile("Confing.tdf"), c.saved) << c.file;
        // And it reads back as it was saved, without a word.
        std::vector<std::string> before = slots();
        int tlo = Konfiguracja[1], litery = Konfiguracja[2], glosnosc = Glosnosc;
        testing_support::resetState();
        clearOutput();
        InitConfing();
        EXPECT_EQ(err(), "") << c.file;
        EXPECT_EQ(slots(), before) << c.file;
        EXPECT_EQ(std::vector<int>({Glosnosc, Konfiguracja[1], Konfiguracja[2]}),
                  std::vector<int>({glosnosc, tlo, litery}))
            << c.file;
    }
}

TEST_F(Config, FieldMessagesSayWhereAndWhat) {
    writeFile("Confing.tdf", "5\n  x 3\nc.wav");
    keys({{'k'}, {'k'}});
    InitConfing();
    EXPECT_EQ(err(), "Błąd w pliku Confing.tdf, wiersz 2, kolumna 3: kolor tła (\"x\") nie jest "
                     "liczbą całkowitą! Przyjęto wartość domyślną: 0.\n"
                     "Błąd w pliku Confing.tdf, wiersz 3, kolumna 6: brak pola: skrót strzałki w "
                     "lewo (plik kończy się za wcześnie)! To pole i dalsze przyjmą wartości "
                     "domyślne.\n");
    EXPECT_EQ(keysLeft(), 0);
    EXPECT_EQ(slots(), (std::vector<std::string>{"c.wav", "0", "0", "0"}));
}

TEST_F(Config, SaveWritesSevenFieldsEachFollowedByASpace) {
    settings(5, 0, 8);
    EXPECT_TRUE(SaveConfing());
    EXPECT_EQ(readFile("Confing.tdf"), "5 0 8 0 0 0 0 ");
    settings(-3, 15, 14, {"a.wav", "0", "\xa5.wav", "d.wav"});
    EXPECT_TRUE(SaveConfing());
    EXPECT_EQ(readFile("Confing.tdf"), "-3 15 14 a.wav 0 \xa5.wav d.wav ");
    EXPECT_EQ(out(), "") << "a save that works prints nothing";
    // Nothing but the file itself is left in the directory.
    int files = 0;
    for (auto &e : std::filesystem::directory_iterator("."))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(Config, FailedSaveIsReportedAndLeavesNoTemporaryFile) {
    // A directory in the file's place makes the final rename fail, even for root.
    std::filesystem::create_directory("Confing.tdf");
    writeFile("Confing.tdf/keep", "x");
    settings(9, 0, 8);
    EXPECT_FALSE(SaveConfing());
    EXPECT_EQ(out(), "Nie udało się zapisać ustawień w pliku Confing.tdf!\n"
                     "Powód: w miejscu pliku jest katalog.\n");
    EXPECT_EQ(readFile("Confing.tdf/keep"), "x");
    EXPECT_EQ(Glosnosc, 9);
    int entries = 0;
    for (auto &e : std::filesystem::directory_iterator(".")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "the temporary file is removed";
}

// Dotfile managers keep Confing.tdf as a link into their own directory.
TEST_F(Config, SaveThroughASymbolicLinkReplacesTheFileItPointsTo) {
    namespace fs = std::filesystem;
    struct Case {
        std::vector<std::pair<std::string, std::string>> links; // name -> where it points
        std::string target;
        bool exists;
    } cases[] = {
        {{{"Confing.tdf", "dots/Confing.tdf"}}, "dots/Confing.tdf", true},
        {{{"Confing.tdf", (dir / "dots/abs.tdf").string()}}, "dots/abs.tdf", true},
        {{{"Confing.tdf", "dots/hop"}, {"dots/hop", "deeper/real.tdf"}},
         "dots/deeper/real.tdf",
         true},
        {{{"Confing.tdf", "dots/new.tdf"}}, "dots/new.tdf", false}, // dangling: made
    };
    for (const Case &c : cases) {
        fs::remove_all("dots");
        fs::remove("Confing.tdf");
        fs::create_directories("dots/deeper");
        for (const auto &[name, to] : c.links)
            fs::create_symlink(to, name);
        if (c.exists) {
            writeFile(c.target, "1 0 7 0 0 0 0 ");
            fs::permissions(c.target, fs::perms::owner_read | fs::perms::owner_write);
        }
        settings(9, 0, 8);
        ASSERT_TRUE(SaveConfing()) << c.target;
        EXPECT_TRUE(fs::is_symlink("Confing.tdf")) << c.target;
        EXPECT_EQ(readFile(c.target), "9 0 8 0 0 0 0 ") << c.target;
        if (c.exists) {
            EXPECT_EQ(fs::status(c.target).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::owner_write)
                << "the file keeps its mode";
        }
        int files = 0;
        for (auto &e : fs::recursive_directory_iterator("dots"))
            files += e.is_regular_file() && !fs::is_symlink(e.path());
        EXPECT_EQ(files, 1) << "no temporary file is left: " << c.target;
    }
    // A link that loops cannot be saved through, and says why.
    fs::remove("Confing.tdf");
    fs::create_symlink("Confing.tdf", "Confing.tdf");
    clearOutput();
    EXPECT_FALSE(SaveConfing());
    EXPECT_EQ(out(), "Nie udało się zapisać ustawień w pliku Confing.tdf!\n"
                     "Powód: zbyt wiele dowiązań symbolicznych.\n");
}
