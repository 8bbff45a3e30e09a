// The demo: the data files in demo/ and the sound bank that the build makes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/wav.h"

namespace {

using testing_support::readWav;

struct Entry {
    std::string file;
    unsigned char key;
    int level;
};

std::string source(const std::string &name) {
    std::ifstream in(std::string(DEMO_SOURCE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<Entry> keyMap() {
    std::istringstream in(source("Keys.tdf"));
    int n = 0;
    in >> n;
    std::vector<Entry> entries(n);
    for (Entry &e : entries)
        in >> e.file >> e.key >> e.level;
    return entries;
}

std::vector<std::pair<std::string, std::string>> levels() {
    std::istringstream in(source("Levels.tdf"));
    int n = 0;
    in >> n;
    std::vector<std::pair<std::string, std::string>> out(n);
    for (auto &[name, description] : out)
        in >> name >> description;
    return out;
}

std::vector<float> built(const std::string &file) {
    auto wav = readWav(std::string(DEMO_BUILD_DIR) + "/" + file);
    EXPECT_TRUE(wav) << file;
    return wav ? wav->mono() : std::vector<float>{};
}

constexpr int kRate = 44100;

TEST(DemoBank, KeysLeaveTheCommandKeysFreeAndMeanOneThingPerLevel) {
    const std::string commands = "w+-[]0123456789\x1b";
    std::vector<Entry> entries = keyMap();
    const int levelCount = static_cast<int>(levels().size());
    ASSERT_FALSE(entries.empty());
    std::set<std::pair<unsigned char, int>> seen;
    std::vector<int> perLevel(levelCount);
    for (const Entry &e : entries) {
        SCOPED_TRACE(e.file);
        EXPECT_EQ(commands.find(static_cast<char>(e.key)), std::string::npos) << e.key;
        EXPECT_TRUE(seen.insert({e.key, e.level}).second) << "key used twice: " << e.key;
        ASSERT_TRUE(e.level >= 0 && e.level < levelCount);
        ++perLevel[e.level];
    }
    for (int l = 0; l < levelCount; ++l)
        EXPECT_GT(perLevel[l], 0) << "level " << l << " plays nothing";
}

TEST(DemoBank, EverySoundIsAMonoFileThatNeitherClipsNorWhispers) {
    std::set<std::string> files;
    for (const Entry &e : keyMap())
        files.insert(e.file);
    for (const std::string &file : files) {
        SCOPED_TRACE(file);
        auto wav = readWav(std::string(DEMO_BUILD_DIR) + "/" + file);
        ASSERT_TRUE(wav);
        EXPECT_EQ(wav->rate, kRate);
        EXPECT_EQ(wav->channels, 1);
        EXPECT_GT(wav->lengthMs(), 150);
        EXPECT_LT(wav->lengthMs(), 2500);
        float peak = 0;
        for (float v : wav->samples)
            peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.2f);
        EXPECT_LT(peak, 0.9f);
    }
}

// A piano's layout: home row white keys, the row above black ones, s is C.
const std::map<unsigned char, int> kSemitonesFromS = {
    {'a', -1}, {'s', 0},  {'e', 1},  {'d', 2},  {'r', 3},   {'f', 4},
    {'g', 5},  {'y', 6},  {'h', 7},  {'u', 8},  {'j', 9},   {'i', 10},
    {'k', 11}, {'l', 12}, {'p', 13}, {';', 14}, {'\'', 16},
};

TEST(DemoBank, InstrumentLevelsPlayInTuneAlongTheKeyboard) {
    const struct {
        int level;
        double sHz; // the C that s plays
    } cases[] = {{0, 261.63}, {1, 523.25}, {2, 130.81}};
    std::vector<Entry> entries = keyMap();
    for (const auto &c : cases) {
        std::set<unsigned char> keys;
        for (const Entry &e : entries) {
            if (e.level != c.level)
                continue;
            SCOPED_TRACE(e.file);
            ASSERT_TRUE(kSemitonesFromS.count(e.key)) << e.key;
            keys.insert(e.key);
            double hz = c.sHz * std::pow(2.0, kSemitonesFromS.at(e.key) / 12.0);
            double got = testing_support::dominantFrequency(built(e.file), kRate, 50, 300,
                                                            hz * 0.97, hz * 1.03);
            EXPECT_NEAR(got, hz, hz * 0.005 + 1);
        }
        EXPECT_EQ(keys.size(), kSemitonesFromS.size()) << "level " << c.level;
    }
}

// The strongest component within 2% of hz: the partials of a stiff string
// run sharp of the harmonic series.
double partialLevel(const std::vector<float> &x, double hz) {
    double best = 0;
    for (double f = hz * 0.98; f <= hz * 1.02; f += 2)
        best = std::max(best, testing_support::toneLevel(x, kRate, 50, 350, f));
    return best;
}

TEST(DemoBank, InstrumentNotesHaveOvertonesAndDieAway) {
    // The ends and the middle of each instrument level.
    const struct {
        int level;
        unsigned char key;
    } cases[] = {{0, 'a'},  {0, 'h'}, {0, '\''}, {1, 'a'}, {1, 'h'},
                 {1, '\''}, {2, 'a'}, {2, 'h'},  {2, '\''}};
    std::vector<Entry> entries = keyMap();
    for (const auto &c : cases) {
        auto e = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry &e) { return e.level == c.level && e.key == c.key; });
        ASSERT_NE(e, entries.end());
        SCOPED_TRACE(e->file);
        std::vector<float> x = built(e->file);
        double f = testing_support::dominantFrequency(x, kRate, 50, 300, 60, 2000);
        double first = partialLevel(x, f);
        EXPECT_GT(partialLevel(x, 2 * f), 0.05 * first);
        EXPECT_GT(partialLevel(x, 3 * f), 0.02 * first);
        EXPECT_LT(testing_support::rms(x, kRate, 1500, 1800),
                  testing_support::rms(x, kRate, 0, 300) / 3);
    }
}

TEST(DemoBank, DrumsSoundWhereTheirNamesSay) {
    const struct {
        const char *file;
        double loHz, hiHz; // where most of the energy lies
        double maxMs;
    } cases[] = {
        {"sounds/kick.wav", 35, 120, 800},         {"sounds/snare.wav", 150, 400, 600},
        {"sounds/tom_low.wav", 80, 120, 1000},     {"sounds/tom_mid.wav", 120, 160, 1000},
        {"sounds/tom_high.wav", 160, 240, 1000},   {"sounds/hihat.wav", 5000, 12000, 400},
        {"sounds/openhat.wav", 5000, 12000, 1200}, {"sounds/crash.wav", 2500, 12000, 2500},
        {"sounds/ride.wav", 2500, 12000, 2500},    {"sounds/clap.wav", 600, 2500, 600},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        auto wav = readWav(std::string(DEMO_BUILD_DIR) + "/" + c.file);
        ASSERT_TRUE(wav);
        EXPECT_LT(wav->lengthMs(), c.maxMs);
        double hz = testing_support::dominantFrequency(wav->mono(), kRate, 0, 150, 30, 12000, 5);
        EXPECT_GE(hz, c.loHz);
        EXPECT_LE(hz, c.hiHz);
    }
}

TEST(DemoBank, ConfigBindsEveryArrowToADemoSound) {
    std::string text = source("Confing.tdf");
    EXPECT_EQ(text.find('\n'), std::string::npos);
    std::istringstream in(text);
    std::vector<std::string> fields;
    for (std::string f; in >> f;)
        fields.push_back(f);
    ASSERT_EQ(fields.size(), 7u);
    std::string rebuilt;
    for (const std::string &f : fields)
        rebuilt += f + " ";
    EXPECT_EQ(text, rebuilt) << "each field followed by one space";
    for (int slot = 3; slot < 7; ++slot)
        EXPECT_TRUE(readWav(std::string(DEMO_BUILD_DIR) + "/" + fields[slot])) << fields[slot];
}

TEST(DemoBank, LevelDescriptionsFitOnOneLine) {
    auto ls = levels();
    ASSERT_GE(ls.size(), 3u);
    for (const auto &[name, description] : ls)
        EXPECT_LT(std::string("Opis poziomu: ").size() + description.size(), 80u) << name;
}

// The build copies the data files only where they are missing.
TEST(DemoBank, RebuildKeepsTheUsersFiles) {
    testing_support::TempDir dst;
    dst.write("Confing.tdf", "3 1 15 0 0 0 0 ");
    std::string command = std::string(CMAKE_COMMAND) + " -DSRC=" + DEMO_SOURCE_DIR +
                          " -DDST=" + dst.path().string() + " -P " + COPY_IF_ABSENT;
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(dst.read("Confing.tdf"), "3 1 15 0 0 0 0 ");
    EXPECT_EQ(dst.read("Keys.tdf"), source("Keys.tdf"));
    EXPECT_EQ(dst.read("Levels.tdf"), source("Levels.tdf"));
}

} // namespace
