#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "piano/piano.h"
#include "piano/zagraj.h"
#include "shell/state.h"
#include "support/fake_audio.h"
#include "support/harness.h"

using testing_support::AudioCall;
using testing_support::FakeAudio;
using testing_support::Key;
using testing_support::ScreenTest;

class Piano : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        levels({{"A", "opis A"}, {"B", "opis B"}, {"C", "opis C"}});
        keyMap({{"a.wav", 'a', 0},
                {"b.wav", 'a', 0}, // two entries on one key
                {"w.wav", 'w', 0}, // a key that is also a command
                {"lb.wav", '[', 1},
                {"two.wav", '2', 0},
                {"c.wav", 'a', 1},
                {"z.wav", 'z', 2}});
        settings(5, 0, 7, {"up.wav", "0", "down.wav", "0"});
    }
    FakeAudio audio;
};

TEST_F(Piano, KeyHandling) {
    struct Case {
        const char *name;
        std::vector<Key> keys; // Esc follows
        std::vector<std::string> heard;
        int volume = 5;
    } cases[] = {
        {"two entries on one key", {{'a'}}, {"play a.wav", "play b.wav"}},
        {"w stops, then plays its own sound",
         {{'a'}, {'w'}},
         {"play a.wav", "play b.wav", "stop a.wav", "stop b.wav", "play w.wav"}},
        {"W is no stop key", {{'W'}}, {}},
        {"[ moves up first, then its sound plays on the new level", {{'['}}, {"play lb.wav"}},
        {"2 plays on the current level, then selects the second",
         {{'2'}, {'a'}},
         {"play two.wav", "play c.wav"}},
        {"] on the first level stays", {{']'}, {'a'}}, {"play a.wav", "play b.wav"}},
        {"[ stops at the last level",
         {{'['}, {'['}, {'['}, {'z'}, {']'}, {'a'}},
         {"play lb.wav", "play z.wav", "play c.wav"}},
        {"a digit beyond the levels changes nothing", {{'5'}, {'a'}}, {"play a.wav", "play b.wav"}},
        {"3 selects the third level", {{'3'}, {'z'}}, {"play z.wav"}},
        {"arrows play their slots", {{224}, {72}, {224}, {80}}, {"play up.wav", "play down.wav"}},
        {"an empty slot does nothing", {{224}, {75}, {224}, {77}}, {}},
        {"a 0 prefix matches nothing and its code is a key of its own",
         {{0}, {59}, {'a'}},
         {"play a.wav", "play b.wav"}},
        {"+ raises the volume", {{'+'}, {'+'}}, {}, 7},
        {"- lowers the volume", {{'-'}}, {}, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Glosnosc = 5;
        audio.clearCalls();
        std::vector<Key> k = c.keys;
        k.push_back({27});
        keys(k);
        Graj();
        EXPECT_EQ(audio.trace({"play", "reset", "stop"}), c.heard);
        EXPECT_EQ(Glosnosc, c.volume);
        EXPECT_EQ(keysLeft(), 0);
        EXPECT_EQ(keysPastEnd(), 0);
        EXPECT_EQ(audio.liveSounds(), 0);
        EXPECT_EQ(audio.liveDevices(), 0);
    }
}

TEST_F(Piano, VolumeKeysStopOnlyAtTheirLimits) {
    struct Case {
        int start;
        int key;
        int end;
        const char *shown; // on the screen after the key
    } cases[] = {
        {10, '+', 10, "Głośność: 100%!\n"},
        {0, '-', 0, "Głośność: 0%!\n"},
        {12, '+', 13, "Głośność: 130%!\n"},
        {12, '-', 11, "Głośność: 110%!\n"},
        {9, '+', 10, "Głośność: 100%!\n"},
        // A volume file can hold any int; it neither overflows nor wraps.
        {INT_MAX, '+', INT_MAX, "Głośność: 21474836470%!\n"},
        {INT_MIN, '-', INT_MIN, "Głośność: -21474836480%!\n"},
    };
    for (const Case &c : cases) {
        Glosnosc = c.start;
        audio.clearCalls();
        clearOutput();
        keys({{c.key}, {27}});
        Graj();
        EXPECT_EQ(Glosnosc, c.end) << c.start << " " << char(c.key);
        EXPECT_NE(out().find(c.shown), std::string::npos) << out();
        // A changed volume reaches every key-map sound, never the arrow slots.
        std::vector<AudioCall> set = audio.calls("setVolume");
        int after = 0;
        for (const AudioCall &s : set)
            if (s.value == static_cast<float>(c.end) / 10 && c.end != c.start) {
                ++after;
                EXPECT_NE(s.file, "up.wav");
                EXPECT_NE(s.file, "down.wav");
            }
        EXPECT_EQ(after, c.end != c.start ? IloscDzwiekow : 0) << c.start;
    }
}

TEST_F(Piano, SoundsOpenAtTheVolumeWithRepeatOff) {
    Glosnosc = 3;
    keys({{27}});
    Graj();
    for (const char *f : {"a.wav", "z.wav", "up.wav", "down.wav"}) {
        std::vector<std::string> ops;
        for (const AudioCall &c : audio.calls())
            if (c.file == f && (c.op == "setVolume" || c.op == "setRepeat"))
                ops.push_back(c.op + "=" + std::to_string(c.value));
        EXPECT_EQ(ops, (std::vector<std::string>{"setVolume=" + std::to_string(0.3f),
                                                 "setRepeat=" + std::to_string(0.0f)}))
            << f;
    }
}

TEST_F(Piano, APlayingSoundRestartsAfterFiftyMilliseconds) {
    audio.lengthMs["a.wav"] = 1000;
    audio.lengthMs["b.wav"] = 100;
    keys({{'a', 2000}, {'a', 2500}, {'a', 4000}, {27}});
    Graj();
    // At 2500 a.wav still sounds and b.wav has ended; at 4000 both have ended.
    EXPECT_EQ(audio.trace({"play", "reset", "stop"}),
              (std::vector<std::string>{"play a.wav", "play b.wav", "reset a.wav", "play b.wav",
                                        "play a.wav", "play b.wav"}));
    EXPECT_EQ(clock.sleeps, std::vector<std::int64_t>{50});
    std::vector<AudioCall> resets = audio.calls("reset");
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0].at, 2550);
}

