// SPDX-License-Identifier: GPL-3.0-or-later
// The README's list of factory programs is made from the factory table: each program's
// one-line comment, whether it follows the tempo, whether it is fully wet, and whether a
// mono source comes out with different sides. The test fails when the README drifts from
// the table; with TESSEL_UPDATE_README=1 it writes the list into the README instead.
#include "cli/AudioStream.h"
#include "cli/RenderHost.h"
#include "cli/Renderer.h"
#include "engine/Parameters.h"
#include "presets/FactoryPrograms.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr std::string_view kBegin = "<!-- program list:";
constexpr std::string_view kEnd = "<!-- end of program list -->";

// Each row's comment in the factory table: "    // 18: ping-pong: ...".
std::vector<std::string> rowComments() {
    std::vector<std::string> comments(kNumPrograms);
    std::istringstream in(TempFolder::readText(TESSEL_SOURCE_DIR "/presets/FactoryPrograms.cpp"));
    for (std::string line; std::getline(in, line);) {
        const std::size_t at = line.find_first_not_of(' ');
        if (at == std::string::npos || line.compare(at, 3, "// ") != 0) continue;
        int k = -1;
        const char* digits = line.data() + at + 3;
        auto [end, ec] = std::from_chars(digits, line.data() + line.size(), k);
        if (ec != std::errc() || line.data() + line.size() - end < 2 ||
            std::string_view(end, 2) != ": ")
            continue;
        if (k >= 0 && k < kNumPrograms)
            comments[static_cast<std::size_t>(k)] = std::string(end + 2);
    }
    return comments;
}

bool stepOn(const FactoryProgram& p, ParameterId id) {
    return step(static_cast<float>(p.values[id]), 2) == 1;
}

// Whether a short mono burst comes out different on the two sides.
bool widensMono(int program) {
    cli::RenderHost host;
    host.configure(22050.0, 512, 120.0);
    host.selectProgram(program);
    host.start();
    cli::StereoBuffer input;
    input.sampleRate = 22050.0;
    input.left.assign(22050 * 3, 0.0f);
    unsigned state = 1;
    for (std::size_t i = 0; i < 2205; ++i) {
        state = state * 1664525u + 1013904223u;
        input.left[i] = 0.5f * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
    input.right = input.left;
    cli::BufferSource source(input);
    cli::BufferSink sink;
    cli::RenderPlan plan;
    plan.tailSeconds = 0.0;
    cli::render(host, source, sink, plan);
    float peak = 0.0f, difference = 0.0f;
    for (std::size_t i = 0; i < sink.buffer.left.size(); ++i) {
        peak = std::max(peak, std::fabs(sink.buffer.left[i]));
        difference = std::max(difference, std::fabs(sink.buffer.left[i] - sink.buffer.right[i]));
    }
    return difference > 1e-3f * peak;
}

std::string programList() {
    const std::vector<std::string> comments = rowComments();
    std::string list = "| # | Program | What it does | Follows the tempo | Mono in | Mix |\n"
                       "|---|---|---|---|---|---|\n";
    for (int k = 0; k < kNumPrograms; ++k) {
        const FactoryProgram& p = kFactoryPrograms[k];
        const bool delaySync = stepOn(p, kDlyLMode) || stepOn(p, kDlyRMode);
        const bool lfoSync =
            stepOn(p, kModOn) && stepOn(p, kModLfoMode) && p.values[kModSource] < 1.0;
        const char* tempo = delaySync && lfoSync ? "delay, LFO"
                            : delaySync          ? "delay"
                            : lfoSync            ? "LFO"
                                                 : "";
        list += "| " + std::to_string(k) + " | `" + p.name + "` | " +
                comments[static_cast<std::size_t>(k)] + " | " + tempo + " | " +
                (widensMono(k) ? "stereo" : "same on both sides") + " | " +
                (p.values[kMainMix] == 1.0 ? "fully wet" : "") + " |\n";
    }
    return list;
}

} // namespace

TEST(ReadmeProgramList, MatchesTheFactoryTable) {
    const std::string path = TESSEL_SOURCE_DIR "/README.md";
    std::string readme = TempFolder::readText(path);
    const std::size_t begin = readme.find(kBegin);
    const std::size_t end = readme.find(kEnd);
    ASSERT_NE(begin, std::string::npos) << "the README has no program list";
    ASSERT_NE(end, std::string::npos) << "the README's program list has no end marker";
    const std::size_t start = readme.find('\n', begin) + 1;
    ASSERT_LE(start, end);

    const std::string expected = programList();
    for (const std::string& comment : rowComments())
        EXPECT_FALSE(comment.empty()) << "a factory row lacks its comment";
    if (const char* update = std::getenv("TESSEL_UPDATE_README"); update && *update == '1') {
        readme.replace(start, end - start, expected);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << readme;
        GTEST_SKIP() << "wrote the program list into " << path;
    }
    EXPECT_EQ(readme.substr(start, end - start), expected)
        << "the README's program list differs from the factory table; run the cli tests with "
           "TESSEL_UPDATE_README=1 to write it";
}
