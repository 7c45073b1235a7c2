// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's preset-bar side, the base of Editor: the strip along the bottom edge through
// which the user works with programs, files and MIDI learn: the program's name (editable),
// the program menu and rocker, the file buttons, the controller display of the control
// under the pointer, the store button and the learn and clear switches.
//
// Its open, close and idle handle the preset bar only, inside the Editor's own: Editor::open
// builds the frame and calls CPresetSystemEditor::open last to add the bar to it;
// Editor::close calls CPresetSystemEditor::close first (the bar's control pointers become
// null) and then destroys the frame; Editor::idle calls CPresetSystemEditor::idle last.
// valueChanged runs first for every control of the window, before the Editor's own.
//
// The file commands belong to this object, which lives as long as the effect: they load
// the default bank when it is created. A command starts its dialog and returns; idle
// finishes it. A dialog still open when the window closes is cancelled.
//
// Threads: the preset system's news (a renamed program, the end of learn or clear mode)
// may come from any thread; it is stored in atomics and applied by the next idle.
#pragma once

#include "editor/AEffGUIEditor.h"
#include "editor/PanelLayout.h"
#include "editor/ProgramStepping.h"
#include "presets/CPresetSystemListener.h"
#include "presets/PresetSystemEvents.h"
#include "presets/ProgramMenuEntries.h"
#include "toolkit/CControl.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class Drell;
class PresetFileCommands;
class CPSOnOffButton;
class CPSRockerSwitch;
class HintLine;

namespace VSTGUI {
class COptionMenu;
class CParamDisplay;
class CTextEdit;
} // namespace VSTGUI

class CPresetSystemEditor : public AEffGUIEditor,
                            public VSTGUI::CControlListener,
                            public CPresetSystemListener,
                            public PresetSystemEvents,
                            public ProgramMenuEntries,
                            public ProgramStepping {
public:
    // The panel's tags (the preset bar's, and those of the editor's own controls).
    using enum panel::Tag;

    // Creates the file commands, which load the default bank.
    explicit CPresetSystemEditor(Drell* effect);
    ~CPresetSystemEditor() override;

    // Adds the preset bar to the frame the Editor has built; switches learn and clear off.
    bool open(void* parentWindow) override;
    // Cancels a file dialog still open and forgets the preset bar's controls (the frame
    // that owns them is destroyed by Editor).
    void close() override;
    // Finishes a file command whose dialog answered, applies the preset system's news,
    // shows the controller of the pointed control and the hover frames.
    void idle() override;
    // The preset bar's handling of a changed control (any control of the window).
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // News from the preset system; any thread, applied at the next idle.
    void onProgramNameChanged(std::int32_t program, const char* name) override;
    void onLearnEnded() override;
    void onClearEnded() override;
    // Reads the default bank into the programs (the current program stays as it is).
    virtual void loadDefaultBank();

    // The file commands of the file buttons; ownerWindow owns the dialog.
    void loadBank(std::uint64_t ownerWindow) override;
    void saveBank(std::uint64_t ownerWindow) override;
    void selectDefaultBank(std::uint64_t ownerWindow) override;
    void loadPreset(std::uint64_t ownerWindow) override;
    void savePreset(std::uint64_t ownerWindow) override;
    void loadMidiSettings(std::uint64_t ownerWindow) override;
    void saveMidiSettings(std::uint64_t ownerWindow) override;
    void clearDefaultBank(std::uint64_t ownerWindow) override;

    // A loaded bank renames the menu's entries (user-interface thread).
    void setProgramMenuEntry(std::int32_t index, const char* name) override;

    // Selects the program `steps` away from the current one, stopping at either end.
    void stepPrograms(int32_t steps) override;

    PresetFileCommands& fileCommands() { return *commands; }
    // The preset bar's control with that tag while the window is open, else null.
    VSTGUI::CControl* getPresetBarControl(int32_t tag) const;

protected:
    Drell* drell;

private:
    void addControl(VSTGUI::CControl* control);
    void applyNews();
    // The name field, the menu's entries and its current entry from the effect's bank.
    void showBank();
    void showControllerOfPointedControl(const VSTGUI::CPoint& where);
    void showHoverFrames(const VSTGUI::CPoint& where);
    void showHint(const VSTGUI::CPoint& where);
    void renameFromField();
    void stepProgram(float rockerValue);
    void chooseFromMenu();

    std::unique_ptr<PresetFileCommands> commands;

    VSTGUI::CTextEdit* programName = nullptr;
    VSTGUI::COptionMenu* programMenu = nullptr;
    CPSRockerSwitch* rocker = nullptr;
    VSTGUI::CParamDisplay* controllerDisplay = nullptr;
    HintLine* hintLine = nullptr;
    CPSOnOffButton* learnSwitch = nullptr;
    CPSOnOffButton* clearSwitch = nullptr;
    // Every control of the bar, in creation order; the buttons with hover frames.
    std::vector<VSTGUI::CControl*> controls;
    std::vector<VSTGUI::CControl*> hoverButtons;
    int aboutShown = 0;

    // News from other threads.
    std::array<std::atomic<char>, 25> newName{};
    std::atomic<bool> nameChanged{false};
    std::atomic<bool> learnEnded{false};
    std::atomic<bool> clearEnded{false};
};
