// cmake --install into a temporary prefix: what lands where, and that the
// installed program finds its installed demo.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "support/e2e.h"

namespace fs = std::filesystem;
using testing_support::Session;
using testing_support::TempDir;

namespace {

std::string slurp(const fs::path &p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Every sound file the demo names: the key map's and the arrow slots'.
std::set<std::string> demoSounds() {
    std::set<std::string> names;
    std::istringstream keys(slurp(fs::path(DEMO_SOURCE_DIR) / "Keys.tdf"));
    int n = 0;
    keys >> n;
    for (int i = 0; i < n; ++i) {
        std::string file, level;
        char key;
        keys >> file >> key >> level;
        names.insert(file);
    }
    std::istringstream config(slurp(fs::path(DEMO_SOURCE_DIR) / "Confing.tdf"));
    std::string field;
    for (int i = 0; config >> field; ++i)
        if (i >= 3 && i < 7 && field != "0")
            names.insert(field);
    return names;
}

struct Installed : TempDir {
    Installed() {
        std::string cmd = std::string("'") + CMAKE_COMMAND + "' --install '" + BUILD_DIR +
                          "' --prefix '" + path().string() + "' > '" +
                          (path() / "install.log").string() + "' 2>&1";
        status = std::system(cmd.c_str());
    }
    int status;
};

} // namespace

TEST(Install, PutsTheProgramDemoManPageAndDocumentsInPlace) {
    Installed p;
    ASSERT_EQ(p.status, 0) << p.read("install.log");
    const fs::path bin = p.path() / "bin/brzdekomat";
    struct stat st {};
    ASSERT_EQ(stat(bin.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXOTH);

    const fs::path demo = p.path() / "share/brzdekomat/demo";
    for (const char *f : {"Keys.tdf", "Levels.tdf", "Confing.tdf"})
        EXPECT_EQ(slurp(demo / f), slurp(fs::path(DEMO_SOURCE_DIR) / f))
            << f << ": the sources' file, not what a player left in build/demo";
    std::set<std::string> want = demoSounds();
    ASSERT_FALSE(want.empty());
    for (const std::string &s : want)
        EXPECT_TRUE(fs::is_regular_file(demo / s)) << s;
    // The bank as the build made it, without the build's own marks.
    auto listing = [](const fs::path &dir) {
        std::set<std::string> names;
        for (auto &e : fs::recursive_directory_iterator(dir))
            names.insert(e.path().lexically_relative(dir).string());
        return names;
    };
    std::set<std::string> built = listing(fs::path(DEMO_BUILD_DIR) / "sounds");
    built.erase(".made");
    EXPECT_EQ(listing(demo / "sounds"), built);

    EXPECT_EQ(slurp(p.path() / "share/man/man6/brzdekomat.6"),
              slurp(fs::path(SOURCE_DIR) / "man/brzdekomat.6"));
    EXPECT_EQ(slurp(p.path() / "share/doc/brzdekomat/README.md"),
              slurp(fs::path(SOURCE_DIR) / "README.md"));
    EXPECT_EQ(slurp(p.path() / "share/doc/brzdekomat/LICENSE"),
              slurp(fs::path(SOURCE_DIR) / "LICENSE"));
}

TEST(Install, TheInstalledProgramStartsItsInstalledDemo) {
    Installed p;
    ASSERT_EQ(p.status, 0) << p.read("install.log");
    TempDir cwd, home;
    const std::string bin = (p.path() / "bin/brzdekomat").string();
    {
        Session s(cwd.path(), {{"HOME", home.path().string()}}, false, {"--version"}, bin);
        EXPECT_EQ(s.finish(), 0);
        EXPECT_EQ(s.out().rfind(std::string("brzdekomat ") + PROJECT_VERSION, 0), 0u);
    }
    Session s(cwd.path(), {{"HOME", home.path().string()}}, false, {"--demo"}, bin);
    ASSERT_NE(s.waitFor("    0. Wyjść\n"), std::string::npos) << s.out() << s.err();
    s.type("0\n");
    EXPECT_EQ(s.finish(), 0);
    const fs::path copy = home.path() / ".local/share/brzdekomat/demo";
    for (const char *f : {"Keys.tdf", "Levels.tdf", "Confing.tdf"})
        EXPECT_EQ(slurp(copy / f), slurp(p.path() / "share/brzdekomat/demo" / f)) << f;
    for (const std::string &snd : demoSounds())
        EXPECT_TRUE(fs::is_regular_file(copy / snd)) << snd;
}
