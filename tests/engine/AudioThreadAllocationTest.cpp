// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing the audio thread runs allocates: processReplacing in every block shape (each filter
// placement with the VCO on and off, every section and LFO wave, both reverbs, delay-time
// fades, tempo changes, bypass, mono input and output, blocks of 1 to 4096 frames, the
// block-wise shapes, their per-sample fallback and silence), every parameter set from the
// audio thread, the parameter changes of host automation, MIDI control changes with learning,
// and sample-rate and block-size changes that arrive from another thread while the effect is
// on. This program replaces the global allocation functions to count the allocations.
#include "support/EffectHost.h"
#include "support/FakeServices.h"
#include "support/MidiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

namespace {

std::atomic<long> allocations{0};
std::atomic<long> audioThreadAllocations{0};
thread_local bool onAudioThread = false;

void* countedAllocation(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (onAudioThread) audioThreadAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return countedAllocation(size);
}
void* operator new[](std::size_t size) {
    return countedAllocation(size);
}
// Not inlined: where GCC inlines them it pairs the free with the standard operator new it
// sees at the call, not the replacement above, and warns of a mismatch that is none.
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(AudioThread, NoBlockShapeAllocates) {
    EffectHost host;
    host.timeInfo = VstTimeInfo{};
    host.timeInfo->tempo = 120.0;
    FakeServices fakes;
    auto drell = host.make(fakes.services());
    resumeAt(*drell, 48000.0f);
    std::vector<float> inL(4096, 0.25f), inR(4096, -0.5f), outL(4096), outR(4096);
    float* stereoIn[2] = {inL.data(), inR.data()};
    float* monoIn[2] = {inL.data(), nullptr};
    float* stereoOut[2] = {outL.data(), outR.data()};
    float* monoOut[2] = {outL.data(), nullptr};
    MidiEventList<4> routed{{0xB0, 20, 100}, {0xB5, 22, 0}, {0x90, 60, 100}, {0xB0, 121, 0}};
    MidiEventList<1> learning{{0xB2, 1, 90}};

    const long before = allocations.load();
    int shape = 0;
    for (float vco : {0.0f, 1.0f}) {
        for (int placement = 0; placement < 4; ++placement) {
            drell->setParameter(kVcoOn, vco);
            drell->setParameter(kFltOn, placement == 0 ? 0.0f : 1.0f);
            drell->setParameter(kFltMode, centre(placement == 0 ? 0 : placement - 1, 3));
            for (int variant = 0; variant < 5; ++variant, ++shape) {
                const bool on = variant % 2 == 0;
                drell->setParameter(kDrvOn, on ? 1.0f : 0.0f);
                drell->setParameter(kModOn, on ? 0.0f : 1.0f);
                drell->setParameter(kRvbOn, variant != 3 ? 1.0f : 0.0f);
                drell->setParameter(kRvbType, variant % 3 == 1 ? 1.0f : 0.0f);
                drell->setParameter(kRvbMode, variant % 2 == 1 ? 1.0f : 0.0f);
                drell->setParameter(kModLfoWave, centre(variant, 5));
                drell->setParameter(kMainBypass, variant == 4 ? 1.0f : 0.0f);
                drell->setParameter(kDlyLTime, 0.01f * static_cast<float>(shape % 7 + 1));
                host.timeInfo->tempo = 100.0 + shape;
                drell->processEvents(routed.events());
                if (shape % 9 == 0) {
                    drell->startLearn();
                    drell->setParameter(kDlyLFb, 0.3f);
                    drell->processEvents(learning.events());
                }
                for (int frames : {1, 37, 512, 4096}) {
                    drell->processReplacing(stereoIn, stereoOut, frames);
                    drell->processReplacing(shape % 2 ? monoIn : stereoIn,
                                            shape % 3 ? stereoOut : monoOut, frames);
                }
            }
        }
    }
    const long during = allocations.load() - before;
    EXPECT_EQ(during, 0) << "the audio thread's calls allocated " << during << " times";
    EXPECT_EQ(drell->getControllerOfParameter(kDlyLFb), 1) << "the learning message was lost";
    EXPECT_GT(before, 0) << "the counting allocator is not in use";
}

TEST(AudioThread, RateChangesWhileOnReallocateOnlyOnTheCallersThread) {
    EffectHost host;
    FakeServices fakes;
    auto drell = host.make(fakes.services());
    drell->setParameter(kRvbOn, 1.0f);
    resumeAt(*drell, 44100.0f);
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::thread audio([&] {
        std::vector<float> in(8192, 0.25f), outL(8192), outR(8192);
        float* ins[2] = {in.data(), in.data()};
        float* outs[2] = {outL.data(), outR.data()};
        onAudioThread = true;
        while (!stop.load()) {
            drell->processReplacing(ins, outs, 512);
            blocks.fetch_add(1);
        }
    });
    const auto blocksAfter = [&](long count) {
        const long target = blocks.load() + count;
        while (blocks.load() < target) std::this_thread::yield();
    };
    blocksAfter(4);
    const long before = allocations.load();
    drell->dispatcher(effSetBlockSize, 0, 8192, nullptr, 0.0f);
    blocksAfter(4);
    EXPECT_EQ(allocations.load(), before) << "a block-size change must reallocate nothing";
    for (float rate : {48000.0f, 96000.0f, 44100.0f}) {
        const long calls = allocations.load();
        drell->dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_GT(allocations.load(), calls)
            << "the rebuild for " << rate << " Hz happens in the call";
        EXPECT_EQ(drell->engineRate(), rate);
        EXPECT_EQ(drell->delayLength(), 5 * static_cast<int>(rate) + 1);
        blocksAfter(4);
    }
    stop = true;
    audio.join();
    EXPECT_EQ(audioThreadAllocations.load(), 0) << "the audio thread allocated";
}

TEST(AudioThread, BlockWiseShapesSilenceAndEveryParameterAllocateNothing) {
    // Settled smoothers: the plain delay, the VCO at a steady clock, the clock following the
    // LFO alone or with the envelopes, and every section on run block-wise, short delays and a
    // fractional clock rate take the per-sample fallback and the general clock, silent input ends
    // in silent blocks; then every one of the 96 parameters changes from this thread between
    // blocks.
    EffectHost host;
    auto drell = host.make();
    resumeAt(*drell, 48000.0f);
    for (VstInt32 i : {kFltOn, kDrvOn, kModOn, kRvbOn, kVcoOn}) drell->setParameter(i, 0.0f);
    drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> noise(4096), silence(4096, 0.0f), outL(4096), outR(4096);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = (i * 7919 % 1000) * 1e-3f - 0.5f;
    const auto blocks = [&](std::vector<float>& in, int count, int frames) {
        float* ins[2] = {in.data(), in.data()};
        float* outs[2] = {outL.data(), outR.data()};
        for (int b = 0; b < count; ++b) drell->processReplacing(ins, outs, frames);
    };
    blocks(noise, 8, 4096); // the smoothers settle before the count starts

    onAudioThread = true;
    const long before = allocations.load();
    blocks(noise, 4, 256); // plain, block-wise
    drell->setParameter(kDlyLRange, 0.0f);
    drell->setParameter(kDlyLTime, 0.001f); // a delay of a few samples: per-sample fallback
    blocks(noise, 16, 512);
    drell->setParameter(kVcoOn, 1.0f);
    drell->setParameter(kVcoManual, 0.5f); // a steady clock of 1
    blocks(noise, 16, 512);
    drell->setParameter(kVcoManual, 0.8f); // a fractional clock rate
    blocks(noise, 16, 512);
    drell->setParameter(kModSource, 0.0f);
    drell->setParameter(kModOn, 1.0f); // the clock following the LFO alone
    blocks(noise, 16, 512);
    drell->setParameter(kModSource, 0.4f); // the LFO and the envelopes on the clock
    blocks(noise, 16, 512);
    for (VstInt32 i : {kFltOn, kDrvOn, kRvbOn}) drell->setParameter(i, 1.0f); // every section
    blocks(noise, 16, 512);
    for (VstInt32 i : {kFltOn, kDrvOn, kRvbOn, kModOn}) drell->setParameter(i, 0.0f);
    blocks(silence, 6 * 48000 / 4096, 4096); // the tails die away: silent blocks
    const bool silent = outL[4095] == 0.0f && outR[4095] == 0.0f;
    blocks(noise, 2, 256); // and back
    for (VstInt32 index = 0; index < 2 * kNumParams; ++index) {
        for (float value : {0.0f, 0.37f, 1.0f, std::nanf(""), 2.0f})
            drell->setParameter(index, value);
        blocks(noise, 1, 64);
    }
    const long during = allocations.load() - before;
    onAudioThread = false;
    EXPECT_TRUE(silent) << "the silent input did not end in silent blocks";
    EXPECT_EQ(during, 0) << "the audio thread allocated " << during << " times";
}
