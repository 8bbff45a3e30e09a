// The options menu, the colour and volume screens and the arrow-key shortcuts,
// driven by scripted input and keys.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "settings/options.h"
#include "settings/shortcuts.h"
#include "settings/volume.h"
#include "shell/screen.h"
#include "shell/state.h"
#include "support/harness.h"

using testing_support::banner;
using testing_support::ScreenTest;

namespace {

const std::string kNoFile = "<not written>";

const std::string kOpcje = "Co chcesz zmienić?\n    1. Kolor liter\n    2. Kolor tła\n    3. "
                           "Domyślną głośność\n    4. Skróty klawiszowe\n    0. Wyjscie z Opcji\n";

const std::string kPytanieLitery = " Na jaki kolor chcesz zmienić kolor liter? \n";
const std::string kPytanieTlo = " Na jaki kolor chcesz zmienić kolor tła? \n";
const std::string kListaKolorow = "   1. Czarny\n"
                                  "   2. Ciemnoniebieski\n"
                                  "   3. Ciemnozielony    \n"
                                  "   4. Ciemnoseledynowy\n"
                                  "   5. Ciemnoczerwony\n"
                                  "   6. Ciemnoróżowy \n"
                                  "   7. Brązowy\n"
                                  "   8. Jasnoszary\n"
                                  "   9. Ciemnoszary\n"
                                  "   10. Niebieski\n"
                                  "   11. Zielony\n"
                                  "   12. Seledynowy\n"
                                  "   13. Czerwony\n"
                                  "   14. Różowy\n"
                                  "   15. źółty\n"
                                  "   16. Biały\n"
                                  "   0. Nie chcę zmieniać kolorów.\n";

const std::string kGlos = "Wybierz glośność domyślna:\n"
                          "    1. 10% \n    2. 20% \n    3. 30% \n    4. 40% \n    5. 50% \n"
                          "    6. 60% \n    7. 70% \n    8. 80% \n    9. 90% \n    10. 100% \n";

const std::string kKlawPomoc =
    "Skróty klawiszowe pomagają przy graniu melodii. Dzięki skrótom klawiszowym można\n mieć "
    "dostęp do dźwiękow z każdego pioziomu przy naciśnięciu strzałek.\nOto stan strzałek: \n";
const std::string kKlawMenu = "Co chcesz zrobić?\n    1. Zmienić skrót klawiszowy\n    2. Usunąć "
                              "skrót klawiszowy\n    3. Zagrać dźwięk\n    0. Wyjść\n";

const std::string kZakres = "Zakres został przekroczony!\n";
const std::string kPoziomy = "Wybierz poziom, z którego weźmiesz dźwięk: \n"
                             "    1. Pierwszy\n    2. Drugi\n    3. Trzeci\n";
const std::string kNadpisac = "Chcesz napewno nadpisać skrót?(t/n)\n";

std::string repeat(const std::string &s, int times) {
    std::string r;
    for (int i = 0; i < times; ++i)
        r += s;
    return r;
}

const char *const kLabels[4] = {"w gore", "w lewo", "w dol", "w prawo"};

std::string shown(const std::string &slot) {
    return slot == "0" ? "Brak" : slot;
}

// Skrot's first screen for the given slots.
std::string skrotHead(const std::vector<std::string> &slots) {
    std::string s = banner() + "Ktory skrót chcesz zmienić?\n";
    for (int i = 0; i < 4; ++i)
        s += "    " + std::to_string(i + 1) + ". " + kLabels[i] + " - " + shown(slots[i]) + "\n";
    return s;
}

std::string soundList(const std::vector<std::string> &names) {
    std::string s = "Wykryto " + std::to_string(names.size()) + " dźwięków!\nWybierz dzwiek: \n";
    for (std::size_t k = 0; k < names.size(); ++k)
        s += "    " + std::to_string(k + 1) + ". " + names[k] + "\n";
    return s;
}

class SettingsTest : public ScreenTest {
  protected:
    std::string confing() { return exists("Confing.tdf") ? readFile("Confing.tdf") : kNoFile; }

    // Eight sounds on three levels; sounds 3 and 7 are the ones of level index 1.
    void piano() {
        keyMap({{"do.wav", 'a', 0},
                {"re.wav", 's', 0},
                {"mi.wav", 'd', 1},
                {"fa.wav", 'f', 0},
                {"sol.wav", 'g', 2},
                {"la.wav", 'h', 2},
                {"si.wav", 'j', 1},
                {"do2.wav", 'k', 0}});
        levels({{"Pierwszy", "a"}, {"Drugi", "b"}, {"Trzeci", "c"}});
    }

