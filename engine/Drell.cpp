// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Drell.h"

#include "engine/DrellEditorEvents.h"
#include "engine/Version.h"
#include "host/HostText.h"

#include <cstring>
#include <utility>

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

    // Start values at 44100 Hz: every parameter's construction value through the same
    // mapping the host reaches, so working values, stored values and texts agree.
    setEngineRate(44100.0f);
    setMeterLength(1024);
    for (int i = 0; i < kNumParams; ++i) applyParameter(i, kParameterTable[i].constructionValue);
    settleSmoothedValues();
    curProgram = 0;

    placeReadPositions();
    suspend();
}

Drell::~Drell() {
    // The editor (with its file commands) goes first, while the engine, the bank and the
    // services it may still reach are whole; nothing calls into it afterwards.
    setEditorEvents(nullptr);
    setPresetSystemEvents(nullptr);
    adoptEditor(nullptr);
}

void Drell::adoptEditor(std::unique_ptr<AEffEditor> editor) {
    std::unique_ptr<AEffEditor> previous = std::exchange(ownedEditor, std::move(editor));
    setEditor(ownedEditor.get());
    previous.reset();
}

void Drell::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumHostParams) return; // reaches no storage and no table
    value = sanitizeValue(value);
    if (isSoundParameter(index)) applyParameter(index, value);
    if (DrellEditorEvents* events = editorListener()) events->setParameter(index, value);
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

VstInt32 Drell::getVendorVersion() {
    return version::vendorVersion();
}

void Drell::selectProgram(VstInt32 index) {
    if (getProgramAt(index) == nullptr) return;
    if (DrellEditorEvents* events = editorListener()) events->onProgramSelect();
    CPresetSystemEffect::selectProgram(index);
    recomputeSync(kSyncAll);
}
