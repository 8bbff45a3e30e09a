// The command line's parts: the arguments, the charset of --help, where the
// demo is found and how it is copied.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shell/cli.h"
#include "support/e2e.h"

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

std::string slurp(const fs::path &p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void put(const fs::path &p, const std::string &content) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

// A demo as the build or the install lays it out.
void makeDemo(const fs::path &dir) {
    put(dir / "Keys.tdf", "1 sounds/c.wav a 0\n");
    put(dir / "Levels.tdf", "1 A B\n");
    put(dir / "Confing.tdf", "8 0 7 0 0 0 0 ");
    put(dir / "sounds" / "c.wav", "RIFF c");
    put(dir / "sounds" / "drums" / "kick.wav", "RIFF kick");
    put(dir / "sounds" / ".made", "");
}

} // namespace

TEST(CliParse, OnlyTheThreeOptionsAloneAreAccepted) {
    using cli::Action;
    struct {
        std::vector<std::string> args;
        Action want;
    } cases[] = {
        {{}, Action::Start},
        {{"--help"}, Action::Help},
        {{"--version"}, Action::Version},
        {{"--demo"}, Action::Demo},
        {{"-h"}, Action::Wrong},
        {{"--hel"}, Action::Wrong},
        {{"--HELP"}, Action::Wrong},
        {{""}, Action::Wrong},
        {{"Keys.tdf"}, Action::Wrong},
        {{"--help", "--version"}, Action::Wrong},
        {{"--demo", "x"}, Action::Wrong},
    };
    for (const auto &c : cases) {
        std::string joined;
        for (const auto &a : c.args)
            joined += "[" + a + "]";
        EXPECT_EQ(cli::parse(c.args), c.want) << joined;
    }
}

TEST(CliCharset, Cp852BecomesTheLocaleCharset) {
    const std::string text = "Użycie: łąka"; // code page 852 bytes
    ASSERT_EQ(text.substr(1, 1), "\xBE");    // ż in code page 852
    struct {
        const char *codeset;
        std::string want;
    } cases[] = {
        {"UTF-8", "U\xC5\xBC"
                  "ycie: \xC5\x82\xC4\x85ka"},
        {"ISO-8859-2", "U\xBF"
                       "ycie: \xB3\xB1ka"},
        {"CP852", text},
        {"ANSI_X3.4-1968", "Uzycie: laka"},  // the C locale: transliterated
        {"no-such-charset", "Uzycie: laka"}, // unknown to iconv: ASCII
    };
    for (const auto &c : cases)
        EXPECT_EQ(cli::toCharset(text, c.codeset), c.want) << c.codeset;
}

TEST(CliCharset, ALetterWithNoLikenessBecomesAQuestionMark) {
    // ▓ (178) has no ASCII likeness; the text around it survives.
    EXPECT_EQ(cli::toCharset("a\xB2"
                             "b",
                             "ANSI_X3.4-1968"),
              "a?b");
}

TEST(CliDemo, TheUserCopyFollowsXdgDataHomeOrHome) {
    struct {
        const char *xdg;
        std::string home;
        fs::path want;
    } cases[] = {
        {"/data", "/home/u", "/data/brzdekomat/demo"},
        {nullptr, "/home/u", "/home/u/.local/share/brzdekomat/demo"},
        {"", "/home/u", "/home/u/.local/share/brzdekomat/demo"},
        {"relative/dir", "/home/u", "/home/u/.local/share/brzdekomat/demo"},
        {"/data", "", "/data/brzdekomat/demo"},
        {nullptr, "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cli::userDemoDir(c.xdg, c.home), c.want)
            << (c.xdg ? c.xdg : "(unset)") << " " << c.home;
}

TEST(CliDemo, TheInstalledDemoComesFirstThenTheBuildTrees) {
    TempDir t;
    const fs::path exe = t.path() / "bin" / "brzdekomat";
    std::vector<fs::path> where = cli::demoCandidates(exe);
    ASSERT_EQ(where.size(), 2u);
    EXPECT_EQ(where[0], t.path() / "share" / "brzdekomat" / "demo");
    EXPECT_EQ(where[1], t.path() / "bin" / "demo");

    EXPECT_FALSE(cli::findDemo(exe));
    fs::create_directories(where[0]); // a directory without Keys.tdf is no demo
    EXPECT_FALSE(cli::findDemo(exe));
    makeDemo(where[1]);
    EXPECT_EQ(cli::findDemo(exe), where[1]);
    makeDemo(where[0]);
    EXPECT_EQ(cli::findDemo(exe), where[0]);
}

TEST(CliDemo, CopiesEverythingIntoANewDirectory) {
    TempDir t;
    makeDemo(t.path() / "src");
    const fs::path dst = t.path() / "home" / "demo";
    ASSERT_FALSE(cli::copyDemo(t.path() / "src", dst));
    for (const char *f :
         {"Keys.tdf", "Levels.tdf", "Confing.tdf", "sounds/c.wav", "sounds/drums/kick.wav"})
        EXPECT_EQ(slurp(dst / f), slurp(t.path() / "src" / f)) << f;
    EXPECT_FALSE(fs::exists(dst / "sounds" / ".made"));
    std::vector<fs::path> parts;
    for (auto &e : fs::recursive_directory_iterator(dst))
        if (e.path().extension() == ".part")
            parts.push_back(e.path());
    EXPECT_TRUE(parts.empty());
}

TEST(CliDemo, AnExistingCopyKeepsTheUsersFilesAndGetsWhatItLacks) {
    TempDir t;
    makeDemo(t.path() / "src");
    const fs::path dst = t.path() / "demo";
    put(dst / "Confing.tdf", "3 1 14 sounds/c.wav 0 0 0 ");
    put(dst / "Keys.tdf", "2 mine.wav m 0 sounds/c.wav a 0\n");
    put(dst / "piosenka.tsf", "Moja 2024 0 ");
    put(dst / "sounds" / "c.wav", "my own c");
    ASSERT_FALSE(cli::copyDemo(t.path() / "src", dst));
    EXPECT_EQ(slurp(dst / "Confing.tdf"), "3 1 14 sounds/c.wav 0 0 0 ");
    EXPECT_EQ(slurp(dst / "Keys.tdf"), "2 mine.wav m 0 sounds/c.wav a 0\n");
    EXPECT_EQ(slurp(dst / "piosenka.tsf"), "Moja 2024 0 ");
    EXPECT_EQ(slurp(dst / "sounds" / "c.wav"), "my own c");
    EXPECT_EQ(slurp(dst / "Levels.tdf"), "1 A B\n");
    EXPECT_EQ(slurp(dst / "sounds" / "drums" / "kick.wav"), "RIFF kick");
}

TEST(CliDemo, ACopyThatCannotBeMadeSaysWhereAndWhy) {
    TempDir t;
    makeDemo(t.path() / "src");
    put(t.path() / "file", "not a directory");
    auto failure = cli::copyDemo(t.path() / "src", t.path() / "file" / "demo");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->path, t.path() / "file" / "demo");
    EXPECT_FALSE(failure->reason.empty());
    EXPECT_FALSE(failure->what.empty());
}
