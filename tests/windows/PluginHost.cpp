// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/PluginHost.h"

#include "engine/Parameters.h"
#include "presets/FactoryPrograms.h"

#include <cstdint>
#include <mutex>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

using EntryProc = AEffect* (*)(audioMasterCallback);

// The instance an effect record belongs to; during the entry point there is no record yet.
std::mutex instancesLock;
std::vector<std::pair<AEffect*, PluginInstance*>> instances;

} // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
#ifdef _WIN32
    handle = LoadLibraryA(path.c_str());
#else
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

PluginLibrary::~PluginLibrary() {
    if (handle == nullptr) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

void* PluginLibrary::symbol(const char* name) const {
    if (handle == nullptr) return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

PluginInstance::PluginInstance(const PluginLibrary& library, const char* entryName) {
    auto entry = reinterpret_cast<EntryProc>(library.symbol(entryName));
    if (entry == nullptr) return;
    aeffect = entry(&PluginInstance::callback);
    if (aeffect == nullptr) return;
    std::lock_guard guard(instancesLock);
    instances.emplace_back(aeffect, this);
}

PluginInstance::~PluginInstance() {
    if (aeffect == nullptr) return;
    aeffect->dispatcher(aeffect, effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard guard(instancesLock);
    std::erase_if(instances, [this](const auto& entry) { return entry.second == this; });
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    return aeffect->dispatcher(aeffect, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index) {
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

void PluginInstance::resume(float sampleRate, VstInt32 blockSize) {
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

std::vector<PluginInstance::Call> PluginInstance::takeEditCalls() {
    std::lock_guard guard(instancesLock);
    return std::exchange(editCalls, {});
}

VstIntPtr PluginInstance::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                   void* ptr, float opt) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit: {
        std::lock_guard guard(instancesLock);
        for (auto& [record, instance] : instances)
            if (record == effect) instance->editCalls.push_back({opcode, index, opt});
        return 1;
    }
    case audioMasterGetProductString:
        if (ptr != nullptr) std::snprintf(static_cast<char*>(ptr), 64, "%s", "Tessel Wine Host");
        return 1;
    case audioMasterPinConnected:
        return 0; // 0 means connected
    default:
        return 0;
    }
}

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

void applyProgram(AEffect* effect, const FactoryProgram& program) {
    for (int p = 0; p < kNumParams; ++p)
        effect->setParameter(effect, p, static_cast<float>(program.values[p]));
}

} // namespace

std::string factoryProgramTexts(const PluginLibrary& library) {
    std::string texts;
    for (int k = 0; k < kNumPrograms; ++k) {
        PluginInstance instance(library);
        if (instance.effect() == nullptr) return {};
        applyProgram(instance.effect(), kFactoryPrograms[k]);
        for (int p = 0; p < instance.effect()->numParams; ++p)
            texts += std::to_string(k) + " " + std::to_string(p) + ": " +
                     instance.text(effGetParamName, p) + " | " +
                     instance.text(effGetParamLabel, p) + " | " +
                     instance.text(effGetParamDisplay, p) + "\n";
    }
    return texts;
}

std::vector<float> renderFactoryPrograms(const PluginLibrary& library) {
    const std::vector<float> inL = renderInput(kRenderFrames, 5);
    const std::vector<float> inR = renderInput(kRenderFrames, 6);
    std::vector<float> out;
    out.reserve(std::size_t(kNumPrograms) * 2 * kRenderFrames);
    std::vector<float> blockL(kRenderBlock), blockR(kRenderBlock);
    for (const FactoryProgram& program : kFactoryPrograms) {
        PluginInstance instance(library);
        if (instance.effect() == nullptr) return {};
        AEffect* effect = instance.effect();
        applyProgram(effect, program);
        instance.resume(44100.0f, kRenderBlock);
        std::vector<float> left, right;
        for (int done = 0; done < kRenderFrames; done += kRenderBlock) {
            const int frames = std::min(kRenderBlock, kRenderFrames - done);
            float* inputs[2] = {const_cast<float*>(inL.data()) + done,
                                const_cast<float*>(inR.data()) + done};
            float* outputs[2] = {blockL.data(), blockR.data()};
            effect->processReplacing(effect, inputs, outputs, frames);
            left.insert(left.end(), blockL.begin(), blockL.begin() + frames);
            right.insert(right.end(), blockR.begin(), blockR.begin() + frames);
        }
        out.insert(out.end(), left.begin(), left.end());
        out.insert(out.end(), right.begin(), right.end());
    }
    return out;
}
