// The real program with its standard output on a pseudo-terminal: what a
// terminal gets under different TERM, NO_COLOR and locales.
#include <clocale>
#include <gtest/gtest.h>
#include <string>

#include "platform/terminfo.h"
#include "support/e2e.h"

using testing_support::Session;
using testing_support::TempDir;

namespace {

struct Demo : TempDir {
    Demo() {
        write("Keys.tdf", "1\nc.wav a 0\n");
        write("Levels.tdf", "1 P opis");
        write("Confing.tdf", "5 1 14 0 0 0 0 ");
    }
};

// Runs to the menu, then ends the program with 0.
std::string runToExit(std::map<std::string, std::string> env, const std::string &menuText) {
    Demo d;
    Session s(d.path(), std::move(env), true);
    EXPECT_NE(s.waitFor(menuText), std::string::npos) << s.out();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
    return s.out();
}

bool localeExists(const char *name) {
    std::string old = std::setlocale(LC_ALL, nullptr);
    bool ok = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, old.c_str());
    return ok;
}

const char kShutdownEnd[] = "Trwa wlasciwe wylaczanie!\r\n";

} // namespace

TEST(TerminalE2E, DumbTerminalGetsNoEscapeSequence) {
    for (const char *term : {"dumb", "no-such-terminal"}) {
        std::string out = runToExit({{"TERM", term}, {"LANG", "C.UTF-8"}},
                                    "    1. Pogra\xc4\x87 na fortepianie\r\n");
        EXPECT_EQ(out.find('\x1b'), std::string::npos) << term << ": " << out;
        EXPECT_NE(out.find(kShutdownEnd), std::string::npos) << term;
    }
}

TEST(TerminalE2E, NoColorKeepsEverythingButTheColours) {
    const platform::TerminalCaps xterm = platform::loadTerminalCaps("xterm-256color", true);
    const std::string yellowOnBlue = platform::attributeSequence(xterm, 1 * 16 + 14);
    ASSERT_FALSE(yellowOnBlue.empty());
    std::string coloured =
        runToExit({{"TERM", "xterm-256color"}, {"LANG", "C.UTF-8"}}, "Wyj\xc5\x9b\xc4\x87\r\n");
    EXPECT_NE(coloured.find(yellowOnBlue + xterm.clear), std::string::npos);
    std::string plain =
        runToExit({{"TERM", "xterm-256color"}, {"LANG", "C.UTF-8"}, {"NO_COLOR", "1"}},
                  "Wyj\xc5\x9b\xc4\x87\r\n");
    EXPECT_NE(plain.find(xterm.enterAlt + xterm.clear), std::string::npos) << plain;
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(plain.find(xterm.fg[c]), std::string::npos) << "letter colour " << c;
        EXPECT_EQ(plain.find(xterm.bg[c]), std::string::npos) << "background " << c;
    }
}

// The program runs on the alternate screen and never erases the scrollback;
// the shutdown lines come after the user's screen is back, so they stay.
TEST(TerminalE2E, UsersScreenAndScrollbackAreKept) {
    const platform::TerminalCaps xterm = platform::loadTerminalCaps("xterm-256color", true);
    const char *locale = "pl_PL.ISO-8859-2";
    ASSERT_TRUE(localeExists(locale)) << locale << " is missing: run tools/install-deps";
    std::string out = runToExit({{"TERM", "xterm-256color"}, {"LANG", locale}},
                                "    1. Pogra\xe6 na fortepianie\r\n");
    EXPECT_EQ(out.find("\x1b[3J"), std::string::npos) << "the scrollback is never erased";
    std::size_t enter = out.find(xterm.enterAlt), firstClear = out.find(xterm.clear);
    std::size_t leave = out.rfind(xterm.leaveAlt), lastClear = out.rfind(xterm.clear);
    std::size_t shutdown = out.find("Zmienienie strony kodowej! \r\n");
    ASSERT_NE(enter, std::string::npos);
    ASSERT_NE(leave, std::string::npos);
    EXPECT_LT(enter, firstClear);
    EXPECT_LT(lastClear, leave);
    EXPECT_LT(leave, shutdown);
    EXPECT_EQ(out.find(xterm.enterAlt, enter + 1), std::string::npos) << "entered once";
    // ISO-8859-2 has every Polish letter: no warning, the letters as its bytes.
    EXPECT_EQ(out.find("Wystapil blad"), std::string::npos);
    EXPECT_NE(out.find("    3. Pu\xb6"
                       "ci\xe6 wcze\xb6niej u\xb3o\xbfon\xb1 piosenk\xea\r\n"),
              std::string::npos);
    EXPECT_NE(out.find(kShutdownEnd, shutdown), std::string::npos);
}