    std::vector<std::string> slots() const {
        return {Klawiszowe[0], Klawiszowe[1], Klawiszowe[2], Klawiszowe[3]};
    }
};

} // namespace

// --- Colour screens ---------------------------------------------------------

TEST_F(SettingsTest, ColourScreens) {
    const std::string kAsk = "Wprowadzić zmiany teraz?(t/n): \n";
    const std::string kZly = "Zły wybór\n";
    const std::string kRefused = "Zmiany nie zostaną wprowadzone!\n";
    struct Case {
        const char *name;
        bool letters; // KolorL, else KolorT
        int bg, fg;   // before
        std::string in;
        int key; // the one key queued
        std::string tail;
        bool waits; // the key is read
        int bgAfter, fgAfter;
        std::string file;
    } cases[] = {
        {"L 0 leaves", true, 0, 7, "0\n", 't', "", false, 0, 7, kNoFile},
        {"T 0 leaves", false, 0, 7, "0\n", 't', "", false, 0, 7, kNoFile},
        {"L 17", true, 0, 7, "17\n", 't', kZly, true, 0, 7, kNoFile},
        {"T 17", false, 0, 7, "17\n", 't', kZly, true, 0, 7, kNoFile},
        {"L -3", true, 0, 7, "-3\n", 't', kZly, true, 0, 7, kNoFile},
        {"T -3", false, 0, 7, "-3\n", 't', kZly, true, 0, 7, kNoFile},
        {"L not a number", true, 0, 7, "abc\n", 't', kZly, true, 0, 7, kNoFile},
        {"L too big for int", true, 0, 7, "99999999999\n", 't', kZly, true, 0, 7, kNoFile},
        {"L end of input", true, 0, 7, "", 't', "", false, 0, 7, kNoFile},
        {"T end of input", false, 0, 7, "", 't', "", false, 0, 7, kNoFile},
        {"L the background's colour", true, 0, 7, "1\n", 't', kRefused, false, 0, 7, kNoFile},
        {"T the letters' colour", false, 0, 7, "8\n", 't', kRefused, false, 0, 7, kNoFile},
        {"L 16 with T", true, 0, 7, "16\n", 'T', kAsk, true, 0, 15, "5 0 15 0 0 0 0 "},
        {"T 16 with T", false, 0, 7, "16\n", 'T', kAsk, true, 15, 7, "5 15 7 0 0 0 0 "},
        {"T 2 with t", false, 0, 7, "2\n", 't', kAsk, true, 1, 7, "5 1 7 0 0 0 0 "},
        {"L 3 with n saves anyway", true, 0, 7, "3\n", 'n', kAsk, true, 0, 7, "5 0 7 0 0 0 0 "},
        {"T 5 with x saves anyway", false, 4, 9, "5\n", 'x', kAsk, true, 4, 9, "5 4 9 0 0 0 0 "},
        {"L the same colour", true, 0, 7, "8\n", 't', kAsk, true, 0, 7, "5 0 7 0 0 0 0 "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("Confing.tdf");
        clearOutput();
        settings(5, c.bg, c.fg);
        input(c.in);
        keys({{c.key}});
        c.letters ? KolorL() : KolorT();
        EXPECT_EQ(out(),
                  banner() + (c.letters ? kPytanieLitery : kPytanieTlo) + kListaKolorow + c.tail);
        EXPECT_EQ(keysLeft(), c.waits ? 0 : 1);
        EXPECT_EQ(Konfiguracja[1], c.bgAfter);
        EXPECT_EQ(Konfiguracja[2], c.fgAfter);
        EXPECT_EQ(confing(), c.file);
    }
}

// --- Options menu -------------------------------------------------------------

TEST_F(SettingsTest, OptionsMenuCountsTheFirstCharacterOnly) {
    struct Case {
        const char *in;
        std::string out;
    } cases[] = {
        {"1abc\n0\n0\n",
         banner() + kOpcje + banner() + kPytanieLitery + kListaKolorow + banner() + kOpcje},
        {"9\nx\n0\n", repeat(banner() + kOpcje, 3)},
        {"0zzz\n", banner() + kOpcje},
        {"", banner() + kOpcje},
        {"1\n", banner() + kOpcje + banner() + kPytanieLitery + kListaKolorow + banner() + kOpcje},
        {"2\n", banner() + kOpcje + banner() + kPytanieTlo + kListaKolorow + banner() + kOpcje},
        {"3\n", banner() + kOpcje + banner() + kGlos + banner() + kOpcje},
        {"4\n", banner() + kOpcje + banner() + kKlawPomoc +
                    "Skrót nr 1: Strzałka w gore:  Brak!\nSkrót nr 2: Strzałka w lewo:  Brak!\n"
                    "Skrót nr 3: Strzałka w dol:  Brak!\nSkrót nr 4: Strzałka w prawo:  Brak!\n" +
                    kKlawMenu + banner() + kOpcje},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        clearOutput();
        input(c.in);
        keys({});
        Opcje();
        EXPECT_EQ(out(), c.out);
        EXPECT_EQ(keysPastEnd(), 0);
        EXPECT_EQ(confing(), kNoFile);
    }
}

TEST_F(SettingsTest, OptionsMenuRedrawsInTheNewLetterColour) {
    input("1\n16\n0\n");
    keys({{'T'}});
    Opcje();
    EXPECT_EQ(out(), banner() + kOpcje + banner() + kPytanieLitery + kListaKolorow +
                         "Wprowadzić zmiany teraz?(t/n): \n" + banner() + kOpcje);
    EXPECT_EQ(Konfiguracja[2], 15);
    EXPECT_EQ(currentAttribute(), 0 * 16 + 15);
    EXPECT_EQ(confing(), "5 0 15 0 0 0 0 ");
}

// --- Volume -------------------------------------------------------------------

TEST_F(SettingsTest, Volume) {
    const std::string kSet = "Glośność została ustawiona!\n";
    struct Case {
        const char *in;
        int draws;
        bool set; // the volume was set: message, save and key wait
        int volume;
        std::string file;
    } cases[] = {
        {"5\n", 1, true, 5, "5 2 14 0 0 0 0 "},
        {"10\n", 1, true, 10, "10 2 14 0 0 0 0 "},
        {"0\n", 1, true, 0, "0 2 14 0 0 0 0 "},
        {"11\n5\n", 2, true, 5, "5 2 14 0 0 0 0 "},
        {"-1\n0\n", 2, true, 0, "0 2 14 0 0 0 0 "},
        {"100\n8\n", 2, true, 8, "8 2 14 0 0 0 0 "},
        // The rest of a line that held no number is dropped with it.
        {"abc 7\n6\n", 2, true, 6, "6 2 14 0 0 0 0 "},
        {"7x\n", 1, true, 7, "7 2 14 0 0 0 0 "},
        {"", 1, false, 3, kNoFile},
        {"11\n", 2, false, 3, kNoFile},
        {"word\n", 2, false, 3, kNoFile},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        std::filesystem::remove("Confing.tdf");
        clearOutput();
        settings(3, 2, 14);
        input(c.in);
        keys({{'q'}});
        Glos();
        EXPECT_EQ(out(), repeat(banner() + kGlos, c.draws) + (c.set ? kSet : ""));
        EXPECT_EQ(Glosnosc, c.volume);
        EXPECT_EQ(keysLeft(), c.set ? 0 : 1);
        EXPECT_EQ(confing(), c.file);
    }
}

TEST_F(SettingsTest, FailedSaveIsReportedAndTheVolumeStays) {
    std::filesystem::create_directory("Confing.tdf");
    writeFile("Confing.tdf/keep", "x");
    input("4\n");
    keys({{'q'}});
    Glos();
    EXPECT_EQ(out(), banner() + kGlos + "Glośność została ustawiona!\n" +
                         "Nie udało się zapisać ustawień w pliku Confing.tdf!\n"
                         "Powód: w miejscu pliku jest katalog.\n");
    EXPECT_EQ(Glosnosc, 4);
    EXPECT_EQ(keysLeft(), 0);
}

// Screens that return at once after their save wait for a key when it fails,
// so that the next screen does not clear the message away unread.
TEST_F(SettingsTest, FailedSaveWaitsForAKeyBeforeTheScreenGoes) {
    struct Case {
        const char *name;
        void (*screen)();
        const char *typed;
        std::vector<testing_support::Key> keys;
    } cases[] = {
        {"KolorL", KolorL, "16\n", {{'t'}, {'k'}}},
        {"KolorT", KolorT, "2\n", {{'n'}, {'k'}}},
        {"Skrot", Skrot, "1\n1\n1\n", {{'k'}}},
        {"SkrotUsun", SkrotUsun, "3\n", {{'k'}}},
    };
    std::filesystem::create_directory("Confing.tdf");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        levels({{"Pierwszy", "p"}});
        keyMap({{"a.wav", 'a', 0}});
        settings(5, 0, 7);
        input(c.typed);
        keys(c.keys);
        clearOutput();
        c.screen();
        EXPECT_NE(out().find("Nie udało się zapisać ustawień w pliku Confing.tdf!\n"),
                  std::string::npos);
        EXPECT_EQ(keysLeft(), 0);
        EXPECT_EQ(keysPastEnd(), 0);
        testing_support::resetState();
    }
}

