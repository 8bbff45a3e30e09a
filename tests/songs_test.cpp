#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shell/screen.h"
#include "shell/state.h"
#include "songs/creator.h"
#include "songs/playback.h"
#include "support/fake_audio.h"
#include "support/harness.h"

using testing_support::FakeAudio;
using testing_support::Key;
using testing_support::ScreenTest;

class Creator : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        levels({{"A", "opis A"}, {"B", "opis B"}});
        keyMap({{"c.wav", 'a', 0},
                {"e.wav", 's', 0},
                {"x.wav", 'd', 0},
                {"y.wav", 'd', 0},
                {"g.wav", 'a', 1}});
        settings(5, 0, 7, {"up.wav", "0", "0", "0"});
    }
    FakeAudio audio;
};

TEST_F(Creator, RecordsThePauseBetweenNoteKeyPresses) {
    input("song Moja_piosenka 2010\n");
    keys({{'k'},
          {'k', 1000}, // welcome, ready
          {'a', 2000},
          {'s', 2380}, // two notes
          {'[', 2500},
          {'a', 2792}, // a level change between notes
          {'q', 2900},
          {']', 3000}, // an unmapped key, back to the first level
          {'d', 3100}, // two entries on one key
          {224, 3300},
          {72}, // an arrow slot
          {224, 3400},
          {75}, // an empty arrow slot
          {27, 4550},
          {'k'}}); // Esc, then the key after "Zapisano!"
    Stworz();
    EXPECT_EQ(readFile("song.tsf"), "Moja_piosenka 2010 6 c.wav 380 e.wav 412 g.wav 308 x.wav 0 "
                                    "y.wav 200 up.wav 1250 ");
    EXPECT_EQ(audio.trace({"play", "reset"}, true),
              (std::vector<std::string>{"2000 play c.wav", "2380 play e.wav", "2792 play g.wav",
                                        "3100 play x.wav", "3100 play y.wav", "3300 play up.wav"}));
    EXPECT_EQ(keysLeft(), 0);
    EXPECT_EQ(keysPastEnd(), 0);
    EXPECT_EQ(audio.liveSounds(), 0);
    EXPECT_EQ(audio.liveDevices(), 0);
    EXPECT_EQ(audio.soundsOutlivingDevice(), 0);
    const std::string o = out();
    EXPECT_NE(o.find("Ilość dźwięków zagranych: 0/100000.\nNaciśnij ESC by zakończyć!\n"
                     "Lista poziomów: \n -> 1. A\n  - 2. B\nOpis poziomu: opis A\n"),
              std::string::npos);
    EXPECT_NE(o.find("Ilość dźwięków zagranych: 6/100000.\n"), std::string::npos);
    EXPECT_NE(o.find("Trwa przygotowanie...\nPodaj nazwę pliku do zapisania(Bez spacji): "
                     "Podaj nazwę utworu(bez spacji): Wpisz rok: \nTrwa zapisywanie...\n"
                     "Zapisano!\n"),
              std::string::npos);
}

// A key read returns after the press (the Esc waits for a possible sequence);
// the pauses run between the presses themselves.
TEST_F(Creator, PausesEndAtTheKeyPressNotWhenTheReadReturns) {
    input("song T 2010\n");
    keys({{'k'}, {'k', 1000}, {'a', 2000}, {'s', 2300, 30}, {27, 2500, 100}, {'k'}});
    Stworz();
    EXPECT_EQ(readFile("song.tsf"), "T 2010 2 c.wav 300 e.wav 200 ");
}

