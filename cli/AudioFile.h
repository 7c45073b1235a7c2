// SPDX-License-Identifier: GPL-3.0-or-later
// Sound files through libsndfile. Input: any format libsndfile reads (WAV, FLAC, AIFF, OGG
// and more), mono or stereo. Output: stereo WAV or FLAC, chosen by the file's extension,
// written to a temporary file beside it and renamed into place only when complete, so a
// failed render never leaves a partial output behind.
#pragma once

#include "cli/AudioStream.h"
#include "cli/Options.h"

#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

namespace cli {

class SoundFileSource : public AudioSource {
public:
    // Opens path for reading; null with the reason in error.
    static std::unique_ptr<SoundFileSource> open(const std::string& path, std::string& error);
    ~SoundFileSource() override;

    int channels() const override { return channelCount; }
    double sampleRate() const override { return rate; }
    std::optional<long long> totalFrames() const override { return frames; }
    std::optional<long long> promisedFrames() const override { return promised; }
    long long read(float* left, float* right, long long frames, std::string& error) override;

private:
    SoundFileSource() = default;
    sf_private_tag* file = nullptr;
    std::string path;
    int channelCount = 0;
    double rate = 0.0;
    std::optional<long long> frames;
    std::optional<long long> promised;
    std::vector<float> interleaved;
};

// The frame count a sound file's header claims beyond what the file holds, from
// libsndfile's account of the header ("data : 661500 (should be 50272)" and the like);
// none when the header and the file agree. frames is what libsndfile found.
std::optional<long long> promisedByHeader(std::string_view log, long long frames);

class SoundFileSink : public AudioSink {
public:
    // Checks that path names a format this tool writes (.wav or .flac) in the given sample
    // format; the reason in error when it does not.
    static bool checkOutputPath(const std::string& path, SampleFormat format, std::string& error);

    // True when path is a sound file that this tool wrote (it carries the tool's name as
    // its software string).
    static bool writtenByThisTool(const std::string& path);

    // Creates the temporary file beside path; null with the reason in error. maxFrames is
    // the most the render can write (none when unknown): it decides whether a WAV output
    // needs the large-file variant.
    static std::unique_ptr<SoundFileSink> create(const std::string& path, double sampleRate,
                                                 SampleFormat format,
                                                 std::optional<long long> maxFrames,
                                                 std::string& error);
    ~SoundFileSink() override; // removes the temporary file unless committed

    bool write(const float* left, const float* right, long long frames,
               std::string& error) override;
    // Finishes the file and moves it to its final name.
    bool commit(std::string& error);
    const std::string& temporaryPath() const { return tempPath; }

private:
    SoundFileSink() = default;
    void discard();

    sf_private_tag* file = nullptr;
    std::string path;
    std::string tempPath;
    bool committed = false;
    std::vector<float> interleaved;
};

} // namespace cli