// --- Shortcut overview --------------------------------------------------------

TEST_F(SettingsTest, ShortcutOverview) {
    piano();
    settings(5, 0, 7, {"0", "si.wav", "0", "0"});
    input("0\n");
    Klaw();
    EXPECT_EQ(out(), banner() +
                         "Skróty klawiszowe pomagają przy graniu melodii. Dzięki skrótom "
                         "klawiszowym można\n mieć dostęp do dźwiękow z każdego pioziomu przy "
                         "naciśnięciu strzałek.\nOto stan strzałek: \n"
                         "Skrót nr 1: Strzałka w gore:  Brak!\n"
                         "Skrót nr 2: Strzałka w lewo: Dźwięk: si.wav!\n"
                         "Skrót nr 3: Strzałka w dol:  Brak!\n"
                         "Skrót nr 4: Strzałka w prawo:  Brak!\n"
                         "Co chcesz zrobić?\n    1. Zmienić skrót klawiszowy\n    2. Usunąć skrót "
                         "klawiszowy\n    3. Zagrać dźwięk\n    0. Wyjść\n");
    EXPECT_EQ(confing(), kNoFile);
}

TEST_F(SettingsTest, ShortcutMenuRunsItsScreensAndShowsTheNewState) {
    const std::string kBound = "Skrót nr 1: Strzałka w gore: Dźwięk: do.wav!\n"
                               "Skrót nr 2: Strzałka w lewo: Dźwięk: si.wav!\n"
                               "Skrót nr 3: Strzałka w dol: Dźwięk: la.wav!\n"
                               "Skrót nr 4: Strzałka w prawo:  Brak!\n";
    const std::string kCleared = "Skrót nr 1: Strzałka w gore: Dźwięk: do.wav!\n"
                                 "Skrót nr 2: Strzałka w lewo: Dźwięk: si.wav!\n"
                                 "Skrót nr 3: Strzałka w dol:  Brak!\n"
                                 "Skrót nr 4: Strzałka w prawo:  Brak!\n";
    piano();
    settings(5, 0, 7, {"do.wav", "0", "la.wav", "0"});
    // Bind slot 2 ("1" with a long word), clear slot 3, a wrong word, then leave.
    input("1zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz\n2\n2\n2\n2x\n3\n9\n0\n");
    Klaw();
    const std::string start = banner() + kKlawPomoc;
    const std::string out = this->out();
    const std::string expectedEnd = start + kCleared + kKlawMenu + start + kCleared + kKlawMenu;
    ASSERT_GE(out.size(), expectedEnd.size());
    EXPECT_EQ(out.substr(out.size() - expectedEnd.size()), expectedEnd);
    EXPECT_NE(out.find(start + kBound + kKlawMenu), std::string::npos);
    EXPECT_EQ(slots(), (std::vector<std::string>{"do.wav", "si.wav", "0", "0"}));
    EXPECT_EQ(confing(), "5 0 7 do.wav si.wav 0 0 ");
    EXPECT_EQ(keysPastEnd(), 0);
}

