// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/ArtCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<uint8_t> roundTrip(const std::vector<uint8_t>& input) {
    const std::vector<uint8_t> code = art::lzEncode(input.data(), input.size());
    std::vector<uint8_t> output(input.size());
    EXPECT_TRUE(art::lzDecode(code.data(), code.size(), output.data(), output.size()));
    return output;
}

} // namespace

TEST(ArtCodec, RoundTripsRunsLiteralsRepeatsAndNoise) {
    std::mt19937 noise(11);
    std::vector<std::vector<uint8_t>> inputs = {{}, {7}, {1, 2, 3}};
    inputs.push_back(std::vector<uint8_t>(100000, 42)); // one long run
    std::vector<uint8_t> literals(5000);
    for (auto& b : literals) b = uint8_t(noise()); // longer than any literal count byte
    inputs.push_back(literals);
    std::vector<uint8_t> frames; // a "strip": frames that differ a little, far apart
    for (int f = 0; f < 50; ++f)
        for (int i = 0; i < 4000; ++i) frames.push_back(uint8_t(i % 97 == f ? f : i / 40));
    inputs.push_back(frames);
    for (const auto& input : inputs) EXPECT_EQ(roundTrip(input), input) << input.size() << " bytes";

    const std::vector<uint8_t> code = art::lzEncode(frames.data(), frames.size());
    EXPECT_LT(code.size(), frames.size() / 10) << "repeated frames should code compactly";
}

TEST(ArtCodec, RefusesCodeThatDoesNotFitTheOutput) {
    std::vector<uint8_t> input(3000);
    for (size_t i = 0; i < input.size(); ++i) input[i] = uint8_t(i % 13 == 0 ? i : 5);
    const std::vector<uint8_t> code = art::lzEncode(input.data(), input.size());
    std::vector<uint8_t> out(input.size() + 1);
    EXPECT_FALSE(art::lzDecode(code.data(), code.size(), out.data(), input.size() - 1));
    EXPECT_FALSE(art::lzDecode(code.data(), code.size(), out.data(), input.size() + 1));
    for (size_t cut = 1; cut < code.size(); cut += 7)
        EXPECT_FALSE(art::lzDecode(code.data(), code.size() - cut, out.data(), input.size()))
            << "code cut short by " << cut;
    // A match reaching back before the start of the output.
    const uint8_t before[] = {0x10, 'a', 5, 0x00};
    EXPECT_FALSE(art::lzDecode(before, sizeof before, out.data(), 5));
    const uint8_t zeroDistance[] = {0x10, 'a', 0, 0x00};
    EXPECT_FALSE(art::lzDecode(zeroDistance, sizeof zeroDistance, out.data(), 5));
}
