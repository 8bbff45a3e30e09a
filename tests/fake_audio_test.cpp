// The fake audio backend that the screen tests rely on. How its sounds play
// and end is checked against OpenAL in audio_test.cpp.
#include <gtest/gtest.h>

#include "platform/audio.h"
#include "support/fake_audio.h"
#include "support/harness.h"

using namespace audiere;
using testing_support::AudioCall;
using testing_support::FakeAudio;

namespace {

class FakeAudioTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::setClock(&clock); }
    void TearDown() override { platform::setClock(nullptr); }

    OutputStreamPtr open(AudioDevice *device, const char *file) {
        SampleSourcePtr source(AdrOpenSampleSource(file));
        return OutputStreamPtr(AdrOpenSound(device, source.get(), false));
    }

    testing_support::FakeClock clock; // starts at 1000
    FakeAudio audio;
};

TEST_F(FakeAudioTest, RecordsEveryCallWithTheClockTime) {
    {
        AudioDevicePtr device(AdrOpenDevice());
        OutputStreamPtr s = open(device.get(), "a.wav");
        s->setVolume(0.5f);
        s->setRepeat(false);
        clock.now += 10;
        s->play();
        clock.now += 20;
        EXPECT_TRUE(s->isPlaying());
        s->reset();
        s->stop();
        EXPECT_FALSE(s->isPlaying());
        s = OutputStreamPtr();
        clock.now += 5;
    }
    std::vector<AudioCall> want = {
        {1000, "openDevice", "", 1},        {1000, "openSource", "a.wav", 1},
        {1000, "openSound", "a.wav", 1},    {1000, "releaseSource", "a.wav", 0},
        {1000, "setVolume", "a.wav", 0.5f}, {1000, "setRepeat", "a.wav", 0},
        {1010, "play", "a.wav", 0},         {1030, "isPlaying", "a.wav", 1},
        {1030, "reset", "a.wav", 0},        {1030, "stop", "a.wav", 0},
        {1030, "isPlaying", "a.wav", 0},    {1030, "releaseSound", "a.wav", 0},
        {1035, "releaseDevice", "", 0},
    };
    EXPECT_EQ(audio.calls(), want);
    EXPECT_EQ(audio.calls("isPlaying").size(), 2u);
}

TEST_F(FakeAudioTest, MissingFilesAndNoDeviceGiveNull) {
    audio.missing = {"gone.wav"};
    AudioDevicePtr device(AdrOpenDevice());
    ASSERT_TRUE(device);
    EXPECT_FALSE(open(device.get(), "gone.wav"));
    EXPECT_TRUE(open(device.get(), "here.wav"));
    audio.noDevice = true;
    EXPECT_FALSE(AdrOpenDevice());
    std::vector<AudioCall> opens = audio.calls("openSource");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].value, 0) << "the failed open is recorded as such";
    EXPECT_EQ(audio.calls("openDevice").back().value, 0);
}

TEST_F(FakeAudioTest, SoundsPlayForTheirLength) {
    audio.defaultLengthMs = 1000;
    audio.lengthMs["short.wav"] = 100;
    AudioDevicePtr device(AdrOpenDevice());
    OutputStreamPtr normal = open(device.get(), "normal.wav");
    OutputStreamPtr shortOne = open(device.get(), "short.wav");
    normal->play();
    shortOne->play();
    struct {
        int after;
        bool normal, shortOne;
    } checks[] = {{0, true, true},
                  {99, true, true},
                  {100, true, false},
                  {999, true, false},
                  {1000, false, false}};
    for (const auto &c : checks) {
        clock.now = 1000 + c.after;
        EXPECT_EQ(audio.playing("normal.wav"), c.normal) << "after " << c.after;
        EXPECT_EQ(audio.playing("short.wav"), c.shortOne) << "after " << c.after;
    }
}

TEST_F(FakeAudioTest, CountsWhatIsAliveAndSoundsReleasedAfterTheirDevice) {
    struct Case {
        bool deviceFirst;
        int outliving;
    } cases[] = {{false, 0}, {true, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.deviceFirst ? "device released first" : "sounds first");
        FakeAudio fresh;
        AudioDevicePtr device(AdrOpenDevice());
        OutputStreamPtr s = open(device.get(), "a.wav");
        EXPECT_EQ(fresh.liveDevices(), 1);
        EXPECT_EQ(fresh.liveSounds(), 1);
        EXPECT_EQ(fresh.liveSources(), 0) << "released once the sound is open";
        if (c.deviceFirst)
            device = AudioDevicePtr();
        s = OutputStreamPtr();
        device = AudioDevicePtr();
        EXPECT_EQ(fresh.liveDevices(), 0);
        EXPECT_EQ(fresh.liveSounds(), 0);
        EXPECT_EQ(fresh.soundsOutlivingDevice(), c.outliving);
    }
}

} // namespace
