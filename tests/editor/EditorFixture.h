// SPDX-License-Identifier: GPL-3.0-or-later
// An effect with its editor for the editor's tests: a recording host, settings in memory,
// a clock the test moves, and the window opened without a parent (the frame draws into its
// framebuffer only). Helpers press, drag and release the mouse as the window would.
#pragma once

#include "editor/Editor.h"
#include "engine/Drell.h"
#include "support/EffectHost.h"
#include "support/MemorySettingsStore.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class FakeClock : public TickClock {
public:
    std::uint32_t now() const override { return ms; }
    std::uint32_t ms = 100000;
};

// Gives the effect a new editor at the scale and answers it; the effect owns it.
inline Editor* adoptNewEditor(Drell& drell, int32_t scale = 1) {
    auto owned = std::make_unique<Editor>(&drell);
    Editor* editor = owned.get();
    editor->setScale(scale);
    drell.adoptEditor(std::move(owned));
    return editor;
}

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformServices services;
        services.settings = &settings;
        drell = host.make(services);
        editor = adoptNewEditor(*drell);
        editor->setClock(&clock);
    }

    void open() { ASSERT_TRUE(editor->open(nullptr)); }
    VSTGUI::CFrame& frame() { return *editor->getFrame(); }
    VSTGUI::CControl& control(int tag) {
        VSTGUI::CControl* c = editor->getControl(tag);
        if (c == nullptr) throw std::runtime_error("no control " + std::to_string(tag));
        return *c;
    }
    // The centre of a control, in frame coordinates.
    VSTGUI::CPoint centre(int tag) {
        const VSTGUI::CRect& r = control(tag).getViewSize();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void press(VSTGUI::CPoint where, int buttons = VSTGUI::kLButton) {
        frame().mouseDown(where, buttons);
    }
    void move(VSTGUI::CPoint where, int buttons = VSTGUI::kLButton) {
        frame().mouseMoved(where, buttons);
    }
    void release(VSTGUI::CPoint where) { frame().mouseUp(where, 0); }
    void click(int tag, int buttons = VSTGUI::kLButton) {
        press(centre(tag), buttons);
        release(centre(tag));
    }
    // Points the mouse at `where` without a button (what the display follows).
    void hover(VSTGUI::CPoint where) { frame().mouseMoved(where, 0); }
    void idleAt(std::uint32_t ms) {
        clock.ms = ms;
        editor->idle();
    }

    // The host's gesture calls, as "b3", "a3", "e3" (begin, automate, end).
    std::vector<std::string> gestures() const {
        std::vector<std::string> out;
        for (const auto& call : host.edits) {
            const char* kind = call.opcode == audioMasterBeginEdit  ? "b"
                               : call.opcode == audioMasterAutomate ? "a"
                               : call.opcode == audioMasterEndEdit  ? "e"
                                                                    : "?";
            out.push_back(kind + std::to_string(call.index));
        }
        return out;
    }

    EffectHost host;
    MemorySettingsStore settings;
    FakeClock clock;
    std::unique_ptr<Drell> drell;
    Editor* editor = nullptr;
};

using Strings = std::vector<std::string>;
