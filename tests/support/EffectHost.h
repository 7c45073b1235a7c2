// SPDX-License-Identifier: GPL-3.0-or-later
// A host for an effect built into the test program: the callback answers from the fields of
// the EffectHost that the running test made on its thread, and records the calls through
// which the effect reports edits to a host.
#pragma once

#include "engine/Drell.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

class EffectHost {
public:
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
        float opt;
    };

    std::optional<VstTimeInfo> timeInfo;
    VstIntPtr outputLatency = 0;
    const char* productString = "Effect Test Host";
    // Begin-edit, automate, end-edit and update-display calls, in order.
    std::vector<Call> edits;

    EffectHost() { current() = this; }
    ~EffectHost() { current() = nullptr; }
    EffectHost(const EffectHost&) = delete;
    EffectHost& operator=(const EffectHost&) = delete;

    std::unique_ptr<Drell> make(const PlatformServices& services = {}) {
        return std::make_unique<Drell>(&EffectHost::callback, services);
    }

    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr,
                              float opt) {
        EffectHost* host = current();
        switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetProductString:
            if (host == nullptr || ptr == nullptr) return 0;
            std::strncpy(static_cast<char*>(ptr), host->productString, 63);
            return 1;
        case audioMasterGetTime:
            if (host == nullptr || !host->timeInfo) return 0;
            host->answer = *host->timeInfo;
            return reinterpret_cast<VstIntPtr>(&host->answer);
        case audioMasterGetOutputLatency:
            return host != nullptr ? host->outputLatency : 0;
        case audioMasterBeginEdit:
        case audioMasterAutomate:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
            if (host != nullptr) host->edits.push_back({opcode, index, opt});
            return 1;
        default:
            return 0; // pins answer 0: connected
        }
    }

private:
    static EffectHost*& current() {
        static thread_local EffectHost* host = nullptr;
        return host;
    }
    VstTimeInfo answer{};
};

// Resumes the effect at a sample rate, as the host's dispatcher would.
inline void resumeAt(Drell& drell, float rate) {
    drell.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
    drell.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
}

// Runs frames of stereo audio through the effect in one block.
inline void run(Drell& drell, float* left, float* right, int frames, float* outL, float* outR) {
    float* in[2] = {left, right};
    float* out[2] = {outL, outR};
    drell.processReplacing(in, out, frames);
}
