// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-effect renders pinned to the exact output bits: a seeded signal runs through the
// effect under settings that between them reach every section, both reverb types, every LFO
// wave, the clocked delay with a moving clock and the filter in each placement, at 44100 and
// 96000 Hz; a 64-bit hash of every output float must match the value stored here.
//
// Why exact bits rather than a tolerance: the processing is plain IEEE float and double
// arithmetic (no fused multiply-add, no reassociation), so a change that only reorganises
// the code (inlining, hoisting, local copies, a choice made per block instead of per
// sample) leaves every bit as it was, and any difference at all means the sound changed.
// A change that is meant to alter rounding must prove itself against a reference
// rendering before the stored hashes are replaced. The engine calls no C library maths per
// sample (its own 2^x, sine and fourth root are proved against the library in
// FastMathTest), so the bits do not depend on which variant the library picks for the CPU.
// The renders are single-threaded and parameters change only between blocks, so reading
// the shared working values once per block or once per sample gives the same result. Each
// render's RMS is stored beside its hash, so a failure says how far the sound moved.
#include "support/BlockRender.h"
#include "support/EffectHost.h"
#include "support/TestSignal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Settings = std::vector<std::pair<VstInt32, float>>;

// Step values of the switches and choices: waves 0 sine, 1 square, 2 triangle, 3 saw,
// 4 random; filter modes 0 "in", 1 "fb", 2 "fx"; filter types 0 low-, 1 band-, 2 high-pass.
constexpr float kOff = 0.0f;
constexpr float kOn = 1.0f;
constexpr float wave(int w) {
    return centre(w, 5);
}
constexpr float filterMode(int m) {
    return centre(m, 3);
}
constexpr float filterType(int t) {
    return centre(t, 3);
}

// Every sound parameter in index order, which sets each range before the time it scales;
// eight to a line. The renders start from this and not from the factory bank, so edits to
// the bank leave them be.
// clang-format off
constexpr float kBase[kNumParams] = {
    0.5f, 0.5f, 0.5f, 0.6f, 0.5f, 0.3f, 0.8f, kOff,  // kMainIn .. kDlyLFbInv
    kOn, wave(0), 0.45f, 0.75f, 0.3f, 0.8f, filterType(0), 0.6f,  // kDlyRFbInv .. kFltCutoff
    0.5f, 0.6f, 0.7f, kOff, kOff, 0.4f, 0.2f, filterMode(1),  // kFltRes .. kFltMode
    kOff, kOff, 0.0f, 0.0f, 0.0f, 0.0f, centre(1, 3), centre(1, 3),  // kDlyLMode .. kDlyRRange
    kOff, centre(1, 5), 0.0f, 0.12f, 0.09f, kOff, kOff, 0.3f,  // kModLfoMode .. kRvbDamp
    0.4f, kOff, kOff, kOff, kOff, kOff, kOff, 0.5f  // kRvbAmt .. kModSens
};
// clang-format on

struct Render {
    const char* name;
    float rate;
    Settings settings;                           // on top of kBase
    std::function<void(Drell&, int)> automation; // before each block, given its index
    bool hostPosition = false;                   // the host reports a moving song position
    std::uint64_t hash;
    double rms;
};

// Block sizes cycle through these, so block boundaries fall everywhere.
constexpr int kBlockSizes[] = {512, 1, 37, 256, 100, 480, 2, 333};

// FNV-1a over the bit patterns of the output floats.
class Hash {
public:
    void add(float x) {
        std::uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        for (int b = 0; b < 4; ++b) {
            value ^= (bits >> (8 * b)) & 0xFFu;
            value *= 0x100000001B3ull;
        }
    }
    std::uint64_t value = 0xCBF29CE484222325ull;
};

struct Result {
    std::uint64_t hash;
    double rms;
    bool finite;
};