TEST_F(Creator, StartScreensAndEscAtTheWelcome) {
    keys({{27}});
    Stworz();
    EXPECT_EQ(out(), testing_support::banner() +
                         "Witaj w kreatorze tworzenia melodii MirvoForBrzdekomat BETA\nTen kreator "
                         "jest dostosowany do wersji 0.3. W przypadku innej wersji,\nsprobój "
                         "sciągnać nowa wersje programu.\nProsze nacisnąć dowolny klawisz aby "
                         "kontynuować, lub ESC aby wyjść z kreatora\n");
    EXPECT_TRUE(audio.calls().empty());

    clearOutput();
    input("pusta T 1\n");
    keys({{'k'}, {'k'}, {27}, {'k'}});
    Stworz();
    EXPECT_EQ(readFile("pusta.tsf"), "T 1 0 ");
    const std::string prepare =
        testing_support::banner() +
        "Trwa inicjowanie pauz dynamicznie: Zakończone\n"
        "Trwa inicjowanie zapisów dźwiekow dynamicznie : Zakończone\n"
        "Automatycznie ustawiono limit(WERSJA BETA): 100000\n"
        "Trwa ładowanie dźwieków...\n"
        "Trwa ładowanie dźwięku c.wav!\nTrwa ładowanie dźwięku e.wav!\n"
        "Trwa ładowanie dźwięku x.wav!\nTrwa ładowanie dźwięku y.wav!\n"
        "Trwa ładowanie dźwięku g.wav!\n"
        "Program jest gotowy do grania. Proszę nacisnąć dowolny klawisz, aby zacząć nagrywać...\n";
    EXPECT_NE(out().find(prepare), std::string::npos) << out();
}

TEST_F(Creator, AnswersAreWordsAndTheYearMustBeANumber) {
    struct Case {
        const char *typed;
        const char *file;
        const char *content;
        bool yearRefused;
    } cases[] = {
        {"a Moja piosenka 1999\n", "a.tsf", "Moja 1999 0 ", true},
        {"b T 20x1\n-7\n", "b.tsf", "T -7 0 ", true},
        {"c T +2010\n", "c.tsf", "T +2010 0 ", false},
    };
    for (const Case &c : cases) {
        input(c.typed);
        keys({{'k'}, {'k'}, {27}, {'k'}});
        clearOutput();
        Stworz();
        EXPECT_EQ(readFile(c.file), c.content) << c.typed;
        EXPECT_EQ(out().find("Rok musi być liczbą całkowitą!\nWpisz rok: \n") != std::string::npos,
                  c.yearRefused)
            << c.typed;
    }
}

TEST_F(Creator, FailedSaveAsksForAnotherNameAndKeepsTheRecording) {
    input("no_such_dir/x T 1 dobry\n");
    keys({{'k'}, {'k'}, {'a', 2000}, {27, 2500}, {'k'}});
    Stworz();
    EXPECT_EQ(readFile("dobry.tsf"), "T 1 1 c.wav 500 ");
    const std::string o = out();
    std::size_t failed = o.find("Trwa zapisywanie...\nNie udało się zapisać utworu do pliku "
                                "no_such_dir/x.tsf! Nagranie jest\nzachowane, podaj inną nazwę.\n"
                                "Powód: katalog nie istnieje.\n"
                                "Podaj nazwę pliku do zapisania(Bez spacji): Trwa zapisywanie...\n"
                                "Zapisano!\n");
    EXPECT_NE(failed, std::string::npos) << o;
    EXPECT_EQ(o.find("Zapisano!"), o.rfind("Zapisano!")) << "said once, after the real save";
}

TEST_F(Creator, EndOfInputGivesUpTheSaveWithoutAKeyWait) {
    input("");
    keys({{'k'}, {'k'}, {'a'}, {27}});
    Stworz();
    EXPECT_EQ(out().find("Zapisano!"), std::string::npos);
    EXPECT_EQ(keysPastEnd(), 0);
    EXPECT_EQ(audio.liveDevices(), 0);
}

TEST_F(Creator, ARestartedNoteWaitsFiftyMillisecondsAndIsRecordedTwice) {
    input("r T 1\n");
    keys({{'k'}, {'k'}, {'a', 2000}, {'a', 2100}, {27, 2400}, {'k'}});
    Stworz();
    EXPECT_EQ(audio.trace({"play", "reset"}, true),
              (std::vector<std::string>{"2000 play c.wav", "2150 reset c.wav"}));
    // The pause runs between the key presses, not the restart.
    EXPECT_EQ(readFile("r.tsf"), "T 1 2 c.wav 100 c.wav 300 ");
}

