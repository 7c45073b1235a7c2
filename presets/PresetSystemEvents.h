// SPDX-License-Identifier: GPL-3.0-or-later
// What the preset system tells its editor: a renamed program and the end of the learn and
// clear modes. The editor implements it; tests plug in a recorder. The effect holds it
// through an atomic pointer (CPresetSystemEffect::setPresetSystemEvents).
//
// Each event arrives on the thread that caused it: the implementation hands the news to its
// own idle (atomically) and never draws from here.
#pragma once

#include <cstdint>

class PresetSystemEvents {
public:
    virtual ~PresetSystemEvents() = default;
    // The host's user-interface thread (effSetProgramName).
    virtual void onProgramNameChanged(std::int32_t program, const char* name) = 0;
    // The audio thread when a control change completes learning (effProcessEvents); the
    // user-interface thread when the editor stops learning itself.
    virtual void onLearnEnded() = 0;
    // Any thread whose parameter change ends clear mode: the audio thread (automation, MIDI)
    // or the user-interface thread (a control); the user-interface thread when the editor
    // stops it itself.
    virtual void onClearEnded() = 0;
};