TEST_F(SettingsTest, ShortcutMenuEntryThreeRunsTheSoundTest) {
    piano();
    input("3\n0\n0\n");
    Klaw();
    const std::string overview = banner() + kKlawPomoc +
                                 "Skrót nr 1: Strzałka w gore:  Brak!\n"
                                 "Skrót nr 2: Strzałka w lewo:  Brak!\n"
                                 "Skrót nr 3: Strzałka w dol:  Brak!\n"
                                 "Skrót nr 4: Strzałka w prawo:  Brak!\n" +
                                 kKlawMenu;
    const std::string out = this->out();
    const std::string soundTest = banner() + "Który dźwięk chcesz zagrać: \n";
    ASSERT_EQ(out.rfind(overview, 0), 0u);
    EXPECT_EQ(out.find(soundTest), overview.size());
    ASSERT_GE(out.size(), 2 * overview.size());
    EXPECT_EQ(out.substr(out.size() - overview.size()), overview);
    EXPECT_EQ(confing(), kNoFile);
}

TEST_F(SettingsTest, ShortcutMenuLeavesAtEndOfInput) {
    for (const char *in : {"", "x\n"}) {
        SCOPED_TRACE(in);
        clearOutput();
        input(in);
        Klaw();
        const std::string screen = banner() + kKlawPomoc +
                                   "Skrót nr 1: Strzałka w gore:  Brak!\n"
                                   "Skrót nr 2: Strzałka w lewo:  Brak!\n"
                                   "Skrót nr 3: Strzałka w dol:  Brak!\n"
                                   "Skrót nr 4: Strzałka w prawo:  Brak!\n" +
                                   kKlawMenu;
        EXPECT_EQ(out(), repeat(screen, in[0] ? 2 : 1));
    }
}

