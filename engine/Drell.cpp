#include "engine/Drell.h"

#include "engine/DrellEditorEvents.h"
#include "host/HostText.h"
#include "presets/PresetFileCommands.h"

#include <cstring>

Drell::Drell(audioMasterCallback audioMaster, const PlatformServices& services)
    : CPresetSystemEffect(audioMaster, services) {
    std::lock_guard lock(engineLock);

    // The host adapter gets no tempo request at resume.
    char product[256] = {};
    if (getHostProductString(product)) {
        product[sizeof product - 1] = '\0';
        hostIsAdapter = std::memcmp(product, "VSTAUAdapter", 13) == 0;
    }

    setEditor(nullptr);
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(fourCharCode("KT2W")); // bytes "W2TK", lowest first
    canProcessReplacing();

    for (int i = 0; i < kNumParams; ++i) params[i] = kParameterTable[i].constructionValue;
    presetFileCommands = std::make_unique<PresetFileCommands>(*this); // loads the default bank
    curProgram = 0;
    suspend();
}

Drell::~Drell() = default;

void Drell::suspend() {
    std::lock_guard lock(engineLock);
}

void Drell::resume() {
    std::lock_guard lock(engineLock);
    CPresetSystemEffect::resume();
}

void Drell::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    std::lock_guard lock(engineLock);
    const float* inL = inputs[0];
    const float* inR = inputs[1] != nullptr && isInputConnected(1) ? inputs[1] : inputs[0];
    float* outL = outputs[0];
    float* outR = outputs[1] != nullptr && isOutputConnected(1) ? outputs[1] : nullptr;
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        float l = inL[i], r = inR[i];
        if (outR != nullptr) {
            outL[i] = l;
            outR[i] = r;
        } else {
            outL[i] = 0.5f * r + 0.5f * l;
        }
    }
}

void Drell::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumHostParams) return; // reaches no storage and no table
    value = sanitizeValue(value);
    if (isSoundParameter(index)) params[index] = value;
    if (editorEvents != nullptr) editorEvents->setParameter(index, value);
    if (!loadingProgram) CPresetSystemEffect::setParameter(index, value);
}

float Drell::getParameter(VstInt32 index) {
    if (isSoundParameter(index)) return params[index];
    return CPresetSystemEffect::getParameter(index);
}

void Drell::getParameterName(VstInt32 index, char* text) {
    if (isSoundParameter(index)) {
        hosttext::copy(text, kParameterTable[index].name, hosttext::kParamTextBytes);
    } else if (index >= kNumParams && index < kNumHostParams) {
        char name[hosttext::kParamTextBytes] = "CC# ";
        std::strncat(name, kParameterTable[index - kNumParams].name, sizeof name - 5);
        hosttext::copy(text, name, hosttext::kParamTextBytes);
    }
}

void Drell::getParameterLabel(VstInt32 index, char* label) {
    hosttext::copy(label, isSoundParameter(index) ? kParameterTable[index].label : "",
                   hosttext::kParamTextBytes);
}

void Drell::getParameterDisplay(VstInt32 index, char* text) {
    (void)index, (void)text; // value texts come with the engine
}

bool Drell::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
    if (!isSoundParameter(index) || p == nullptr) return false;
    const ParameterInfo& info = kParameterTable[index];
    switch (info.kind) {
    case StepKind::Continuous:
        return false;
    case StepKind::Switch:
        p->flags =
            kVstParameterIsSwitch | kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;
        p->minInteger = 0;
        p->maxInteger = 1;
        p->stepInteger = 1;
        p->largeStepInteger = 1;
        return true;
    case StepKind::Choice:
        p->flags = 0;
        p->minInteger = 1;
        p->maxInteger = info.steps;
        p->stepInteger = 1;
        return true;
    case StepKind::Milliseconds:
        p->flags = kVstParameterUsesFloatStep;
        p->stepFloat = p->smallStepFloat = 1.0f / 900.0f;
        p->largeStepFloat = 1.0f / 90.0f;
        return true;
    case StepKind::DelayTime:
        p->flags = kVstParameterUsesFloatStep;
        p->stepFloat = p->smallStepFloat = 0.0001f;
        p->largeStepFloat = 0.1f;
        return true;
    }
    return false;
}

bool Drell::getEffectName(char* name) {
    hosttext::copy(name, kEffectName, hosttext::kEffectNameBytes);
    return true;
}

bool Drell::getVendorString(char* text) {
    hosttext::copy(text, kVendor, hosttext::kVendorBytes);
    return true;
}

bool Drell::getProductString(char* text) {
    hosttext::copy(text, kProduct, hosttext::kVendorBytes);
    return true;
}

void Drell::selectProgram(VstInt32 index) {
    if (getProgramAt(index) == nullptr) return;
    if (editorEvents != nullptr) editorEvents->onProgramSelect();
    CPresetSystemEffect::selectProgram(index);
}