// Renders r, through the per-sample chain alone where reference is set; the output, left and
// right interleaved, also into samples where given.
Result render(const Render& r, std::vector<float>* samples = nullptr, bool reference = false) {
    EffectHost host;
    if (r.hostPosition) {
        host.timeInfo = VstTimeInfo{};
        host.timeInfo->tempo = 132.0;
        host.timeInfo->ppqPos = 7.3;
    }
    auto drell = host.make();
    drell->setReferenceChain(reference);
    resumeAt(*drell, r.rate);
    for (VstInt32 i = 0; i < kNumParams; ++i) drell->setParameter(i, kBase[i]);
    for (const auto& [index, value] : r.settings) drell->setParameter(index, value);
    // Suspend and resume: settled smoothers, read positions at the set times, clear memories.
    drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);

    const int frames = static_cast<int>(0.6f * r.rate);
    // 0.6 s, the last 60 % silent: long enough for the tails (and the recursive states'
    // approach to zero) to play out.
    std::vector<float> inL = testsignal::burstsAndSweep(frames, 11);
    std::vector<float> inR = testsignal::burstsAndSweep(frames, 23);
    const blockrender::Stereo out = blockrender::render(
        *drell, inL, inR, kBlockSizes,
        [&](int block) {
            if (r.automation) r.automation(*drell, block);
        },
        [&](int n) {
            if (host.timeInfo) host.timeInfo->ppqPos += n * host.timeInfo->tempo / (60.0 * r.rate);
        });
    Hash hash;
    double energy = 0.0;
    bool finite = true;
    for (int i = 0; i < frames; ++i) {
        for (float y :
             {out.left[static_cast<std::size_t>(i)], out.right[static_cast<std::size_t>(i)]}) {
            if (samples != nullptr) samples->push_back(y);
            hash.add(y);
            energy += static_cast<double>(y) * y;
            finite = finite && std::isfinite(y);
        }
    }
    return {hash.value, std::sqrt(energy / (2.0 * frames)), finite};
}

std::string hex(std::uint64_t v) {
    static const char digits[] = "0123456789abcdef";
    std::string s = "0x";
    for (int shift = 60; shift >= 0; shift -= 4) s += digits[(v >> shift) & 0xFu];
    return s;
}

// A clock that never settles: the VCO depth target alternates every block. The first block
// starts at its value, set after the effect was switched on.
void moveClock(Drell& d, int block) {
    d.setParameter(kVcoMod, block % 2 != 0 ? 0.15f : 0.85f);
}

