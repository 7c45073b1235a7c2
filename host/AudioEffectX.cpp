// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/AudioEffectX.h"

#include "host/AEffEditor.h"
#include "host/HostText.h"

#include <cmath>
#include <cstring>

namespace {

// Texts the effect writes land here first and reach the host bounded (see AudioEffect).
struct Scratch {
    char text[256] = {};
};

} // namespace

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms,
                           VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

VstInt32 AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    switch (opcode) {
    case effProcessEvents:
        return ptr != nullptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effGetProgramNameIndexed: {
        if (ptr == nullptr) return 0;
        Scratch s;
        if (!getProgramNameIndexed(static_cast<VstInt32>(value), index, s.text)) return 0;
        hosttext::copy(static_cast<char*>(ptr), s.text, hosttext::kProgramNameBytes);
        return 1;
    }
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString: {
        if (ptr == nullptr) return 0;
        Scratch s;
        bool ok = opcode == effGetEffectName     ? getEffectName(s.text)
                  : opcode == effGetVendorString ? getVendorString(s.text)
                                                 : getProductString(s.text);
        if (!ok) return 0;
        hosttext::copy(static_cast<char*>(ptr), s.text,
                       opcode == effGetEffectName ? hosttext::kEffectNameBytes
                                                  : hosttext::kVendorBytes);
        return 1;
    }
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo: {
        if (ptr == nullptr) return 0;
        char text[64];
        hosttext::copy(text, static_cast<const char*>(ptr), sizeof text);
        return canDo(text);
    }
    case effGetTailSize:
        return getTailSize();
    case effGetParameterProperties:
        if (ptr == nullptr) return 0;
        return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (editor == nullptr) return 0;
        VstInt32 modifiers = std::isfinite(opt) ? static_cast<VstInt32>(opt) : 0;
        VstInt32 key = static_cast<VstInt32>(value);
        return opcode == effEditKeyDown ? editor->onKeyDown(index, key, modifiers)
                                        : editor->onKeyUp(index, key, modifiers);
    }
    case effSetEditKnobMode:
        return editor != nullptr && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram();
    case effGetSpeakerArrangement:
        // Both arguments point at arrangement pointers; this effect describes none.
        if (value != 0) *reinterpret_cast<void**>(value) = nullptr;
        if (ptr != nullptr) *static_cast<void**>(ptr) = nullptr;
        return 0;
    case effSetTotalSampleToProcess:
        return value;
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::wantEvents(VstInt32 filter) {
    return callHost(audioMasterWantMidi, 0, filter) != 0;
}

VstInt32 AudioEffectX::canHostDo(char* text) {
    return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

VstInt32 AudioEffectX::getOutputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

bool AudioEffectX::getHostProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

bool AudioEffectX::beginEdit(VstInt32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}
