// SPDX-License-Identifier: GPL-3.0-or-later
// Where the renderer reads its input and writes its output: files, or a buffer in memory
// (the demo phrase, tests). Channels are handed over de-interleaved.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual int channels() const = 0; // 1 or 2
    virtual double sampleRate() const = 0;
    virtual std::optional<long long> totalFrames() const = 0; // none when unknown
    // The length the source's header claims when that is more than it holds (a truncated
    // file); none otherwise.
    virtual std::optional<long long> promisedFrames() const { return std::nullopt; }

    // Reads up to `frames` frames into left (and right, for two channels). Answers the
    // number read, 0 at the end, or -1 with the reason in error.
    virtual long long read(float* left, float* right, long long frames, std::string& error) = 0;
};

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Writes stereo frames; false with the reason in error.
    virtual bool write(const float* left, const float* right, long long frames,
                       std::string& error) = 0;
};

struct StereoBuffer {
    double sampleRate = 44100.0;
    std::vector<float> left, right;
    long long frames() const { return static_cast<long long>(left.size()); }
};

// Reads a stereo buffer from the start.
class BufferSource : public AudioSource {
public:
    explicit BufferSource(const StereoBuffer& buffer) : buffer(buffer) {}
    int channels() const override { return 2; }
    double sampleRate() const override { return buffer.sampleRate; }
    std::optional<long long> totalFrames() const override { return buffer.frames(); }
    long long read(float* left, float* right, long long frames, std::string& error) override;

private:
    const StereoBuffer& buffer;
    long long position = 0;
};

// Collects what is written, for tests.
class BufferSink : public AudioSink {
public:
    StereoBuffer buffer;
    bool write(const float* left, const float* right, long long frames,
               std::string& error) override;
};

} // namespace cli
