// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/CPresetSystemEffect.h"

#include "host/HostText.h"
#include "platform/DefaultServices.h"
#include "presets/FactoryPrograms.h"
#include "presets/PresetSystemEvents.h"

#include <algorithm>
#include <cstring>

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster,
                                         const PlatformServices& given)
    : AudioEffectX(audioMaster, 1, kNumHostParams), services(given) {
    // Before the controller map: it is read from the settings store.
    if (services.settings == nullptr) {
        ownedSettings = createSettingsStore();
        services.settings = ownedSettings.get();
    }
    if (services.messages == nullptr) {
        ownedMessages = createMessageBoxes();
        services.messages = ownedMessages.get();
    }
    if (services.fileDialogs == nullptr) {
        ownedFileDialogs = createFileDialogs();
        services.fileDialogs = ownedFileDialogs.get();
    }
    curProgram = 0;
    currentProgram = 0;
    programs = std::make_unique<CProgram[]>(kNumPrograms);
    initFactoryPrograms();
    paramToController = std::make_unique<Relaxed<VstInt32>[]>(kNumParams);
    controllerToParam = std::make_unique<Relaxed<VstInt32>[]>(kNumControllers);
    resetMidiMap();
    learnMode = false;
    learnTarget = kNotAssigned;
    clearMode = false;
    loadingProgram = false;
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

void CPresetSystemEffect::resume() {
    wantEvents(1);
}

CProgram* CPresetSystemEffect::getProgramAt(VstInt32 index) {
    if (!programs || index < 0 || index >= kNumPrograms) return nullptr;
    return &programs[index];
}

VstInt32 CPresetSystemEffect::getCurrentProgramIndex() {
    return currentProgram;
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
    if (isSoundParameter(index)) {
        programs[currentProgram].setParameter(static_cast<std::uint32_t>(index), value);
        if (learnMode) learnTarget = index;
        if (clearMode) {
            unassignParameter(index);
            stopClear();
        }
    } else if (index >= kNumParams && index < kNumHostParams) {
        const VstInt32 cc = controllerOfHostValue(value);
        VstInt32 param = index - kNumParams;
        if (cc == kNotAssigned)
            unassignParameter(param);
        else
            bindController(param, cc);
    }
}

float CPresetSystemEffect::getParameter(VstInt32 index) {
    if (isSoundParameter(index)) return programs[currentProgram].getParameter(index);
    if (index >= kNumParams && index < kNumHostParams) {
        // Numbers outside 0..127 (from a file or the store) route nothing: not assigned.
        return hostValueOfController(paramToController[index - kNumParams]);
    }
    return 0.0f;
}

void CPresetSystemEffect::setProgramName(char* name) {
    if (name == nullptr) return;
    VstInt32 current = currentProgram;
    programs[current].setName(name);
    if (PresetSystemEvents* events = presetListener())
        events->onProgramNameChanged(current, programs[current].name());
}

void CPresetSystemEffect::getProgramName(char* name) {
    if (name != nullptr) programs[currentProgram].getName(name);
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    CProgram* program = getProgramAt(index);
    if (program == nullptr || text == nullptr) return false;
    program->getName(text);
    return true;
}

void CPresetSystemEffect::renameCurrentProgram(const char* name) {
    curProgram = 0;
    if (name != nullptr) programs[currentProgram].setName(name);
    updateDisplay();
}

void CPresetSystemEffect::selectProgram(VstInt32 index) {
    CProgram* program = getProgramAt(index);
    if (program == nullptr) return;
    loadingProgram = true;
    currentProgram = index;
    curProgram = 0;
    for (VstInt32 i = 0; i < kNumParams; ++i)
        setParameterAndNotify(i, program->getParameter(static_cast<std::uint32_t>(i)));
    updateDisplay();
    loadingProgram = false;
}

void CPresetSystemEffect::setParameterAndNotify(VstInt32 index, float value) {
    setParameter(index, value);
    if (audioMaster == nullptr) return;
    beginEdit(index);
    callHost(audioMasterAutomate, index, 0, nullptr, getParameter(index));
    callHost(audioMasterAutomate, index, 0, nullptr, value);
    endEdit(index);
}

VstInt32 CPresetSystemEffect::canDo(char* text) {
    if (text == nullptr) return 0;
    if (std::strcmp(text, "receiveVstMidiEvent") == 0) {
        char sendText[] = "sendVstMidiEvent";
        return canHostDo(sendText) != 0 ? 1 : 0;
    }
    return 0;
}

void CPresetSystemEffect::initFactoryPrograms() {
    if (!programs) return;
    for (VstInt32 k = 0; k < kNumPrograms; ++k) {
        const FactoryProgram& row = kFactoryPrograms[k];
        char name[kProgramNameChars + 1] = {};
        std::memcpy(name, row.name,
                    std::min<std::size_t>(std::strlen(row.name), kProgramNameChars));
        programs[k].setName(name);
        for (std::uint32_t i = 0; i < kNumParams; ++i)
            programs[k].setParameter(i, static_cast<float>(row.values[i]));
    }
}
