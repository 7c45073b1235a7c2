// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's and the host's threads change parameters and read texts while the audio
// thread processes; run under the thread sanitizer this finds unguarded shared state.
#include "support/BlockRender.h"
#include "support/EffectHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

// 300 blocks of 256 frames of a sine, every output sample finite.
void expectFiniteWhileRunning(Drell& drell) {
    std::vector<float> in(300 * 256);
    for (size_t i = 0; i < in.size(); ++i) in[i] = std::sin(0.05f * static_cast<float>(i % 256));
    constexpr int kSizes[] = {256};
    const blockrender::Stereo out = blockrender::render(drell, in, in, kSizes);
    for (size_t i = 0; i < out.left.size(); ++i)
        ASSERT_TRUE(std::isfinite(out.left[i])) << "block " << i / 256;
}

} // namespace

TEST(Concurrency, ParameterChangesWhileProcessing) {
    EffectHost host;
    host.timeInfo = VstTimeInfo{};
    host.timeInfo->tempo = 120.0;
    auto drell = host.make();
    resumeAt(*drell, 44100.0f);

    std::atomic<bool> stop{false};
    std::thread editor([&] {
        int n = 0;
        char text[64];
        while (!stop.load()) {
            for (VstInt32 i = 0; i < kNumHostParams; ++i) {
                const float v = static_cast<float>((n * 7 + i * 13) % 101) / 100.0f;
                drell->setParameter(i, v);
                drell->getParameterDisplay(i % kNumParams, text);
            }
            int digits, point, kind, num, den;
            bool isSigned;
            drell->getDisplayValue(&digits, &point, n % 50, &isSigned, &kind, &num, &den);
            float l, r;
            drell->readInputPeaks(&l, &r);
            drell->setTempo(static_cast<float>(n % 10) / 10.0f);
            (void)drell->isSyncOutOfRange(1 + n % 4);
            ++n;
        }
    });

    expectFiniteWhileRunning(*drell);
    stop = true;
    editor.join();
}

TEST(Concurrency, SwitchingOnAndOffWhileProcessing) {
    // The host's other thread switches the effect off and on, changes the rate and the
    // reverb type while blocks run; the memories are cleared lazily between blocks.
    EffectHost host;
    auto drell = host.make();
    for (VstInt32 on : {kRvbOn, kModOn}) drell->setParameter(on, 1.0f);
    drell->setParameter(kDlyLFb, 0.8f);
    resumeAt(*drell, 44100.0f);

    std::atomic<bool> stop{false};
    std::thread other([&] {
        for (int n = 0; !stop.load(); ++n) {
            drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
            if (n % 8 == 3)
                drell->dispatcher(effSetSampleRate, 0, 0, nullptr,
                                  n % 16 == 3 ? 48000.0f : 44100.0f);
            drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
            if (n % 3 == 0) drell->setParameter(kRvbType, static_cast<float>(n % 2));
            if (n % 5 == 0) drell->setParameter(kVcoOn, static_cast<float>((n / 5) % 2));
        }
    });

    expectFiniteWhileRunning(*drell);
    stop = true;
    other.join();
}