TEST_F(Creator, NoteLimitStopsRecordingButNotSound) {
    testing_support::resetState();
    levels({{"A", "a"}});
    keyMap({{"c.wav", 'a', 0}});
    settings(5, 0, 7);
    audio.defaultLengthMs = 0; // every note has ended before the next key
    input("full T 1\n");
    std::vector<Key> k = {{'k'}, {'k'}};
    for (int i = 0; i < kLimitNut + 1; ++i)
        k.push_back({'a', 2000 + i});
    k.push_back({27, 2000 + kLimitNut + 5});
    k.push_back({'k'});
    keys(k);
    Stworz();
    EXPECT_EQ(audio.calls("play").size(), static_cast<std::size_t>(kLimitNut + 1));
    const std::string file = readFile("full.tsf");
    EXPECT_EQ(file.substr(0, 13), "T 1 100000 c.");
    // The last recorded note's pause reaches the Esc, past the refused press.
    EXPECT_EQ(file.substr(file.size() - 8), "c.wav 6 ");
    EXPECT_NE(out().find("Ilość dźwięków zagranych: 100000/100000.\nOsiągnięto limit nut!"),
              std::string::npos);
}

TEST_F(Creator, PauseTheFileCannotHoldIsCappedSoTheSongStillPlays) {
    input("long T 1\n");
    keys({{'k'}, {'k'}, {'a', 2000}, {27, 2000 + 3000000000LL}, {'k'}});
    Stworz();
    EXPECT_EQ(readFile("long.tsf"), "T 1 1 c.wav 2147483647 ");
}

class Playback : public ScreenTest {
  protected:
    FakeAudio audio;
};

TEST_F(Playback, DistinctSoundsLoadOnceAndNotesKeepTheirSchedule) {
    writeFile("s.tsf", "T_t 1999 4 a.wav 100 b.wav 200 a.wav 0 c.wav 300 ");
    keys({{'k', 5000}, {'k'}});
    EXPECT_EQ(Play("s.tsf"), "ALL_OK");
    EXPECT_EQ(out(), "Trwa zliczanie dźwięków...\n"
                     "Dodano dźwięk nr1!\nDodano dźwięk nr2!\nDodano dźwięk nr4!\n"
                     "Trwa generowanie dźwięku a.wav!\nTrwa generowanie dźwięku b.wav!\n"
                     "Trwa generowanie dźwięku c.wav!\n"
                     "Naciśnij dowolny przycisk aby zagrać utwór pt. T t!\n" +
                         testing_support::banner() +
                         "Utwór: T t, Rok Wydania: 1999\n"
                         "Granie dźwięku nr 0!\nGranie dźwięku nr 1!\nGranie dźwięku nr 0!\n"
                         "Granie dźwięku nr 2!\n"
                         "Koniec!\nNaciśnij dowolny klawisz, by kontynuować!\n");
    EXPECT_EQ(audio.calls("openSound").size(), 3u);
    // a.wav (1000 ms) still sounds at 5300, so it is restarted at once.
    EXPECT_EQ(audio.trace({"play", "reset"}, true),
              (std::vector<std::string>{"5000 play a.wav", "5100 play b.wav", "5300 reset a.wav",
                                        "5300 play c.wav"}));
    EXPECT_EQ(clock.now, 5600) << "the last pause is waited out";
    EXPECT_EQ(audio.liveSounds(), 0);
    EXPECT_EQ(audio.liveDevices(), 0);
    EXPECT_EQ(audio.soundsOutlivingDevice(), 0);
}

