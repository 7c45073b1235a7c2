// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <numbers>
#include <sndfile.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace clitest {

namespace fs = std::filesystem;

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    // The tool's private settings folder is not one of its outputs.
    for (const auto& entry : fs::directory_iterator(path()))
        if (entry.path().filename() != ".config") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ToolRun::errLines() const {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

namespace {

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

int startTool(const std::vector<std::string>& args, const TempDir& dir) {
    std::vector<std::string> argStore = {TESSEL_RENDER_PATH};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    // The child's environment: ours, with the settings store inside the test folder.
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string(*e).rfind("TESSEL_CONFIG_HOME=", 0) != 0) envStore.emplace_back(*e);
    envStore.push_back("TESSEL_CONFIG_HOME=" + dir.file(".config"));
    std::vector<char*> envp;
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string outPath = dir.file(".tool-stdout"), errPath = dir.file(".tool-stderr");
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    pid_t pid = -1;
    int rc = posix_spawn(&pid, TESSEL_RENDER_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " TESSEL_RENDER_PATH);
    return pid;
}

int waitTool(int pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return exitCodeOf(status);
}

ToolRun runTool(const std::vector<std::string>& args, const TempDir& dir) {
    ToolRun run;
    run.exitCode = waitTool(startTool(args, dir));
    run.out = TempFolder::readText(dir.file(".tool-stdout"));
    run.err = TempFolder::readText(dir.file(".tool-stderr"));
    fs::remove(dir.file(".tool-stdout"));
    fs::remove(dir.file(".tool-stderr"));
    return run;
}

Listing listParams(std::vector<std::string> args, const TempDir& dir) {
    args.push_back("--list-params");
    ToolRun run = runTool(args, dir);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return {tabbedLines(run.out), run.err};
}

void writeSound(const std::string& path, const Sound& sound, int format) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(sound.sampleRate);
    info.channels = sound.channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write test file " + path);
    sf_writef_float(file, sound.samples.data(), sound.frames());
    sf_close(file);
}

Sound readSound(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) throw std::runtime_error("cannot read " + path);
    Sound sound;
    sound.sampleRate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

int soundFormat(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return 0;
    sf_close(file);
    return info.format;
}

Sound testSignal(double sampleRate, int channels, double seconds, unsigned seed) {
    Sound sound;
    sound.sampleRate = sampleRate;
    sound.channels = channels;
    auto frames = static_cast<long long>(seconds * sampleRate);
    sound.samples.resize(static_cast<std::size_t>(frames * channels));
    unsigned state = seed != 0 ? seed : 1u;
    for (long long i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            state = state * 1664525u + 1013904223u;
            float noise = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
            double t = static_cast<double>(i) / sampleRate;
            float tone =
                static_cast<float>(std::sin(2.0 * std::numbers::pi * (330.0 + 110.0 * c) * t));
            sound.samples[static_cast<std::size_t>(i * channels + c)] = 0.4f * tone + 0.2f * noise;
        }
    }
    return sound;
}

Sound monoWith(double sampleRate, double seconds, const std::vector<float>& hit, long long at) {
    Sound sound;
    sound.sampleRate = sampleRate;
    sound.channels = 1;
    sound.samples.assign(static_cast<std::size_t>(seconds * sampleRate), 0.0f);
    for (std::size_t i = 0; i < hit.size(); ++i)
        if (static_cast<std::size_t>(at) + i < sound.samples.size())
            sound.samples[static_cast<std::size_t>(at) + i] = hit[i];
    return sound;
}

std::vector<std::vector<std::string>> tabbedLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        lines.push_back(fields);
    }
    return lines;
}

float peakBetween(const Sound& sound, double fromSeconds, double toSeconds, int channel) {
    float peak = 0.0f;
    const auto from = std::max<long long>(0, std::llround(fromSeconds * sound.sampleRate));
    const auto to = std::min(sound.frames(), std::llround(toSeconds * sound.sampleRate));
    for (long long i = from; i < to; ++i)
        for (int c = 0; c < sound.channels; ++c)
            if (channel < 0 || c == channel) peak = std::max(peak, std::fabs(sound.at(i, c)));
    return peak;
}

} // namespace clitest