// clang-format off
const std::vector<Render>& renders() {
    static const std::vector<Render> table = {
        {"plain delay with a delay-time change", 44100.0f, {},
         [](Drell& d, int block) { if (block == 40) d.setParameter(kDlyLTime, 0.2f); },
         false, 0x72a332eb7018c344ull, 0.210086687},
        {"clocked delay, moving clock", 44100.0f,
         {{kVcoOn, kOn}, {kVcoManual, 0.9f}},
         moveClock, false, 0x036930162defc20dull, 0.210932578},
        {"filter in low-pass, drive, sine", 44100.0f,
         {{kFltOn, kOn}, {kFltMode, filterMode(0)}, {kFltRes, 0.8f}, {kDrvOn, kOn},
          {kDrvGain, 0.7f}, {kModOn, kOn}},
         nullptr, false, 0xe09d72730186ebfeull, 0.149952513},
        {"filter fb band-pass, sine, VCO, spring", 44100.0f,
         {{kFltOn, kOn}, {kFltType, filterType(1)}, {kModOn, kOn}, {kVcoOn, kOn}, {kRvbOn, kOn}},
         moveClock, false, 0x05e8eaa81063de19ull, 0.160862002},
        {"filter fx high-pass, triangle, drive, VCO, plate on the output", 44100.0f,
         {{kFltOn, kOn}, {kFltMode, filterMode(2)}, {kFltType, filterType(2)}, {kModOn, kOn},
          {kModLfoWave, wave(2)}, {kDrvOn, kOn}, {kVcoOn, kOn}, {kRvbOn, kOn}, {kRvbType, kOn},
          {kRvbMode, kOn}},
         nullptr, false, 0x2102de4e9f7e86eaull, 0.110078778},
        {"square, equal sides, filter fb, VCO, spring", 44100.0f,
         {{kFltOn, kOn}, {kModOn, kOn}, {kModLfoWave, wave(1)}, {kModLfoOffset, 0.5f},
          {kVcoOn, kOn}, {kRvbOn, kOn}, {kRvbAmt, 0.8f}},
         nullptr, false, 0xba17b6efdbaadd2cull, 0.184678997},
        {"saw, envelope blend, VCO, drive, plate", 44100.0f,
         {{kModOn, kOn}, {kModLfoWave, wave(3)}, {kModSource, 0.5f}, {kModSens, 0.9f},
          {kVcoOn, kOn}, {kDrvOn, kOn}, {kRvbOn, kOn}, {kRvbType, kOn}, {kRvbDamp, 0.0f}},
         nullptr, false, 0x8293fb9cfc2dbb63ull, 0.164081201},
        {"random on the host grid, filter fb, drive, VCO, spring", 44100.0f,
         {{kFltOn, kOn}, {kFltType, filterType(1)}, {kModOn, kOn}, {kModLfoWave, wave(4)},
          {kModLfoRate, 0.7f}, {kModLfoOffset, 0.9f}, {kDrvOn, kOn}, {kVcoOn, kOn},
          {kRvbOn, kOn}},
         moveClock, true, 0x0e20c26e69b7acc3ull, 0.159452297},
        {"every section at 96 kHz: filter fb, drive, sine, VCO, plate", 96000.0f,
         {{kFltOn, kOn}, {kDrvOn, kOn}, {kModOn, kOn}, {kVcoOn, kOn}, {kRvbOn, kOn},
          {kRvbType, kOn}},
         moveClock, false, 0x0d92dfc219ab3498ull, 0.163106855},
        {"random at 96 kHz, filter in band-pass, VCO, spring on the output", 96000.0f,
         {{kFltOn, kOn}, {kFltMode, filterMode(0)}, {kFltType, filterType(1)}, {kModOn, kOn},
          {kModLfoWave, wave(4)}, {kVcoOn, kOn}, {kRvbOn, kOn}, {kRvbMode, kOn},
          {kRvbDamp, 0.8f}},
         nullptr, true, 0xc8cdeb9da1d5c06aull, 0.0415822642},
        {"sections switched between blocks", 44100.0f,
         {{kModOn, kOn}, {kModLfoWave, wave(3)}},
         [](Drell& d, int block) {
             // Each switch flips on its own period, so many combinations meet.
             d.setParameter(kVcoOn, (block / 7) % 2 != 0 ? kOn : kOff);
             d.setParameter(kFltOn, (block / 5) % 3 != 0 ? kOn : kOff);
             d.setParameter(kFltMode, filterMode((block / 11) % 3));
             d.setParameter(kDrvOn, (block / 3) % 2 != 0 ? kOn : kOff);
             d.setParameter(kRvbOn, (block / 13) % 4 != 0 ? kOn : kOff);
             d.setParameter(kRvbMode, (block / 17) % 2 != 0 ? kOn : kOff);
             d.setParameter(kMainBypass, block % 19 == 18 ? kOn : kOff);
             if (block == 30) d.setParameter(kRvbType, kOn);
             if (block == 50) d.setParameter(kModLfoWave, wave(0));
             if (block == 60) d.setParameter(kDlyRTime, 0.3f);
         },
         false, 0xa7f97dda8bd23013ull, 0.172342037},
        // The common shapes that run block-wise, and their stretches and fallbacks.
        {"VCO at a fixed clock of 1, delay-time change", 44100.0f,
         {{kVcoOn, kOn}, {kVcoManual, 0.5f}, {kVcoMod, 0.5f}},
         [](Drell& d, int block) { if (block == 30) d.setParameter(kDlyRTime, 0.1f); },
         false, 0x7eef4eb56922305bull, 0.195885788},
        {"VCO at a fixed clock of 2", 44100.0f,
         {{kVcoOn, kOn}, {kVcoManual, 1.0f}, {kVcoMod, 0.5f}},
         nullptr, false, 0x0b9c12432df1ec70ull, 0.219147703},
        {"VCO at a fixed clock of 2^0.6", 48000.0f,
         {{kVcoOn, kOn}, {kVcoManual, 0.8f}, {kVcoMod, 0.5f}},
         nullptr, false, 0xe556587eaed9ddb5ull, 0.219876162},
        {"short delays of 0.1 and 5 ms, plain then clocked, bypass", 44100.0f,
         {{kDlyLRange, centre(0, 3)}, {kDlyRRange, centre(0, 3)}, {kDlyLTime, 0.001f},
          {kDlyRTime, 0.05f}},
         [](Drell& d, int block) {
             d.setParameter(kVcoOn, block >= 40 ? kOn : kOff);
             d.setParameter(kMainBypass, block % 13 == 12 ? kOn : kOff);
             if (block == 60) d.setParameter(kDlyLTime, 0.3f);
         },
         false, 0x7f3f3aaf20ec7980ull, 0.307387012},
    };
    return table;
}
// clang-format on

} // namespace

