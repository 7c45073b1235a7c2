// SPDX-License-Identifier: GPL-3.0-or-later
// Second layer of the effect base: the 2.x dispatcher opcodes and host services.
#pragma once

#include "host/AudioEffect.h"

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    // Operations the 2.x opcodes reach; the defaults give the interface's neutral answers.
    virtual VstInt32 processEvents(VstEvents* events) {
        (void)events;
        return 0;
    }
    virtual bool canParameterBeAutomated(VstInt32 index) {
        (void)index;
        return true;
    }
    virtual bool string2parameter(VstInt32 index, char* text) {
        (void)index, (void)text;
        return false;
    }
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
        (void)category, (void)index, (void)text;
        return false;
    }
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* p) {
        (void)index, (void)p;
        return false;
    }
    virtual bool getEffectName(char* name) {
        (void)name;
        return false;
    }
    virtual bool getVendorString(char* text) {
        (void)text;
        return false;
    }
    virtual bool getProductString(char* text) {
        (void)text;
        return false;
    }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstInt32 canDo(char* text) {
        (void)text;
        return 0;
    }
    virtual VstInt32 getTailSize() { return 0; }
    virtual VstInt32 getVstVersion() { return static_cast<VstInt32>(kVstVersion); }
    virtual VstInt32 getPlugCategory();
    virtual VstInt32 getCurrentMidiProgram() { return -1; }

    // Host services
    VstTimeInfo* getTimeInfo(VstInt32 filter);
    bool wantEvents(VstInt32 filter = 1);
    VstInt32 canHostDo(char* text);
    VstInt32 getOutputLatency();
    bool getHostProductString(char* text);
    bool beginEdit(VstInt32 index);
    bool endEdit(VstInt32 index);
    bool updateDisplay();
    bool sizeWindow(VstInt32 width, VstInt32 height);
};