// --- Binding a sound ------------------------------------------------------------

TEST_F(SettingsTest, BindSlotTwoFromLevelTwo) {
    piano();
    input("2\n2\n2\n");
    Skrot();
    EXPECT_EQ(out(), banner() +
                         "Ktory skrót chcesz zmienić?\n"
                         "    1. w gore - Brak\n    2. w lewo - Brak\n"
                         "    3. w dol - Brak\n    4. w prawo - Brak\n"
                         "Wybierz poziom, z którego weźmiesz dźwięk: \n"
                         "    1. Pierwszy\n    2. Drugi\n    3. Trzeci\n"
                         "Wykryto 2 dźwięków!\nWybierz dzwiek: \n    1. mi.wav\n    2. si.wav\n");
    EXPECT_EQ(slots(), (std::vector<std::string>{"0", "si.wav", "0", "0"}));
    EXPECT_EQ(confing(), "5 0 7 0 si.wav 0 0 ");
    EXPECT_EQ(keysPastEnd(), 0);
}

TEST_F(SettingsTest, BindCases) {
    const std::vector<std::string> kEmpty = {"0", "0", "0", "0"};
    const std::vector<std::string> kBound = {"re.wav", "la.wav", "0", "fa.wav"};
    const std::string kLevel2 = soundList({"mi.wav", "si.wav"});
    const std::string kNone = soundList({});
    struct Case {
        const char *name;
        std::vector<std::string> before;
        std::string in;
        std::string tail; // after the slot list
        bool waits;
        std::vector<std::string> after;
        std::string file;
    } cases[] = {
        {"slot 5", kEmpty, "5\n", kZakres, true, kEmpty, kNoFile},
        {"slot 0", kEmpty, "0\n", kZakres, true, kEmpty, kNoFile},
        {"slot -1", kEmpty, "-1\n", kZakres, true, kEmpty, kNoFile},
        {"slot not a number", kEmpty, "w\n", kZakres, true, kEmpty, kNoFile},
        {"overwrite refused with N", kBound, "2\nN\n", kNadpisac, false, kBound, kNoFile},
        {"overwrite refused with n", kBound, "4 n\n", kNadpisac, false, kBound, kNoFile},
        {"overwrite with t", kBound, "2\nt\n3\n1\n",
         kNadpisac + kPoziomy + soundList({"sol.wav", "la.wav"}), false,
         std::vector<std::string>{"re.wav", "sol.wav", "0", "fa.wav"},
         "5 0 7 re.wav sol.wav 0 fa.wav "},
        {"overwrite with any other character", kBound, "1 x 1 4\n",
         kNadpisac + kPoziomy + soundList({"do.wav", "re.wav", "fa.wav", "do2.wav"}), false,
         std::vector<std::string>{"do2.wav", "la.wav", "0", "fa.wav"},
         "5 0 7 do2.wav la.wav 0 fa.wav "},
        {"empty slot asks nothing", kBound, "3\n2\n1\n", kPoziomy + kLevel2, false,
         std::vector<std::string>{"re.wav", "la.wav", "mi.wav", "fa.wav"},
         "5 0 7 re.wav la.wav mi.wav fa.wav "},
        {"sound 3 of two", kBound, "3\n2\n3\n", kPoziomy + kLevel2 + kZakres, true, kBound,
         kNoFile},
        {"sound 0", kBound, "3\n2\n0\n", kPoziomy + kLevel2 + kZakres, true, kBound, kNoFile},
        {"sound not a number", kBound, "3\n2\nmi\n", kPoziomy + kLevel2 + kZakres, true, kBound,
         kNoFile},
        {"level beyond the levels", kEmpty, "1\n9\n1\n", kPoziomy + kNone + kZakres, true, kEmpty,
         kNoFile},
        {"level 0", kEmpty, "1\n0\n1\n", kPoziomy + kNone + kZakres, true, kEmpty, kNoFile},
        {"lowest level number", kEmpty, "1\n-2147483648\n1\n", kPoziomy + kNone + kZakres, true,
         kEmpty, kNoFile},
        {"level not a number", kEmpty, "1\nDrugi\n", kPoziomy + kZakres, true, kEmpty, kNoFile},
        {"end at the slot", kBound, "", "", false, kBound, kNoFile},
        {"end at the question", kBound, "2\n", kNadpisac, false, kBound, kNoFile},
        {"end at the level", kBound, "3\n", kPoziomy, false, kBound, kNoFile},
        {"end at the sound", kBound, "3\n2\n", kPoziomy + kLevel2, false, kBound, kNoFile},
    };
    piano();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("Confing.tdf");
        clearOutput();
        settings(5, 0, 7, c.before);
        input(c.in);
        keys({{'q'}});
        Skrot();
        EXPECT_EQ(out(), skrotHead(c.before) + c.tail);
        EXPECT_EQ(keysLeft(), c.waits ? 0 : 1);
        EXPECT_EQ(slots(), c.after);
        EXPECT_EQ(confing(), c.file);
    }
}

