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
        {8, 40, kWarnLetters, 8, 8}, // not compared again after the reset
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
        {"3 1 x a.wav", 3, 1, 8, {"0", "0", "0", "0"}, "skrót klawiszowy nr 4!\n"},
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
    EXPECT_EQ(out(), "Nie udało się zapisać ustawień w pliku Confing.tdf!\n");
    EXPECT_EQ(readFile("Confing.tdf/keep"), "x");
    EXPECT_EQ(Glosnosc, 9);
    int entries = 0;
    for (auto &e : std::filesystem::directory_iterator(".")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "the temporary file is removed";
}