TEST_F(Playback, EndValueStopsAtItsNote) {
    writeFile("s.tsf", "T 1 3 a.wav 100 b.wav 9999 c.wav 100 ");
    keys({{'k', 5000}, {'k'}});
    EXPECT_EQ(Play("s.tsf"), "ALL_OK");
    EXPECT_EQ(audio.trace({"play", "reset"}, true),
              (std::vector<std::string>{"5000 play a.wav", "5100 play b.wav"}));
    EXPECT_EQ(clock.now, 5100);
    EXPECT_NE(out().find("Granie dźwięku nr 1!\nKoniec!\n"), std::string::npos);
}

TEST_F(Playback, SongOfNoNotes) {
    writeFile("s.tsf", "T 1 0 ");
    keys({{'k'}, {'k'}});
    EXPECT_EQ(Play("s.tsf"), "ALL_OK");
    EXPECT_EQ(out(), "Trwa zliczanie dźwięków...\nNaciśnij dowolny przycisk aby zagrać utwór pt. "
                     "T!\n" +
                         testing_support::banner() +
                         "Utwór: T, Rok Wydania: 1\nKoniec!\n"
                         "Naciśnij dowolny klawisz, by kontynuować!\n");
}

TEST_F(Playback, MissingSoundOrFile) {
    writeFile("s.tsf", "T 1 3 a.wav 100 b.wav 100 c.wav 100 ");
    audio.missing = {"b.wav"};
    keys({{'k'}});
    EXPECT_EQ(Play("s.tsf"), "Can't find sound");
    EXPECT_NE(
        out().find(
            "Trwa generowanie dźwięku b.wav!\nNieznaleziono dźwięku b.wav\n"
            "Nie ma takiego pliku!\nDoinstalowanie odpowiednich pakietów rozwiąże problem!\n"),
        std::string::npos);
    EXPECT_EQ(out().find("c.wav!"), std::string::npos);
    EXPECT_TRUE(audio.trace({"play", "reset"}, true).empty());
    EXPECT_EQ(keysLeft(), 0);
    EXPECT_EQ(audio.liveSounds() + audio.liveDevices(), 0);

    clearOutput();
    EXPECT_EQ(Play("none.tsf"), "Can't find file!");
    EXPECT_EQ(out(), "");

    // Without a device the missing file is told all the same, and nothing
    // waits for the start key.
    clearOutput();
    audio.noDevice = true;
    keys({{'k'}, {'k'}});
    EXPECT_EQ(Play("s.tsf"), "Can't find sound");
    EXPECT_NE(out().find("Nieznaleziono dźwięku b.wav\nNie ma takiego pliku!\n"), std::string::npos)
        << out();
    EXPECT_EQ(out().find("Naciśnij dowolny przycisk aby zagrać"), std::string::npos);
    EXPECT_EQ(keysLeft(), 0);
}

TEST_F(Playback, BrokenFileIsNeverPlayed) {
    writeFile("s.tsf", "T 1 3 a.wav 100 b.wav -4 c.wav 100 ");
    keys({{'k'}});
    EXPECT_EQ(Play("s.tsf"), "Can't find file!");
    EXPECT_EQ(out(), Zawin("Nie można odtworzyć pliku s.tsf, wiersz 1, kolumna 23: pauza nuty nr 2 "
                           "(-4) musi być liczbą nieujemną!") +
                         "\n");
    EXPECT_TRUE(audio.calls().empty());
    EXPECT_EQ(keysLeft(), 0);
}

TEST_F(Playback, PlayPrTakesTheWholeLineAsTheName) {
    struct Case {
        const char *typed; // after the menu's choice, with its line end
        const char *file;
    } cases[] = {{"\nmy song\n", "my song.tsf"}, {"\n\n", ".tsf"}, {" x\n", "x.tsf"}};
    for (const Case &c : cases) {
        writeFile(c.file, "T 1 0 ");
        input(c.typed);
        keys({{'k'}, {'k'}});
        clearOutput();
        PlayPr();
        EXPECT_EQ(out().find(testing_support::banner() + "Podaj nazwę pliku: "), 0u) << c.typed;
        EXPECT_NE(out().find("Koniec!"), std::string::npos) << c.typed;
        std::filesystem::remove(c.file);
    }
}
