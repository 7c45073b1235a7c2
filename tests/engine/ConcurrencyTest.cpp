// The editor's and the host's threads change parameters and read texts while the audio
// thread processes; run under the thread sanitizer this finds unguarded shared state.
#include "support/EffectHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

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

    std::vector<float> in(256), outL(256), outR(256);
    for (size_t i = 0; i < in.size(); ++i) in[i] = std::sin(0.05f * static_cast<float>(i));
    for (int block = 0; block < 300; ++block) {
        run(*drell, in.data(), in.data(), 256, outL.data(), outR.data());
        for (float y : outL) ASSERT_TRUE(std::isfinite(y)) << "block " << block;
    }
    stop = true;
    editor.join();
}
