// The real program's command line: --help, --version, wrong arguments and
// --demo, each in a working directory and a home of its own.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/e2e.h"

namespace fs = std::filesystem;
using testing_support::Session;
using testing_support::TempDir;

namespace {

const char kMenuEnd[] = "    0. Wyjść\n";

std::string slurp(const fs::path &p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

bool isEmptyDir(const fs::path &p) {
    return fs::is_empty(p);
}

bool sameTerminal(const Session &s) {
    termios now = s.terminal(), before = s.terminalBefore();
    return now.c_lflag == before.c_lflag && now.c_iflag == before.c_iflag;
}

// A working directory and a home, both empty.
struct Place {
    TempDir cwd, home;
    std::map<std::string, std::string> env(const char *lang = "C.UTF-8") const {
        return {{"HOME", home.path().string()}, {"LANG", lang}};
    }
    fs::path demo() const { return home.path() / ".local/share/brzdekomat/demo"; }
};

} // namespace

TEST(CliE2E, HelpIsPolishInTheLocaleCharsetAndTouchesNothing) {
    struct {
        const char *lang;
        std::string usage;
    } cases[] = {
        {"C.UTF-8", "U\xC5\xBC"
                    "ycie: brzdekomat [--demo | --help | --version]\n"},
        {"C", "Uzycie: brzdekomat [--demo | --help | --version]\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lang);
        Place p;
        Session s(p.cwd.path(), p.env(c.lang), false, {"--help"});
        EXPECT_EQ(s.finish(), 0);
        EXPECT_EQ(s.out().rfind(c.usage, 0), 0u) << s.out();
        for (const char *word :
             {"Keys.tdf", "Levels.tdf", "Confing.tdf", "--demo", "--version", "man brzdekomat"})
            EXPECT_NE(s.out().find(word), std::string::npos) << word;
        if (std::string(c.lang) == "C") {
            for (unsigned char ch : s.out())
                ASSERT_LT(ch, 0x80) << "not ASCII: " << s.out();
        }
        EXPECT_EQ(s.err(), "");
        EXPECT_TRUE(isEmptyDir(p.cwd.path()));
        EXPECT_TRUE(isEmptyDir(p.home.path()));
        EXPECT_TRUE(sameTerminal(s));
    }
}

TEST(CliE2E, VersionNamesTheProgramAndTheBuild) {
    Place p;
    Session s(p.cwd.path(), p.env(), false, {"--version"});
    EXPECT_EQ(s.finish(), 0);
    EXPECT_EQ(s.out().rfind(std::string("brzdekomat ") + PROJECT_VERSION, 0), 0u) << s.out();
    EXPECT_EQ(s.err(), "");
    EXPECT_TRUE(isEmptyDir(p.cwd.path()));
    EXPECT_TRUE(isEmptyDir(p.home.path()));
}

TEST(CliE2E, AnyOtherArgumentIsOneLineNamingHelpAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"-h"}, {"--helpx"}, {""}, {"Keys.tdf"}, {"--demo", "--help"}, {"two\nlines"},
    };
    for (const auto &args : cases) {
        SCOPED_TRACE(args[0]);
        Place p;
        p.cwd.write("Keys.tdf", "0\n");
        Session s(p.cwd.path(), p.env(), false, args);
        EXPECT_EQ(s.finish(), 2);
        EXPECT_EQ(s.out(), "");
        ASSERT_FALSE(s.err().empty());
        EXPECT_EQ(s.err().find('\n'), s.err().size() - 1) << s.err();
        EXPECT_NE(s.err().find("brzdekomat --help"), std::string::npos) << s.err();
        EXPECT_FALSE(fs::exists(p.cwd.path() / "Log.txt"));
        EXPECT_TRUE(isEmptyDir(p.home.path()));
        EXPECT_TRUE(sameTerminal(s));
    }
}

TEST(CliE2E, DemoCopiesTheDemoIntoTheHomeAndStartsThere) {
    Place p;
    {
        Session s(p.cwd.path(), p.env(), false, {"--demo"});
        ASSERT_NE(s.waitFor(kMenuEnd), std::string::npos) << s.out() << s.err();
        s.type("0\n");
        EXPECT_EQ(s.finish(), 0);
        // The demo's loading lines: its key map and levels were found.
        EXPECT_NE(s.out().find("Pobrano nazwę pliku: sounds/c4.wav"), std::string::npos);
        EXPECT_EQ(s.out().find("Otwieranie niepowiodło się!"), std::string::npos) << s.out();
    }
    for (const char *f : {"Keys.tdf", "Levels.tdf", "sounds/c4.wav", "sounds/kick.wav"})
        EXPECT_EQ(slurp(p.demo() / f), slurp(fs::path(DEMO_BUILD_DIR) / f)) << f;
    EXPECT_TRUE(fs::exists(p.demo() / "Confing.tdf"));
    EXPECT_TRUE(fs::exists(p.demo() / "Log.txt")) << "the program ran in the demo";
    EXPECT_TRUE(isEmptyDir(p.cwd.path()));

    // The second time the user's settings and songs stay; a lost sound comes back.
    std::ofstream(p.demo() / "Confing.tdf") << "3 1 14 0 0 0 0 ";
    std::ofstream(p.demo() / "moja.tsf") << "Moja 2024 0 ";
    fs::remove(p.demo() / "sounds/c4.wav");
    {
        Session s(p.cwd.path(), p.env(), false, {"--demo"});
        ASSERT_NE(s.waitFor(kMenuEnd), std::string::npos) << s.out() << s.err();
        s.type("0\n");
        EXPECT_EQ(s.finish(), 0);
    }
    EXPECT_EQ(slurp(p.demo() / "Confing.tdf"), "3 1 14 0 0 0 0 ");
    EXPECT_EQ(slurp(p.demo() / "moja.tsf"), "Moja 2024 0 ");
    EXPECT_EQ(slurp(p.demo() / "sounds/c4.wav"), slurp(fs::path(DEMO_BUILD_DIR) / "sounds/c4.wav"));
}

TEST(CliE2E, DemoGoesToXdgDataHomeWhenSet) {
    Place p;
    TempDir data;
    auto env = p.env();
    env["XDG_DATA_HOME"] = data.path().string();
    Session s(p.cwd.path(), env, false, {"--demo"});
    ASSERT_NE(s.waitFor(kMenuEnd), std::string::npos) << s.out() << s.err();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
    EXPECT_TRUE(fs::exists(data.path() / "brzdekomat/demo/Keys.tdf"));
    EXPECT_TRUE(fs::exists(data.path() / "brzdekomat/demo/Log.txt"));
    EXPECT_TRUE(isEmptyDir(p.home.path()));
}

TEST(CliE2E, DemoThatCannotBeCopiedSaysWhyAndStartsNothing) {
    Place p;
    p.home.write("blocker", "a file where a directory should be");
    auto env = p.env();
    env["XDG_DATA_HOME"] = (p.home.path() / "blocker").string();
    Session s(p.cwd.path(), env, false, {"--demo"});
    EXPECT_EQ(s.finish(), 1);
    EXPECT_EQ(s.out(), "");
    EXPECT_EQ(s.err().find('\n'), s.err().size() - 1) << s.err();
    EXPECT_NE(s.err().find((p.home.path() / "blocker").string()), std::string::npos) << s.err();
    EXPECT_TRUE(isEmptyDir(p.cwd.path()));
    EXPECT_TRUE(sameTerminal(s));
}
