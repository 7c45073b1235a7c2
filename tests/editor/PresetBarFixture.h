// SPDX-License-Identifier: GPL-3.0-or-later
// An effect with its editor open without a parent window, behind fake dialogs, messages and
// settings, for the preset bar's tests; helpers point, click and type as the window would.
// Places come from the panel table: at(tag) is the centre of a control, in scale-1 pixels as
// the frame takes them at any scale.
#pragma once

#include "EditorFixture.h"
#include "editor/CPresetSystemEditor.h"
#include "editor/Editor.h"
#include "editor/PanelLayout.h"
#include "engine/Drell.h"
#include "support/EffectHost.h"
#include "support/FakeServices.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CTextEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

inline VSTGUI::CPoint at(int32_t tag) {
    const panel::Rect r = panel::rectOf(tag);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The rocker's halves, a quarter of its width in from either end.
inline VSTGUI::CPoint rockerHalf(int32_t direction) {
    const panel::Rect r = panel::rectOf(panel::kProgramRockerTag);
    const int32_t quarter = (r.right - r.left) / 4;
    return {direction < 0 ? r.left + quarter : r.right - quarter, (r.top + r.bottom) / 2};
}

// A place between the filter and the tempo display where no control lies.
inline const VSTGUI::CPoint kEmptyPanel{450, 80};

class PresetBarFixture : public ::testing::Test {
protected:
    void openAt(int32_t scale) {
        drell = host.make(fakes.services());
        editor = adoptNewEditor(*drell, scale);
        ASSERT_TRUE(editor->open(nullptr));
        ASSERT_EQ(frame().getViewAt(kEmptyPanel), nullptr) << "kEmptyPanel lies on a control";
    }

    VSTGUI::CFrame& frame() { return *editor->getFrame(); }
    VSTGUI::CControl* control(int32_t tag) { return editor->getPresetBarControl(tag); }
    VSTGUI::CTextEdit& nameField() {
        return *dynamic_cast<VSTGUI::CTextEdit*>(control(panel::kProgramNameTag));
    }
    VSTGUI::COptionMenu& menu() {
        return *dynamic_cast<VSTGUI::COptionMenu*>(control(panel::kProgramMenuTag));
    }
    void click(const VSTGUI::CPoint& where, int32_t buttons = VSTGUI::kLButton) {
        frame().mouseMoved(where, 0);
        frame().mouseDown(where, buttons);
        frame().mouseUp(where, 0);
    }
    void pointAt(const VSTGUI::CPoint& where) {
        frame().mouseMoved(where, 0);
        editor->idle();
    }
    // Presses and releases a key; whether the editor took it.
    int32_t key(int32_t character, int32_t virtualKey = 0, int32_t modifiers = 0) {
        const auto taken = editor->onKeyDown(character, virtualKey, modifiers);
        editor->onKeyUp(character, virtualKey, modifiers);
        return taken;
    }
    std::string programName(int32_t index) { return drell->getProgramAt(index)->name(); }

    EffectHost host;
    FakeServices fakes;
    std::unique_ptr<Drell> drell;
    Editor* editor = nullptr;
};