TEST(GoldenOutput, RendersMatchTheirStoredHashes) {
    for (const Render& r : renders()) {
        const Result got = render(r);
        EXPECT_TRUE(got.finite) << r.name << ": output not finite";
        EXPECT_GT(got.rms, 1e-3) << r.name << ": the render is silent, so it pins nothing";
        EXPECT_EQ(hex(got.hash), hex(r.hash))
            << r.name << ": the output bits changed; RMS " << got.rms << " against the stored "
            << r.rms << ", " << 20.0 * std::log10(got.rms / r.rms) << " dB";
    }
}

TEST(GoldenOutput, RendersRepeatExactly) {
    // Two instances in one process render the same bits: no state leaks between them, and
    // the hashes above are not at the mercy of what ran before.
    const Render& r = renders()[7];
    EXPECT_EQ(hex(render(r).hash), hex(render(r).hash)) << r.name;
}

TEST(GoldenOutput, EveryShapeGivesThePerSampleChainsBits) {
    // The block-wise shapes and the per-sample chain compute the same arithmetic in the same
    // order: every render, and the shapes the table does not pin, give the same bits through
    // the per-sample chain alone.
    std::vector<Render> all = renders();
    const Settings lfo = {
        {kVcoOn, kOn}, {kVcoManual, 0.6f}, {kVcoMod, 0.9f}, {kModOn, kOn}, {kModLfoRate, 0.5f}};
    for (int w = 0; w < 5; ++w) {
        Settings alone = lfo;
        alone.push_back({kModLfoWave, wave(w)});
        alone.push_back({kModSource, 0.0f});
        all.push_back({"LFO alone on the clock", 44100.0f, alone, nullptr, false, 0, 0.0});
        Settings guarded = alone;
        guarded.push_back({kModSource, 5e-9f});
        all.push_back({"LFO alone on the clock, source next to nothing", 44100.0f, guarded, nullptr,
                       false, 0, 0.0});
        Settings blend = alone;
        blend.push_back({kModSource, 0.4f});
        blend.push_back({kModSens, 0.9f});
        all.push_back({"LFO and envelope on the clock", 44100.0f, blend, nullptr, false, 0, 0.0});
    }
    const Settings envelope = {
        {kVcoOn, kOn}, {kVcoManual, 0.5f}, {kVcoMod, 0.6f}, {kModOn, kOn}, {kModSource, 1.0f}};
    all.push_back(
        {"envelope alone on the clock, fixed clock", 48000.0f, envelope, nullptr, false, 0, 0.0});
    for (const Render& r : all) {
        std::vector<float> shaped, reference;
        render(r, &shaped);
        render(r, &reference, true);
        ASSERT_EQ(shaped.size(), reference.size());
        const float largest = blockrender::largestDifference(shaped, reference, 0, shaped.size());
        EXPECT_EQ(largest, 0.0f) << r.name << ": the output differs from the per-sample chain's";
    }
}
