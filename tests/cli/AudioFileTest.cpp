// SPDX-License-Identifier: GPL-3.0-or-later
// Sound files in and out: what reaches the disk, and what never does.
#include "cli/AudioFile.h"
#include "ToolFixture.h"

#include <gtest/gtest.h>

#include <sndfile.h>

namespace {

std::unique_ptr<cli::SoundFileSink> writeFrames(const std::string& path, int frames,
                                                cli::SampleFormat format,
                                                std::optional<long long> maxFrames) {
    std::string error;
    auto sink = cli::SoundFileSink::create(path, 48000.0, format, maxFrames, error);
    EXPECT_TRUE(sink) << error;
    if (!sink) return nullptr;
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    for (int i = 0; i < frames; ++i) {
        left[static_cast<std::size_t>(i)] = 0.001f * static_cast<float>(i % 500);
        right[static_cast<std::size_t>(i)] = -left[static_cast<std::size_t>(i)];
    }
    EXPECT_TRUE(sink->write(left.data(), right.data(), frames, error)) << error;
    return sink;
}

} // namespace

TEST(SoundFileSink, CommittedFileHoldsExactlyWhatWasWritten) {
    clitest::TempDir dir;
    for (std::optional<long long> maxFrames :
         {std::optional<long long>(1000), std::optional<long long>()}) {
        auto sink = writeFrames(dir.file("out.wav"), 1000, cli::SampleFormat::float32, maxFrames);
        ASSERT_TRUE(sink);
        std::string error;
        ASSERT_TRUE(sink->commit(error)) << error;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.wav"}) << "the temporary is gone";
        clitest::Sound out = clitest::readSound(dir.file("out.wav"));
        ASSERT_EQ(out.frames(), 1000) << (maxFrames ? "known length" : "unknown length");
        EXPECT_EQ(out.channels, 2);
        EXPECT_EQ(out.sampleRate, 48000.0);
        EXPECT_EQ(out.at(499, 0), 0.499f);
        EXPECT_EQ(out.at(499, 1), -0.499f);
        // A file of unknown length is written for large sizes but ends as ordinary WAV.
        EXPECT_NE(clitest::soundFormat(dir.file("out.wav")) & SF_FORMAT_TYPEMASK, SF_FORMAT_RF64);
        EXPECT_TRUE(cli::SoundFileSink::writtenByThisTool(dir.file("out.wav")));
    }
    // Only its own files count as its own.
    clitest::writeSound(dir.file("foreign.wav"), clitest::testSignal(44100.0, 2, 0.01, 1),
                        SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_FALSE(cli::SoundFileSink::writtenByThisTool(dir.file("foreign.wav")));
    EXPECT_FALSE(cli::SoundFileSink::writtenByThisTool(dir.file("missing.wav")));
}

TEST(SoundFileSink, UncommittedFileLeavesNothingBehind) {
    clitest::TempDir dir;
    {
        auto sink = writeFrames(dir.file("out.flac"), 4000, cli::SampleFormat::pcm24, 4000);
        ASSERT_TRUE(sink);
        ASSERT_EQ(dir.entries().size(), 1u);
        EXPECT_EQ(dir.entries()[0].rfind(".out.flac.partial-", 0), 0u) << dir.entries()[0];
    }
    EXPECT_TRUE(dir.entries().empty()) << "a render that fails leaves no file";
}

TEST(SoundFileSink, FullScaleIsClippedNotWrapped) {
    clitest::TempDir dir;
    std::string error;
    auto sink = cli::SoundFileSink::create(dir.file("loud.wav"), 44100.0, cli::SampleFormat::pcm24,
                                           2, error);
    ASSERT_TRUE(sink) << error;
    const float left[2] = {1.5f, -3.0f}, right[2] = {0.25f, 2.0f};
    ASSERT_TRUE(sink->write(left, right, 2, error)) << error;
    ASSERT_TRUE(sink->commit(error)) << error;
    clitest::Sound out = clitest::readSound(dir.file("loud.wav"));
    EXPECT_NEAR(out.at(0, 0), 1.0f, 1e-6);
    EXPECT_NEAR(out.at(1, 0), -1.0f, 1e-6);
    EXPECT_NEAR(out.at(1, 1), 1.0f, 1e-6);
}

TEST(SoundFileSource, ReadsMonoAndRefusesRatesTheEffectCannotRun) {
    clitest::TempDir dir;
    clitest::Sound mono = clitest::testSignal(8000.0, 1, 0.1, 4);
    clitest::writeSound(dir.file("mono.wav"), mono, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    std::string error;
    auto source = cli::SoundFileSource::open(dir.file("mono.wav"), error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->channels(), 1);
    EXPECT_EQ(source->sampleRate(), 8000.0);
    EXPECT_EQ(source->totalFrames(), mono.frames());
    std::vector<float> left(2000, 9.0f), right(2000, 9.0f);
    EXPECT_EQ(source->read(left.data(), right.data(), 2000, error), mono.frames());
    EXPECT_EQ(left[10], mono.at(10, 0));
    EXPECT_EQ(right[10], 9.0f) << "a mono source leaves the right buffer alone";
    EXPECT_EQ(source->read(left.data(), right.data(), 2000, error), 0) << "end of file";

    clitest::writeSound(dir.file("slow.wav"), clitest::testSignal(2000.0, 2, 0.1, 4),
                        SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_FALSE(cli::SoundFileSource::open(dir.file("slow.wav"), error));
    EXPECT_NE(error.find("2000 Hz"), std::string::npos) << error;
}
