// SPDX-License-Identifier: GPL-3.0-or-later
// A minimal host for the built plug-in on Linux and on Windows: loads the library
// (dlopen or LoadLibraryA) as a host does, calls its entry point and answers the callback
// with a fixed version, no tempo and every pin connected, recording the automation calls.
// The factory-program renders of both systems come from this one host, so they can be
// compared sample for sample.
#pragma once

#include "host/vst2.h"

#include <string>
#include <vector>

class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle != nullptr; }
    // The exported function of that name; null when there is none.
    void* symbol(const char* name) const;

private:
    void* handle = nullptr;
};

// One effect instance of a loaded library.
class PluginInstance {
public:
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
        float opt;
    };

    PluginInstance(const PluginLibrary& library, const char* entryName = "VSTPluginMain");
    ~PluginInstance(); // effClose
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* effect() const { return aeffect; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    std::string text(VstInt32 opcode, VstInt32 index);
    void resume(float sampleRate, VstInt32 blockSize);
    // Automation, begin-edit and end-edit calls since the last take.
    std::vector<Call> takeEditCalls();

private:
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);

    AEffect* aeffect = nullptr;
    std::vector<Call> editCalls;
};

// The fixed input of the renders: seeded noise bursts and a falling saw, made with integer
// arithmetic and exact float operations only, so every system makes the same samples.
std::vector<float> renderInput(int frames, unsigned seed);

inline constexpr int kRenderFrames = 44100;
inline constexpr int kRenderBlock = 512;

// Every factory program, each in a new instance at 44.1 kHz with the program's 48 values set
// through setParameter, over kRenderFrames of the fixed input: the left then the right
// output of program 0, then of program 1, and so on. Empty when an instance fails.
std::vector<float> renderFactoryPrograms(const PluginLibrary& library);

// The host's texts of every factory program: for each program and each of the 96
// parameters a line "program index: name | label | display". Empty when an instance fails.
std::string factoryProgramTexts(const PluginLibrary& library);
