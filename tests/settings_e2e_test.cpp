// Settings through the real program: kept between runs, and heard in piano mode.
#include <gtest/gtest.h>
#include <string>

#include "support/e2e.h"
#include "support/wav.h"

using testing_support::Session;
using testing_support::TempDir;

namespace {

const char kMenu[] = "    0. Wyjść\n";
const char kOptions[] = "    0. Wyjscie z Opcji\n";
const char kShortcuts[] = "    3. Zagrać dźwięk\n    0. Wyjść\n";

// Answers one screen: waits for its text after position from, then types.
std::size_t answer(Session &s, const std::string &prompt, const std::string &typed,
                   std::size_t from) {
    std::size_t at = s.waitFor(prompt, from);
    EXPECT_NE(at, std::string::npos) << "waiting for " << prompt << "\n" << s.out();
    if (at == std::string::npos)
        throw std::runtime_error("screen not shown");
    s.type(typed);
    return at + prompt.size();
}

} // namespace

TEST(SettingsE2E, ColourAndVolumeAreKeptForTheNextRun) {
    TempDir d;
    d.write("Keys.tdf", "0");
    d.write("Levels.tdf", "1 P opis");
    d.write("Confing.tdf", "5 0 7 0 0 0 0 ");
    {
        Session s(d.path());
        std::size_t at = answer(s, kMenu, "2\n", 0);
        at = answer(s, kOptions, "1\n", at);
        at = answer(s, "   0. Nie chcę zmieniać kolorów.\n", "16\n", at);
        at = answer(s, "Wprowadzić zmiany teraz?(t/n): \n", "t", at);
        at = answer(s, kOptions, "3\n", at);
        at = answer(s, "    10. 100% \n", "4\n", at);
        at = answer(s, "Glośność została ustawiona!\n", "k", at);
        at = answer(s, kOptions, "0\n", at);
        answer(s, kMenu, "0\n", at);
        EXPECT_EQ(s.finish(), 0);
    }
    EXPECT_EQ(d.read("Confing.tdf"), "4 0 15 0 0 0 0 ");
    Session s(d.path());
    // Piano mode shows the volume; the background screen refuses white,
    // which is now the letter colour.
    std::size_t at = answer(s, kMenu, "1\n", 0);
    at = answer(s, "Głośność: 40%!\n", "\x1b", at);
    at = answer(s, kMenu, "2\n", at);
    at = answer(s, kOptions, "2\n", at);
    at = answer(s, "   0. Nie chcę zmieniać kolorów.\n", "16\n", at);
    at = answer(s, "Zmiany nie zostaną wprowadzone!\n", "0\n", at);
    answer(s, kMenu, "0\n", at);
    EXPECT_EQ(s.finish(), 0);
}

TEST(SettingsE2E, BoundArrowPlaysInPianoModeUntilRemoved) {
    testing_support::Studio d;
    constexpr int kRate = testing_support::kWaveRate;
    d.sound("bell.wav", testing_support::tone(660, 300, kRate, 0.4f));
    d.write("Keys.tdf", "1 bell.wav b 0");
    d.write("Levels.tdf", "1 Dzwonki opis");
    d.write("Confing.tdf", "10 0 7 0 0 0 0 ");
    Session s(d.path(), d.env());
    // Bind bell.wav to the left arrow (slot 2), from level 1.
    std::size_t at = answer(s, kMenu, "2\n", 0);
    at = answer(s, kOptions, "4\n", at);
    at = answer(s, kShortcuts, "1\n", at);
    at = answer(s, "    4. w prawo - Brak\n", "2\n", at);
    at = answer(s, "    1. Dzwonki\n", "1\n", at);
    at = answer(s, "    1. bell.wav\n", "1\n", at);
    at = answer(s, "Skrót nr 2: Strzałka w lewo: Dźwięk: bell.wav!\n", "", at);
    EXPECT_EQ(d.read("Confing.tdf"), "10 0 7 0 bell.wav 0 0 ");
    at = answer(s, kShortcuts, "0\n", at);
    at = answer(s, kOptions, "0\n", at);
    // In piano mode the left arrow plays it.
    at = answer(s, kMenu, "1\n", at);
    at = answer(s, "Opis poziomu: opis\n", "\x1b[D", at);
    at = answer(s, "Opis poziomu: opis\n", "", at);
    s.typeAt({{400, "\x1b"}});
    // Remove it again.
    at = answer(s, kMenu, "2\n", at);
    at = answer(s, kOptions, "4\n", at);
    at = answer(s, kShortcuts, "2\n", at);
    at = answer(s, "    0. Wyjście\n", "2\n", at);
    at = answer(s, "Skrót nr 2: Strzałka w lewo:  Brak!\n", "0\n", at);
    at = answer(s, kOptions, "0\n", at);
    answer(s, kMenu, "0\n", at);
    EXPECT_EQ(s.finish(), 0);
    EXPECT_EQ(d.read("Confing.tdf"), "10 0 7 0 0 0 0 ");
    std::vector<float> out = d.captured();
    std::vector<double> heard = testing_support::onsets(out, kRate);
    ASSERT_EQ(heard.size(), 1u) << "the arrow played its sound once";
    EXPECT_NEAR(testing_support::dominantFrequency(out, kRate, heard[0] + 20, heard[0] + 200), 660,
                5);
}