TEST_F(Piano, ScreenAndReleaseOrder) {
    keys({{'a'}, {27}});
    Graj();
    const std::string screen = testing_support::banner() +
                               "Głośność: 50%!\nLista poziomów: \n -> 1. A\n  - 2. B\n  - 3. C\n"
                               "Opis poziomu: opis A\n";
    std::string loading;
    for (const char *f : {"a.wav", "b.wav", "w.wav", "lb.wav", "two.wav", "c.wav", "z.wav"})
        loading += "Trwa ładowanie dźwięku " + std::string(f) + "!\n";
    EXPECT_EQ(out(), loading + screen + screen);
    std::vector<std::string> released;
    for (const AudioCall &c : audio.calls())
        if (c.op == "releaseSound" || c.op == "releaseDevice")
            released.push_back(c.op + " " + c.file);
    EXPECT_EQ(released, (std::vector<std::string>{"releaseSound z.wav", "releaseSound c.wav",
                                                  "releaseSound two.wav", "releaseSound lb.wav",
                                                  "releaseSound w.wav", "releaseSound b.wav",
                                                  "releaseSound a.wav", "releaseSound down.wav",
                                                  "releaseSound up.wav", "releaseDevice "}));
}

TEST_F(Piano, MissingSoundIsNamedAndTheRestPlay) {
    audio.missing = {"b.wav", "down.wav"};
    keys({{'k'}, {'a'}, {224}, {80}, {27}});
    Graj();
    EXPECT_NE(out().find("Trwa ładowanie dźwięku b.wav!\nNieznaleziono dźwięku b.wav\n"
                         "Nie ma takiego pliku!\nTrwa ładowanie dźwięku w.wav!\n"),
              std::string::npos);
    EXPECT_NE(out().find("Nieznaleziono dźwięku down.wav\nNie ma takiego pliku!\n"
                         "Naciśnij dowolny klawisz, by kontynuować!\n"),
              std::string::npos);
    EXPECT_EQ(audio.trace({"play", "reset", "stop"}), std::vector<std::string>{"play a.wav"});
    EXPECT_EQ(keysLeft(), 0);
}

TEST_F(Piano, NoDeviceIsSaidOnceAndTheModeRunsSilently) {
    audio.noDevice = true;
    keys({{'k'}, {'a'}, {224}, {72}, {27}});
    Graj();
    EXPECT_EQ(out().find("Nie udało się otworzyć urządzenia dźwiękowego"), 0u);
    EXPECT_NE(out().find("Trwa ładowanie dźwięku z.wav!\n"), std::string::npos);
    EXPECT_EQ(out().find("Nieznaleziono"), std::string::npos);
    EXPECT_TRUE(audio.calls("openSound").empty()) << "files are checked, nothing is loaded";
    EXPECT_EQ(keysLeft(), 0);

    // A file that cannot be played is told without a device too.
    clearOutput();
    audio.missing = {"b.wav"};
    keys({{'k'}, {'k'}, {27}});
    Graj();
    EXPECT_NE(out().find("Trwa ładowanie dźwięku b.wav!\nNieznaleziono dźwięku b.wav\n"
                         "Nie ma takiego pliku!\n"),
              std::string::npos)
        << out();
    EXPECT_EQ(keysLeft(), 0);
}