// --- Clearing a slot --------------------------------------------------------------

TEST_F(SettingsTest, ClearScreenText) {
    settings(5, 0, 7, {"do.wav", "0", "si.wav", "la.wav"});
    input("3\n");
    SkrotUsun();
    EXPECT_EQ(out(), banner() + "Który dźwięk chcesz usunąć: \n"
                                "    1. Strzałka w gore - do.wav\n    2. Strzałka w lewo - Brak\n"
                                "    3. Strzałka w dol - si.wav\n    4. Strzałka w prawo - la.wav\n"
                                "    0. Wyjście\n");
    EXPECT_EQ(confing(), "5 0 7 do.wav 0 0 la.wav ");
}

TEST_F(SettingsTest, ClearCases) {
    const std::vector<std::string> kBound = {"do.wav", "0", "si.wav", "la.wav"};
    struct Case {
        const char *in;
        std::string tail;
        std::vector<std::string> after;
        std::string file;
    } cases[] = {
        {"0\n", "", kBound, kNoFile},
        {"3\n", "", {"do.wav", "0", "0", "la.wav"}, "5 0 7 do.wav 0 0 la.wav "},
        {"4\n", "", {"do.wav", "0", "si.wav", "0"}, "5 0 7 do.wav 0 si.wav 0 "},
        {"2\n", "", kBound, "5 0 7 do.wav 0 si.wav la.wav "}, // already empty: saved again
        {"9\n", kZakres, kBound, kNoFile},
        {"-1\n", kZakres, kBound, kNoFile},
        {"abc\n", "", kBound, kNoFile}, // no number counts as 0
        {"", "", kBound, kNoFile},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        std::filesystem::remove("Confing.tdf");
        clearOutput();
        settings(5, 0, 7, kBound);
        input(c.in);
        keys({{'q'}});
        SkrotUsun();
        const std::string out = this->out();
        const std::string list = "    0. Wyjście\n";
        const auto listEnd = out.find(list);
        ASSERT_NE(listEnd, std::string::npos);
        EXPECT_EQ(out.substr(listEnd + list.size()), c.tail);
        EXPECT_EQ(keysLeft(), 1); // never waits for a key
        EXPECT_EQ(slots(), c.after);
        EXPECT_EQ(confing(), c.file);
    }
}
