// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ProgramRender.h"

#include "engine/Parameters.h"
#include "presets/FactoryPrograms.h"
#include "testhost/TestHost.h"

#include <cstdint>
#include <memory>

std::vector<float> renderInput(int frames, unsigned seed) {
    std::vector<float> x(static_cast<std::size_t>(frames));
    std::uint32_t state = seed * 2654435761u + 1u;
    for (int i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u; // a linear congruential generator
        const float white = static_cast<float>(state >> 8) * (1.0f / 16777216.0f) - 0.5f;
        float v = 0.0f;
        if (i < frames / 8)
            v = 1.6f * white;
        else if (i < frames / 3)
            v = 0.5f * (static_cast<float>(i % 200) / 100.0f - 1.0f); // a 220.5 Hz saw
        else if (i < frames * 3 / 8)
            v = 0.3f * white;
        x[static_cast<std::size_t>(i)] = v;
    }
    return x;
}

namespace {

// A new instance with the program's values; null when the plug-in makes none.
std::unique_ptr<TestHost> instanceWith(const char* path, const FactoryProgram& program) {
    auto host = std::make_unique<TestHost>(path);
    if (!host->load()) return nullptr;
    for (int p = 0; p < kNumParams; ++p)
        host->setParameter(p, static_cast<float>(program.values[p]));
    return host;
}

} // namespace

std::string factoryProgramTexts(const char* path) {
    const TestHost keeper(path); // the library stays loaded between the instances
    std::string texts;
    for (int k = 0; k < kNumPrograms; ++k) {
        auto host = instanceWith(path, kFactoryPrograms[k]);
        if (host == nullptr) return {};
        for (int p = 0; p < host->effect()->numParams; ++p)
            texts += std::to_string(k) + " " + std::to_string(p) + ": " + host->paramName(p) +
                     " | " + host->paramLabel(p) + " | " + host->paramDisplay(p) + "\n";
    }
    return texts;
}

std::vector<float> renderFactoryPrograms(const char* path) {
    const TestHost keeper(path);
    const std::vector<float> inL = renderInput(kRenderFrames, 5);
    const std::vector<float> inR = renderInput(kRenderFrames, 6);
    std::vector<float> out;
    out.reserve(std::size_t(kNumPrograms) * 2 * kRenderFrames);
    for (const FactoryProgram& program : kFactoryPrograms) {
        auto host = instanceWith(path, program);
        if (host == nullptr) return {};
        host->resume(44100.0f, kRenderBlock);
        std::vector<float> left, right;
        host->process(inL, inR, left, right, kRenderBlock);
        out.insert(out.end(), left.begin(), left.end());
        out.insert(out.end(), right.begin(), right.end());
    }
    return out;
}
