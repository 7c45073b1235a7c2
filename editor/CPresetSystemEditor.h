// The editor's preset-bar side, the base of Editor: the strip along the bottom edge through
// which the user works with programs, files and MIDI learn.
//
// Its open, close and idle handle the preset bar only, inside the Editor's own: Editor::open
// builds the frame and calls CPresetSystemEditor::open last to add the bar to it;
// Editor::close calls CPresetSystemEditor::close first (the bar's control pointers become
// null) and then destroys the frame; Editor::idle calls CPresetSystemEditor::idle last.
// valueChanged runs first for every control of the window, before the Editor's own.
#pragma once

#include "editor/AEffGUIEditor.h"
#include "toolkit/CControl.h"

#include <cstdint>

class Drell;

class CPresetSystemEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
public:
    explicit CPresetSystemEditor(Drell* effect);
    ~CPresetSystemEditor() override;

    // Adds the preset bar to the frame the Editor has built.
    bool open(void* parentWindow) override;
    // Forgets the preset bar's controls (the frame that owns them is destroyed by Editor).
    void close() override;
    // The preset bar's part of the idle pass.
    void idle() override;
    // The preset bar's handling of a changed control (any control of the window).
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // News from the preset system; may arrive on any thread, applied at the next idle.
    virtual void onProgramNameChanged(std::int32_t program, const char* name);
    virtual void onLearnEnded();
    virtual void onClearEnded();

protected:
    Drell* drell;
};