TEST(TerminalE2E, SignalLeavesTheAlternateScreen) {
    const platform::TerminalCaps xterm = platform::loadTerminalCaps("xterm-256color", true);
    Demo d;
    Session s(d.path(), {{"TERM", "xterm-256color"}, {"LANG", "C.UTF-8"}}, true);
    ASSERT_NE(s.waitFor("Wyj\xc5\x9b\xc4\x87\r\n"), std::string::npos) << s.out();
    s.terminate();
    s.finish();
    const std::string &out = s.out();
    const std::string ending = xterm.resetAttrs + xterm.leaveAlt;
    ASSERT_GE(out.size(), ending.size());
    EXPECT_EQ(out.substr(out.size() - ending.size()), ending);
    EXPECT_EQ(s.terminal().c_lflag & (ICANON | ECHO), s.terminalBefore().c_lflag & (ICANON | ECHO));
}

// An ASCII locale: Polish letters by their base letters, and the code page
// switch warns and waits for a key, as a console without them would.
TEST(TerminalE2E, AsciiLocaleTransliteratesAndWarns) {
    Demo d;
    Session s(d.path(), {{"TERM", "xterm-256color"}, {"LANG", "C"}}, true);
    ASSERT_NE(s.waitFor("Wystapil blad przy zmianie strony kodowej! Zamiast polskich znakow beda "
                        "krzaczki\r\n!\r\n"),
              std::string::npos)
        << s.out();
    s.type("k");
    ASSERT_NE(
        s.waitFor("Witaj w Brzdekomat! Co chcesz zrobic? \r\n    1. Pograc na fortepianie\r\n"
                  "    2. Poszperac w opcjach\r\n    3. Puscic wczesniej ulozona piosenke\r\n"),
        std::string::npos)
        << s.out();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
    for (unsigned char c : s.out())
        EXPECT_LT(c, 128) << "an ASCII terminal gets ASCII only";
}

// A name typed at an ISO-8859-2 terminal reaches the program as code page 852
// and the file system in ISO-8859-2 again.
TEST(TerminalE2E, TypedNameFindsTheSongInTheLocalesEncoding) {
    const char *locale = "pl_PL.ISO-8859-2";
    ASSERT_TRUE(localeExists(locale)) << locale << " is missing: run tools/install-deps";
    Demo d;
    d.write("g\xea\xb6.tsf", "Piosenka 2020 0 "); // gęś.tsf in ISO-8859-2
    Session s(d.path(), {{"LANG", locale}});
    ASSERT_NE(s.waitFor("    0. Wyjść\n"), std::string::npos) << s.out();
    s.type("3\n");
    ASSERT_NE(s.waitFor("Podaj nazwę pliku: "), std::string::npos) << s.out();
    s.type("g\xea\xb6\n");
    ASSERT_NE(s.waitFor("Naciśnij dowolny przycisk aby zagrać utwór pt. Piosenka!\n"),
              std::string::npos)
        << s.out();
    s.type("k");
    ASSERT_NE(s.waitFor("Koniec!\n"), std::string::npos) << s.out();
    s.type("k");
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
}

// The fatal end of start-up comes before the first screen: its message is on
// the user's own screen, which the program never left, and stays there.
TEST(TerminalE2E, FatalStartUpMessageStaysOnTheUsersScreen) {
    const platform::TerminalCaps xterm = platform::loadTerminalCaps("xterm-256color", true);
    TempDir d; // no Keys.tdf
    Session s(d.path(), {{"TERM", "xterm-256color"}, {"LANG", "C.UTF-8"}}, true);
    EXPECT_EQ(s.finish(), 0);
    EXPECT_NE(s.out().find("Nastapi\xc5\x82 b\xc5\x82\xc4\x85"
                           "d przy otwieraniu Keys.tdf!\r\n"),
              std::string::npos)
        << s.out();
    EXPECT_EQ(s.out().find(xterm.enterAlt), std::string::npos);
    EXPECT_EQ(s.out().find(xterm.clear), std::string::npos);
    EXPECT_EQ(s.terminal().c_lflag & (ICANON | ECHO), s.terminalBefore().c_lflag & (ICANON | ECHO));
}