TEST_F(Piano, EachReasonASoundCannotPlayHasItsLine) {
    using audiere::OpenFailure;
    struct Case {
        OpenFailure why;
        const char *line;
    } cases[] = {
        {OpenFailure::NoFile, "Nie ma takiego pliku!\n"},
        {OpenFailure::Unreadable, "Nie można odczytać pliku!\n"},
        {OpenFailure::NotSound, "To nie jest plik dźwiękowy, który ten program umie odczytać!\n"},
        {OpenFailure::TooLong, "Dźwięk jest za długi!\n"},
        {OpenFailure::TooManySounds,
         "Za dużo dźwięków naraz, urządzenie nie ma dla niego miejsca!\n"},
    };
    for (const Case &c : cases) {
        clearOutput();
        audio.failures = {{"b.wav", c.why}};
        keys({{'k'}, {27}});
        Graj();
        EXPECT_NE(out().find(std::string("Nieznaleziono dźwięku b.wav\n") + c.line +
                             "Trwa ładowanie dźwięku w.wav!\n"),
                  std::string::npos)
            << c.line;
    }
}

TEST_F(Piano, NoLevelsPlaysNoKeysButLeavesOnEsc) {
    testing_support::resetState();
    keyMap({{"a.wav", 'a', 0}});
    settings(5, 0, 7, {"up.wav", "0", "0", "0"});
    keys({{'a'}, {'['}, {'1'}, {224}, {72}, {27}});
    Graj();
    EXPECT_EQ(audio.trace({"play", "reset", "stop"}), std::vector<std::string>{"play up.wav"});
    EXPECT_NE(out().find("Lista poziomów: \nOpis poziomu: brak poziomów"), std::string::npos);
}

TEST_F(Piano, TenLevelsAndMoreAreListedAndReachable) {
    std::vector<testing_support::Level> many;
    for (int i = 1; i <= 12; ++i)
        many.push_back({"L" + std::to_string(i), "d" + std::to_string(i)});
    levels(many);
    keyMap({{"ten.wav", 'x', 9}, {"twelve.wav", 'x', 11}});
    keys({{':'}, {'x'}, {'['}, {'['}, {'x'}, {27}});
    Graj();
    EXPECT_EQ(audio.trace({"play", "reset", "stop"}),
              (std::vector<std::string>{"play ten.wav", "play twelve.wav"}));
    EXPECT_NE(out().find("  - 11. L11\n -> 12. L12\nOpis poziomu: d12\n"), std::string::npos);
}

class SingleSound : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        keyMap({{"a.wav", 'a', 0}, {"b.wav", 'b', 1}});
        Glosnosc = 0;
    }
    FakeAudio audio;
};

TEST_F(SingleSound, PlaysEachChoiceForTwoSecondsAtTheDefaultVolume) {
    input("1 2 0\n");
    audio.lengthMs["a.wav"] = 5000;
    Zagraj();
    EXPECT_EQ(audio.trace({"play", "reset", "stop"}),
              (std::vector<std::string>{"play a.wav", "play b.wav"}));
    EXPECT_EQ(clock.sleeps, (std::vector<std::int64_t>{2000, 2000}));
    EXPECT_TRUE(audio.calls("setVolume").empty());
    EXPECT_TRUE(audio.calls("setRepeat").empty());
    // Each choice has its own device, released after its sound.
    std::vector<std::string> life;
    for (const AudioCall &c : audio.calls())
        if (c.op == "openDevice" || c.op == "releaseSound" || c.op == "releaseDevice")
            life.push_back(c.op);
    EXPECT_EQ(life, (std::vector<std::string>{"openDevice", "releaseSound", "releaseDevice",
                                              "openDevice", "releaseSound", "releaseDevice"}));
    const std::string list = testing_support::banner() +
                             "Który dźwięk chcesz zagrać: \n    1. a.wav\n    2. b.wav\n"
                             "    0. Wyjście\n";
    EXPECT_EQ(out(), list + list + list);
}

TEST_F(SingleSound, OutOfRangeAndWrongInput) {
    struct Case {
        const char *typed;
        int keyWaits;
        int lists;
    } cases[] = {
        {"3\n0\n", 1, 2},
        {"-1\n0\n", 1, 2},
        {"x 1\n", 0, 1},
        {"", 0, 1},
    };
    for (const Case &c : cases) {
        input(c.typed);
        std::vector<Key> k(c.keyWaits, {'k'});
        keys(k);
        clearOutput();
        audio.clearCalls();
        Zagraj();
        EXPECT_TRUE(audio.trace({"play", "reset", "stop"}).empty()) << c.typed;
        EXPECT_EQ(keysLeft(), 0) << c.typed;
        EXPECT_EQ(keysPastEnd(), 0) << c.typed;
        std::size_t lists = 0;
        for (std::size_t p = out().find("0. Wyjście"); p != std::string::npos;
             p = out().find("0. Wyjście", p + 1))
            ++lists;
        EXPECT_EQ(lists, static_cast<std::size_t>(c.lists)) << c.typed;
        EXPECT_EQ(out().find("Zakres został przekroczony!\n") != std::string::npos, c.keyWaits == 1)
            << c.typed;
    }
}

TEST_F(SingleSound, EmptyKeyMapListsOnlyTheExit) {
    testing_support::resetState();
    settings(5, 0, 7);
    keyMap({});
    input("0\n");
    Zagraj();
    EXPECT_EQ(out(), testing_support::banner() + "Który dźwięk chcesz zagrać: \n    0. Wyjście\n");
}
