// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the tessel-render tests: a temporary folder, running the built tool with its
// output captured, and reading and writing sound files.
#pragma once

#include "support/TempFolder.h"

#include <string>
#include <vector>

namespace clitest {

// A fresh temporary folder for one test, removed with everything in it.
class TempDir : public TempFolder {
public:
    std::string file(const std::string& name) const { return *this / name; }
    // The names of the folder's entries, hidden ones included, sorted; the tool's settings
    // folder ".config" is left out.
    std::vector<std::string> entries() const;
};

struct ToolRun {
    int exitCode = -1; // the exit status, or 128 + signal
    std::string out;
    std::string err;
    // The lines of err.
    std::vector<std::string> errLines() const;
};

// Runs the built tessel-render with args in dir, waits for it and captures its output.
// The tool's settings store points into dir, never at the user's configuration.
ToolRun runTool(const std::vector<std::string>& args, const TempDir& dir);

// The process id of a tool started in the background (output to files in dir).
int startTool(const std::vector<std::string>& args, const TempDir& dir);
// Waits for a tool started with startTool; its exit code, or 128 + signal.
int waitTool(int pid);

// The tab-separated fields of each line of --list-params after args, and the tool's stderr.
struct Listing {
    std::vector<std::vector<std::string>> lines;
    std::string err;
    const std::vector<std::string>& line(int index) const {
        return lines.at(static_cast<std::size_t>(index));
    }
};
Listing listParams(std::vector<std::string> args, const TempDir& dir);

struct Sound {
    double sampleRate = 44100.0;
    int channels = 2;
    std::vector<float> samples; // interleaved
    long long frames() const { return static_cast<long long>(samples.size()) / channels; }
    float at(long long frame, int channel) const {
        return samples[static_cast<std::size_t>(frame * channels + channel)];
    }
};

// libsndfile major format and subtype, e.g. SF_FORMAT_WAV | SF_FORMAT_FLOAT.
void writeSound(const std::string& path, const Sound& sound, int format);
// Throws when the file cannot be read.
Sound readSound(const std::string& path);
// The libsndfile format field of a file, 0 when it cannot be read.
int soundFormat(const std::string& path);

// Seeded test material: a sine and noise per channel, different on each side.
Sound testSignal(double sampleRate, int channels, double seconds, unsigned seed);

// A mono sound of the given length holding `hit` from frame `at` on.
Sound monoWith(double sampleRate, double seconds, const std::vector<float>& hit, long long at);

// The tab-separated fields of each line of a listing.
std::vector<std::vector<std::string>> tabbedLines(const std::string& text);

// The largest magnitude over [fromSeconds, toSeconds) of one channel, or of all for -1.
float peakBetween(const Sound& sound, double fromSeconds, double toSeconds, int channel = -1);

} // namespace clitest
