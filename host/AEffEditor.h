// SPDX-License-Identifier: GPL-3.0-or-later
// The editor as the dispatcher sees it: window rectangle, open, close, idle and keys.
// The effect owns one; the host opens and closes its window any number of times.
#pragma once

#include "host/vst2.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    // Stores a pointer to the editor's own rectangle in *rect; answers 1 on success.
    virtual bool getRect(ERect** rect) = 0;
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() {}
    virtual VstInt32 onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
        (void)character, (void)virtualKey, (void)modifiers;
        return 0;
    }
    virtual VstInt32 onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
        (void)character, (void)virtualKey, (void)modifiers;
        return 0;
    }
    virtual bool setKnobMode(VstInt32 mode) {
        (void)mode;
        return false;
    }

protected:
    AudioEffect* effect;
};
