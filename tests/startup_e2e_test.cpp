// The real program on a pseudo-terminal: start-up, the main menu and the end.
#include <gtest/gtest.h>
#include <string>

#include "support/e2e.h"
#include "support/harness.h"

using testing_support::Session;
using testing_support::TempDir;

namespace {

const char kMenu[] = "Witaj w Brzdekomat! Co chcesz zrobić? \n"
                     "    1. Pograć na fortepianie\n"
                     "    2. Poszperać w opcjach\n"
                     "    3. Puścić wcześniej ułożoną piosenkę\n"
                     "    4. Wejść do kreatora muzyki.\n"
                     "    0. Wyjść\n";

const char kShutdown[] =
    "Zmienienie strony kodowej! \n"
    "Przygotowanie do wylaczenia programu!!!\n"
    "Trwa usuwanie skladnikow tymczasowych programu! :  mapy klawiszy\n"
    "Trwa usuwanie skladnikow tymczasowych programu! :  nazw poziomow\n"
    "Trwa usuwanie skladnikow tymczasowych programu! :  opisow poziomow\n"
    "Trwa usuwanie skladnikow tymczasowych programu! :  konfiguracji programu\n"
    "Trwa usuwanie skladnikow tymczasowych programu! :  mapy dzwiekow\n"
    "Trwa wlasciwe wylaczanie!\n";

std::string menuScreen() {
    return testing_support::banner() + kMenu;
}

// A working directory with a small key map and no levels or settings files
// unless a test adds them.
struct Demo : TempDir {
    Demo() {
        write("Keys.tdf", "1\nc.wav a 0\n");
        write("Log.txt", "old log\n");
    }
};

bool restored(const Session &s) {
    termios now = s.terminal(), before = s.terminalBefore();
    return now.c_lflag == before.c_lflag && now.c_iflag == before.c_iflag &&
           now.c_cc[VMIN] == before.c_cc[VMIN];
}

} // namespace

TEST(StartupE2E, StartsShowsTheMenuAndEndsOnZero) {
    Demo d;
    Session s(d.path());
    ASSERT_NE(s.waitFor(kMenu), std::string::npos) << s.out();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
    const std::string keys = "Otwieranie pliku Keys.tdf...\n"
                             "Plik Keys.tdf został otwarty z powodzeniem!\n"
                             "Wczytano ilość dźwięków!\n"
                             "Zaalokowano pamięć dla nazw plików ze dźwiękami!\n"
                             "Zaalokowano pamięć dla klawiszy!\n"
                             "Zaalokowano pamięć dla numerów poziomów!\n"
                             "Pobrano nazwę pliku: c.wav nr 1!\n"
                             "Pobrano klawisz nr 1!\n"
                             "Pobrano numer poziomu dla klawisza nr 1!\n"
                             "Klawisze zostały pobrane!\n"
                             "Klawisze zostały przygotowane!\n";
    EXPECT_EQ(s.out(), "Otwieranie Confing.tdf...\nOtwieranie niepowiodło się!\n" + keys +
                           "Otwieranie Levels.tdf...\nOtwieranie niepowiodło się!\n" +
                           menuScreen() + kShutdown);
    EXPECT_EQ(s.err(), "");
    EXPECT_EQ(d.read("Log.txt"), "               LOG Z BRZDEKOMAT\n");
    EXPECT_FALSE(std::filesystem::exists(d.path() / "Confing.tdf")) << "nothing saved at start";
    EXPECT_TRUE(restored(s));
}

TEST(StartupE2E, WrongChoiceWaitsForAKeyThenTheMenuComesBack) {
    Demo d;
    Session s(d.path());
    std::size_t from = s.waitFor(kMenu) + sizeof kMenu - 1;
    s.type("7\n");
    ASSERT_NE(s.waitFor(" Zly wybor!\n", from), std::string::npos);
    s.type("k");
    ASSERT_NE(s.waitFor(kMenu, from), std::string::npos);
    s.type("0x\n"); // only the first character counts
    EXPECT_EQ(s.finish(), 0);
    EXPECT_EQ(s.out().substr(from), std::string(" Zly wybor!\n") + menuScreen() + kShutdown);
    EXPECT_TRUE(restored(s));
}

TEST(StartupE2E, WordsTypedAheadAnswerTheNextMenu) {
    Demo d;
    d.write("Levels.tdf", "1 Pianino Opis");
    Session s(d.path());
    std::size_t from = s.waitFor(kMenu) + sizeof kMenu - 1;
    s.type("5 1\n");
    ASSERT_NE(s.waitFor(" Zly wybor!\n", from), std::string::npos);
    s.type("k");
    // The pending 1 opens piano mode without waiting for a line; it names the
    // sound file that is missing and waits for a key.
    ASSERT_NE(s.waitFor("Nieznaleziono dźwięku c.wav\nNie ma takiego pliku!\n", from), std::string::npos) << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("Opis poziomu: Opis\n", from), std::string::npos) << s.out();
    s.type("\x1b");
    std::size_t back = s.waitFor(kMenu, s.out().find("Opis poziomu: Opis\n", from));
    ASSERT_NE(back, std::string::npos) << s.out();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
}

TEST(StartupE2E, FortyStartsTheMelodyCreator) {
    Demo d;
    Session s(d.path());
    std::size_t first = s.waitFor(kMenu);
    ASSERT_NE(first, std::string::npos);
    s.type("40\n");
    ASSERT_NE(s.waitFor("Witaj w kreatorze", first), std::string::npos) << s.out();
    s.type("\x1b");
    ASSERT_NE(s.waitFor(kMenu, first + sizeof kMenu), std::string::npos);
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
}

TEST(StartupE2E, MissingKeyMapEndsStartUpWithStatusZero) {
    TempDir d;
    Session s(d.path());
    EXPECT_EQ(s.finish(), 0);
    EXPECT_EQ(s.out(), "Otwieranie Confing.tdf...\nOtwieranie niepowiodło się!\n"
                       "Otwieranie pliku Keys.tdf...\n"
                       "Nastapił błąd przy otwieraniu Keys.tdf!\n");
    EXPECT_TRUE(restored(s));
}

TEST(StartupE2E, EndOfInputAtTheMenuEndsNormally) {
    Demo d;
    Session s(d.path());
    std::size_t first = s.waitFor(kMenu);
    ASSERT_NE(first, std::string::npos);
    s.type("\x04"); // Ctrl-D on an empty line: end of input
    EXPECT_EQ(s.finish(), 0);
    EXPECT_EQ(s.out().substr(first + sizeof kMenu - 1), kShutdown);
    EXPECT_TRUE(restored(s));
}

TEST(StartupE2E, SignalsGiveTheTerminalBack) {
    for (const char *key :
         {static_cast<const char *>("\x03"), static_cast<const char *>(nullptr)}) {
        Demo d;
        Session s(d.path());
        ASSERT_NE(s.waitFor(kMenu), std::string::npos);
        if (key)
            s.type(key); // Ctrl-C in raw mode still raises SIGINT
        else
            s.terminate();
        EXPECT_NE(s.finish(), 0);
        EXPECT_TRUE(restored(s)) << (key ? "SIGINT" : "SIGTERM");
    }
}
