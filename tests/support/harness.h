// Screens run against string streams, a queue of keys and a fake clock, in a
// temporary working directory.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace testing_support {

class FakeClock : public platform::Clock {
  public:
    std::int64_t nowMs() override { return now; }
    void sleepMs(std::int64_t ms) override {
        sleeps.push_back(ms);
        if (ms > 0)
            now += ms;
    }
    std::int64_t now = 1000;
    std::vector<std::int64_t> sleeps;
};

struct Key {
    int code;
    std::int64_t at = -1;  // fake time at which the key is pressed; -1: at once
    std::int64_t late = 0; // how much later the read returns it (a lone Esc's wait)
};

struct KeyMapEntry {
    std::string file;
    unsigned char key;
    int level;
};

struct Level {
    std::string name;
    std::string description;
};

// Fixture: everything a screen touches, fresh for every test.
class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void input(const std::string &text); // what standard input will hold
    void keys(std::vector<Key> k);       // the single-key reads, in order
    std::string out() const { return out_.str(); }
    std::string err() const { return err_.str(); }
    void clearOutput() {
        out_.str("");
        err_.str("");
    }
    int keysLeft() const { return static_cast<int>(keys_.size()); }
    int keysPastEnd() const { return pastEnd_; }

    void writeFile(const std::string &name, const std::string &content);
    std::string readFile(const std::string &name);
    bool exists(const std::string &name);

    // Fill the shared tables as the loaders would.
    void keyMap(const std::vector<KeyMapEntry> &entries);
    void levels(const std::vector<Level> &ls);
    void settings(int volume, int background, int letters,
                  std::vector<std::string> slots = {"0", "0", "0", "0"});

    FakeClock clock;
    std::filesystem::path dir;

  private:
    std::filesystem::path oldDir_;
    std::istringstream in_;
    std::ostringstream out_, err_;
    std::streambuf *oldIn_ = nullptr, *oldOut_ = nullptr, *oldErr_ = nullptr;
    std::deque<Key> keys_;
    int pastEnd_ = 0;
};

// Frees the shared tables and puts back their start values.
void resetState();

// The banner that begins every screen.
std::string banner();

} // namespace testing_support
