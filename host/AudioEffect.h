// SPDX-License-Identifier: GPL-3.0-or-later
// Base class of an effect: owns the AEffect record handed to the host, turns the host's
// dispatcher calls into virtual operations, and wraps the host callback.
#pragma once

#include "host/vst2.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() noexcept { return &cEffect; }
    static AudioEffect* fromAeffect(AEffect* e) noexcept;

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);

    // State
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    float getSampleRate() const noexcept { return sampleRate; }
    VstInt32 getBlockSize() const noexcept { return blockSize; }

    // Processing
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);

    // Parameters
    virtual void setParameter(VstInt32 index, float value) { (void)index, (void)value; }
    virtual float getParameter(VstInt32 index) {
        (void)index;
        return 0.0f;
    }
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void getParameterLabel(VstInt32 index, char* label) { (void)index, *label = '\0'; }
    virtual void getParameterDisplay(VstInt32 index, char* text) { (void)index, *text = '\0'; }
    virtual void getParameterName(VstInt32 index, char* text) { (void)index, *text = '\0'; }

    // Programs
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* name) { (void)name; }
    virtual void getProgramName(char* name) { *name = '\0'; }
    // No chunk operations: the dispatcher answers the chunk opcodes with 0 itself, so a host
    // keeps the parameter values.

    // Editor: the dispatcher's editor opcodes reach the one set here, and the record's flags
    // announce it. The derived effect owns it and destroys it before its own members, since
    // an editor reaches the effect's state until it is gone; the base never deletes it.
    AEffEditor* getEditor() const noexcept { return editor; }
    void setEditor(AEffEditor* newEditor) noexcept;

    // Host services; each answers 0 or false when there is no host callback.
    virtual VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                               void* ptr = nullptr, float opt = 0.0f);
    // The interface's pin query answers 0 when the pin IS connected.
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);

    // Record fields
    void setUniqueID(VstInt32 id) noexcept { cEffect.uniqueID = id; }
    void setNumInputs(VstInt32 inputs) noexcept { cEffect.numInputs = inputs; }
    void setNumOutputs(VstInt32 outputs) noexcept { cEffect.numOutputs = outputs; }
    void canProcessReplacing(bool state = true) noexcept;
    void setInitialDelay(VstInt32 delay) noexcept { cEffect.initialDelay = delay; }

protected:
    audioMasterCallback audioMaster = nullptr;
    AEffEditor* editor = nullptr; // not owned
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    VstInt32 curProgram = 0;
    AEffect cEffect{};
};
