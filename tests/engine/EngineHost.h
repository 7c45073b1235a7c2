// A minimal host for constructing the effect directly in unit tests: the callback answers
// from fields of the instance that the running test installs on its thread.
#pragma once

#include "engine/Drell.h"

#include <cstring>
#include <memory>
#include <optional>

class EngineHost {
public:
    std::optional<VstTimeInfo> timeInfo;
    VstIntPtr outputLatency = 0;
    const char* productString = "Engine Test Host";
    int timeRequests = 0;

    EngineHost() { current() = this; }
    ~EngineHost() { current() = nullptr; }
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    std::unique_ptr<Drell> make() { return std::make_unique<Drell>(&EngineHost::callback); }

    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        EngineHost* host = current();
        switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetProductString:
            if (host == nullptr || ptr == nullptr) return 0;
            std::strncpy(static_cast<char*>(ptr), host->productString, 63);
            return 1;
        case audioMasterGetTime:
            if (host == nullptr || !host->timeInfo) return 0;
            ++host->timeRequests;
            host->answer = *host->timeInfo;
            return reinterpret_cast<VstIntPtr>(&host->answer);
        case audioMasterGetOutputLatency:
            return host != nullptr ? host->outputLatency : 0;
        default:
            return 0; // pins answer 0: connected
        }
    }

private:
    static EngineHost*& current() {
        static thread_local EngineHost* host = nullptr;
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
