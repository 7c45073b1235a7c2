// The plug-in's window: the panel with its knobs, switches, buttons, numeric display and
// level bars, and the preset bar of its base. The effect owns one Editor for its lifetime;
// the host opens and closes the window any number of times, and each open builds all
// controls anew from the effect's values.
//
// Threads: open, close, idle and the controls' events run on the host's user-interface
// thread. The effect's events (setParameter, onTempoChanged, onProgramSelect) may come from
// any thread: they only store values in atomics, which the next idle applies to the
// controls; they never touch a control or draw.
#pragma once

#include "editor/CPresetSystemEditor.h"
#include "editor/EditReceiver.h"
#include "engine/DrellEditorEvents.h"

#include <cstdint>

class Drell;

class Editor : public CPresetSystemEditor, public EditReceiver, public DrellEditorEvents {
public:
    explicit Editor(Drell* effect);
    ~Editor() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // DrellEditorEvents: any thread.
    void setParameter(std::int32_t index, float value) override;
    void onProgramSelect() override;
    void onTempoChanged(float tempo) override;

private:
    // The scale of the next window: the settings' "uiscale" (1 or 2) if set, else what the
    // screen's resolution asks for.
    int32_t chooseScale() const;
    bool scaleChosen = false;
};
