// Control-change routing and learning on the audio thread allocate nothing. This program
// replaces the global allocation functions to count the allocations.
#include "engine/Drell.h"
#include "support/FakeServices.h"
#include "support/MidiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

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

TEST(ProcessEvents, RoutingAndLearningAllocateNothing) {
    FakeServices fakes;
    Drell effect(nullptr, fakes.services());
    MidiEventList<8> routed{{0xB0, 20, 127}, {0xB5, 22, 0},  {0xBF, 106, 64},
                            {0x90, 60, 100}, {0xB0, 121, 0}, {0xB0, 200, 1}};
    MidiEventList<2> learning{{0xB2, 1, 90}};
    effect.processEvents(routed.events()); // warm up
    effect.startLearn();
    effect.setParameter(7, 0.5f);

    const long before = allocations.load();
    effect.processEvents(learning.events());
    for (int i = 0; i < 100; ++i) effect.processEvents(routed.events());
    const long during = allocations.load() - before;

    EXPECT_EQ(during, 0) << "processEvents allocated " << during << " times";
    EXPECT_EQ(effect.getControllerOfParameter(7), 1) << "the learning message was not handled";
    EXPECT_EQ(effect.getParameter(0), 1.0f);
    EXPECT_GT(before, 0) << "the counting allocator is not in use";
}
