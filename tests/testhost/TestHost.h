// SPDX-License-Identifier: GPL-3.0-or-later
// A scriptable host for tests on Linux and on Windows: loads the built plug-in as a real host
// does (dlopen or LoadLibraryA), answers the host callback from fields the test sets, and
// records every call. Several hosts of one library share it; it is unloaded with the last.
#pragma once

#include "host/vst2.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TestHost {
public:
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        float opt;
        std::string text; // the text passed in ptr, for calls that pass one
    };

    // Answers the callback gives; change them before or after loading.
    VstIntPtr versionAnswer = 2400;
    std::optional<std::string> productString = std::string("Tessel Test Host");
    bool inputConnected[2] = {true, true};
    bool outputConnected[2] = {true, true};
    std::optional<VstTimeInfo> timeInfo; // none: the host answers audioMasterGetTime with 0
    VstIntPtr outputLatency = 0;
    VstIntPtr canDoAnswer = 1;

    explicit TestHost(const char* pluginPath = TESSEL_PLUGIN_PATH);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Calls the entry point ("VSTPluginMain" or "main"); false when it answers null.
    bool load(const char* entryName = "VSTPluginMain");
    AEffect* effect() const { return aeffect; }
    // effClose; the record is gone afterwards.
    VstIntPtr close();

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);
    // Stereo convenience: processes in place of separate buffers.
    void process(const std::vector<float>& inL, const std::vector<float>& inR,
                 std::vector<float>& outL, std::vector<float>& outR, int blockSize = 512);

    std::string paramName(VstInt32 index);
    std::string paramLabel(VstInt32 index);
    std::string paramDisplay(VstInt32 index);
    std::string programName();
    void resume(float sampleRate = 44100.0f, VstInt32 blockSize = 512);
    void suspend();

    std::vector<Call> calls() const;
    std::vector<Call> callsOf(VstInt32 opcode) const;
    void clearCalls();
    // The recorded gesture calls for one parameter, in order, as "b" (begin-edit), "a"
    // (automate) and "e" (end-edit); the automated values go to `values`.
    std::string gesture(VstInt32 index, std::vector<float>* values = nullptr) const;
    // Whether `calls` is one whole gesture: "ba...ae", at least one automation.
    static bool isOneGesture(const std::string& calls);

    // The host callback, reachable from tests that want a raw function pointer.
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);

    void* library() const { return handle; }
    // The library's exported function of that name; null when there is none.
    void* symbol(const char* name) const;

private:
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    void* handle = nullptr;
    AEffect* aeffect = nullptr;
    mutable std::mutex callMutex;
    std::vector<Call> log;
    VstTimeInfo timeAnswer{};
};
