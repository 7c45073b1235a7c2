// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/AudioEffect.h"

#include "host/AEffEditor.h"
#include "host/HostText.h"

#include <cstring>

namespace {

// Entry functions stored in the record. Each recovers the effect through `object` and
// answers neutrally when the record is not one of ours.
VstIntPtr dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                        float opt) {
    AudioEffect* effect = AudioEffect::fromAeffect(e);
    if (effect == nullptr) return 0;
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect; // the record lives inside the effect: the host must not use it again
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

void processEntry(AEffect*, float**, float**, VstInt32) {
    // The accumulating process call of old hosts: not supported, output left alone.
}

void processReplacingEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
    AudioEffect* effect = AudioEffect::fromAeffect(e);
    if (effect == nullptr || inputs == nullptr || outputs == nullptr || sampleFrames < 0) return;
    if (inputs[0] == nullptr || outputs[0] == nullptr) return;
    effect->processReplacing(inputs, outputs, sampleFrames);
}

void processDoubleReplacingEntry(AEffect*, double**, double**, VstInt32) {
    // Double precision is not announced; a host that calls it anyway gets no processing.
}

void setParameterEntry(AEffect* e, VstInt32 index, float value) {
    if (AudioEffect* effect = AudioEffect::fromAeffect(e)) effect->setParameter(index, value);
}

float getParameterEntry(AEffect* e, VstInt32 index) {
    AudioEffect* effect = AudioEffect::fromAeffect(e);
    return effect != nullptr ? effect->getParameter(index) : 0.0f;
}

// Scratch buffer for texts that the effect writes before they are copied, bounded, into
// the host's buffer. Filled with a marker so that "nothing written" can be told apart.
struct TextScratch {
    static constexpr std::size_t kSize = 256;
    char text[kSize];
    TextScratch() { std::memset(text, 0x7f, kSize); }
    bool written() const { return std::memchr(text, '\0', kSize) != nullptr; }
    void copyTo(void* dest, std::size_t bytes) const {
        if (written()) hosttext::copy(static_cast<char*>(dest), text, bytes);
    }
};

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode("NoEf");
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() = default;

AudioEffect* AudioEffect::fromAeffect(AEffect* e) noexcept {
    if (e == nullptr || e->magic != kEffectMagic) return nullptr;
    return static_cast<AudioEffect*>(e->object);
}

void AudioEffect::setEditor(AEffEditor* newEditor) noexcept {
    editor = newEditor;
    if (editor != nullptr)
        cEffect.flags |= effFlagsHasEditor;
    else
        cEffect.flags &= ~effFlagsHasEditor;
}

void AudioEffect::canProcessReplacing(bool state) noexcept {
    if (state)
        cEffect.flags |= effFlagsCanReplacing;
    else
        cEffect.flags &= ~effFlagsCanReplacing;
}

void AudioEffect::processReplacing(float**, float**, VstInt32) {}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    return audioMaster != nullptr ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffect::isInputConnected(VstInt32 input) {
    if (audioMaster == nullptr) return false;
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
    if (audioMaster == nullptr) return false;
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 1;
    case effSetProgram:
        if (value < numPrograms) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName: {
        if (ptr == nullptr) return 0;
        // Read at most a bounded stretch of the host's text.
        char name[TextScratch::kSize];
        hosttext::copy(name, static_cast<const char*>(ptr), sizeof name);
        setProgramName(name);
        return 0;
    }
    case effGetProgramName: {
        if (ptr == nullptr) return 0;
        TextScratch s;
        getProgramName(s.text);
        s.copyTo(ptr, hosttext::kProgramNameBytes);
        return 0;
    }
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName: {
        if (ptr == nullptr) return 0;
        TextScratch s;
        if (opcode == effGetParamLabel)
            getParameterLabel(index, s.text);
        else if (opcode == effGetParamDisplay)
            getParameterDisplay(index, s.text);
        else
            getParameterName(index, s.text);
        s.copyTo(ptr, hosttext::kParamTextBytes);
        return 0;
    }
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        if (editor == nullptr || ptr == nullptr) return 0;
        return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        // A host's parent window is never null; only a window actually made counts.
        return editor != nullptr && ptr != nullptr && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor != nullptr) editor->close();
        return 0;
    case effEditIdle:
        if (editor != nullptr) editor->idle();
        return 0;
    case effIdentify:
        return fourCharCode("NvEf");
    case effGetChunk:
    case effSetChunk:
        return 0; // no chunk: the host keeps the parameter values
    default:
        return 0;
    }
}
