// SPDX-License-Identifier: GPL-3.0-or-later
// What the effect tells its editor: a parameter change from anywhere, a program about to be
// applied, and a recomputation of the tempo-synchronised values. The editor implements it;
// the effect holds it through an atomic pointer (Drell::setEditorEvents).
//
// Each event arrives on the thread that caused it, and may arrive on two threads at once:
// the implementation hands values to its own idle (atomically) and never draws from here.
#pragma once

#include <cstdint>

class DrellEditorEvents {
public:
    virtual ~DrellEditorEvents() = default;
    // Any thread that sets a parameter: the host's audio thread (automation, MIDI control
    // changes in effProcessEvents), its user-interface thread (the editor's controls, program
    // changes, file commands) or another thread of the host.
    virtual void setParameter(std::int32_t index, float value) = 0;
    // The thread that selects a program: the user-interface thread (preset bar, file
    // commands).
    virtual void onProgramSelect() = 0;
    // The audio thread when the host's tempo changes during processing; the user-interface
    // thread on resume, on a program change, a note-value change or the editor's own tempo.
    virtual void onTempoChanged(float tempo) = 0;
};
