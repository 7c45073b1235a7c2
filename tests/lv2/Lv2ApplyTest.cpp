// SPDX-License-Identifier: GPL-3.0-or-later
// lv2apply, the minimal host: no features, no event buffer, control values by symbol.
#include "lv2/Lv2Host.h"
#include "lv2/PortLayout.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string findProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

void put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xff);
}
void put16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>(v >> 8);
}

// A stereo 32-bit float WAV file of interleaved samples.
std::string floatWav(const std::vector<float>& interleaved, std::uint32_t rate) {
    const auto bytes = static_cast<std::uint32_t>(interleaved.size() * sizeof(float));
    std::string s = "RIFF";
    put32(s, 36 + bytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 3); // IEEE float
    put16(s, 2);
    put32(s, rate);
    put32(s, rate * 8);
    put16(s, 8);
    put16(s, 32);
    s += "data";
    put32(s, bytes);
    s.append(reinterpret_cast<const char*>(interleaved.data()), bytes);
    return s;
}

// The interleaved samples of a float WAV file's data chunk; empty when there is none.
std::vector<float> wavSamples(const std::string& file) {
    for (std::size_t pos = 12; pos + 8 <= file.size();) {
        std::uint32_t size = 0;
        std::memcpy(&size, file.data() + pos + 4, 4);
        if (file.compare(pos, 4, "data") == 0) {
            std::vector<float> x(std::min<std::size_t>(size, file.size() - pos - 8) / 4);
            std::memcpy(x.data(), file.data() + pos + 8, x.size() * 4);
            return x;
        }
        pos += 8 + size + (size & 1);
    }
    return {};
}

} // namespace

TEST(Lv2Apply, RendersAFileWithControlValues) {
#ifdef TESSEL_SANITIZED
    GTEST_SKIP() << "the bundle of a sanitizer build needs a runtime that lv2apply lacks";
#endif
    const std::string lv2apply = findProgram("lv2apply");
    if (lv2apply.empty()) GTEST_SKIP() << "lv2apply is not installed (package lilv-utils)";
    Lv2World w; // sets LV2_PATH for the child too
    ASSERT_NE(w.plugin, nullptr);
    TempFolder files;
    constexpr std::uint32_t kRate = 44100;
    constexpr std::size_t kImpulse = 100;
    std::vector<float> in(2 * kRate, 0.0f);
    in[2 * kImpulse] = in[2 * kImpulse + 1] = 1.0f;
    TempFolder::writeText(files / "in.wav", floatWav(in, kRate));
    // Fully wet, the VCO clock off: the left echo after 500 ms, the right after 250 ms.
    const std::string command = lv2apply + " -i '" + (files / "in.wav") + "' -o '" +
                                (files / "out.wav") +
                                "' -c dlyl_time 500 -c dlyr_time 250 -c main_mix 100 -c vco_on 0 " +
                                lv2ports::kPluginUri + " 2>'" + (files / "errors.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << TempFolder::readText(files / "errors.txt");
    const std::vector<float> out = wavSamples(TempFolder::readText(files / "out.wav"));
    ASSERT_EQ(out.size(), in.size());
    std::size_t peak[2] = {0, 0};
    for (std::size_t i = 0; i < out.size(); ++i)
        if (std::fabs(out[i]) > std::fabs(out[2 * peak[i % 2] + i % 2])) peak[i % 2] = i / 2;
    EXPECT_EQ(peak[0], kImpulse + kRate / 2);
    EXPECT_EQ(peak[1], kImpulse + kRate / 4);
}
