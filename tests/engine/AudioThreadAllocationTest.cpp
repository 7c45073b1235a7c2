// Nothing the audio thread runs allocates: processReplacing in every block shape (each filter
// placement with the VCO on and off, every section and LFO wave, both reverbs, delay-time
// fades, tempo changes, bypass, mono input and output, blocks of 1 to 4096 frames), the
// parameter changes of host automation, and MIDI control changes with learning. This program
// replaces the global allocation functions to count the allocations.
#include "support/EffectHost.h"
#include "support/FakeServices.h"
#include "support/MidiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
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
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
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
