// The WAV helpers that the sound tests read OpenAL's output with.
#include <fstream>
#include <gtest/gtest.h>

#include "support/e2e.h"
#include "support/wav.h"

namespace {

using testing_support::Wav;
using testing_support::WavFormat;

TEST(WavFiles, WhatIsWrittenReadsBack) {
    const struct {
        WavFormat format;
        int channels;
        bool unfinished; // sizes left at 0, as a writer that has not closed leaves them
        float tolerance;
    } cases[] = {
        {WavFormat::Pcm16, 1, false, 1.0f / 32767}, {WavFormat::Pcm16, 2, false, 1.0f / 32767},
        {WavFormat::Float32, 1, false, 0},          {WavFormat::Float32, 2, true, 0},
        {WavFormat::Pcm16, 1, true, 1.0f / 32767},
    };
    testing_support::TempDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "float " << (c.format == WavFormat::Float32) << " channels " << c.channels
                     << " unfinished " << c.unfinished);
        Wav w;
        w.rate = 22050;
        w.channels = c.channels;
        w.samples = testing_support::chirp(100, 5000, 50, 22050 * c.channels, 0.7f);
        w.samples.resize(w.samples.size() / c.channels * c.channels); // whole frames
        std::string path = (dir.path() / "x.wav").string();
        ASSERT_TRUE(writeWav(path, w, c.format));
        if (c.unfinished) {
            std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
            std::string head(128, '\0');
            f.read(head.data(), head.size());
            std::size_t data = head.find("data");
            f.clear();
            for (std::size_t at : {std::size_t(4), data + 4}) {
                f.seekp(static_cast<std::streamoff>(at));
                f.write("\0\0\0\0", 4);
            }
        }
        auto r = testing_support::readWav(path);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->rate, 22050);
        EXPECT_EQ(r->channels, c.channels);
        ASSERT_EQ(r->samples.size(), w.samples.size());
        for (std::size_t i = 0; i < w.samples.size(); ++i)
            ASSERT_NEAR(r->samples[i], w.samples[i], c.tolerance) << "sample " << i;
    }
}

TEST(WavFiles, NotAWavIsNothing) {
    testing_support::TempDir dir;
    dir.write("text.wav", "RIFF....WAVEjunk");
    dir.write("empty.wav", "");
    for (const char *name : {"text.wav", "empty.wav", "missing.wav"})
        EXPECT_FALSE(testing_support::readWav((dir.path() / name).string())) << name;
}

} // namespace
