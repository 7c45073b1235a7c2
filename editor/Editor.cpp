// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Editor.h"

#include "editor/MyFrame.h"
#include "engine/Drell.h"
#include "platform/SettingsKeys.h"
#include "platform/SettingsStore.h"
#include "presets/PresetFileCommands.h"
#include "toolkit/CBitmap.h"
#include "toolkit/DisplayScale.h"

#include <algorithm>

using namespace VSTGUI;

Editor::Editor(Drell* effect)
    : CPresetSystemEditor(effect), hostIsAdapter(effect != nullptr && effect->isHostAdapter()) {
    setSize(kWidth, kHeight);
    setKnobMode(kLinearMode);
    lastBlinkTick = lastIdleTick = clock->now();
    if (drell != nullptr) drell->setEditorEvents(this);
}

Editor::~Editor() {
    close();
    if (drell != nullptr) drell->setEditorEvents(nullptr);
}

bool Editor::getRect(ERect** rect) {
    if (frame == nullptr && !scaleChosen && !isScaleFixed()) {
        applyScale(chooseScale());
        scaleChosen = true;
    }
    return AEffGUIEditor::getRect(rect);
}

int32_t Editor::chooseScale() {
    if (drell != nullptr)
        if (std::optional<int> stored = fileCommands().storedScale()) return *stored;
    return detectDisplayScale();
}

VSTGUI::CControl* Editor::getControl(int32_t tag) const {
    return tag >= 0 && tag < kNumEditorTags ? controls[tag] : nullptr;
}

bool Editor::open(void* parentWindow) {
    if (frame != nullptr) close();
    if (!scaleChosen && !isScaleFixed()) applyScale(chooseScale());
    scaleChosen = true;
    AEffGUIEditor::open(parentWindow);

    // Values change from here on reach the controls through the pending events; what came
    // before is read afresh below.
    pendingMask.exchange(0, std::memory_order_acq_rel);
    tempoPending.store(false, std::memory_order_relaxed);
    unlinkPending.store(false, std::memory_order_relaxed);
    clearEditedIndex();
    displayVisible = true;
    lastBlinkTick = lastIdleTick = clock->now();

    CBitmap* background = new CBitmap(panel::kBackgroundBitmap);
    frame = new MyFrame(CRect(0, 0, kWidth, kHeight), parentWindow, this, getScale());
    frame->setBackground(background);
    background->forget();
    // A parent that no window could be made in (no X server, a parent that is not a
    // window): the host learns there is no editor instead of showing an empty frame.
    if (parentWindow != nullptr && !frame->hasWindow()) {
        close();
        return false;
    }

    createControls();
    CPresetSystemEditor::open(parentWindow);
    updateActiveLamp();
    frame->idle();
    return true;
}

void Editor::close() {
    CPresetSystemEditor::close();
    std::fill(std::begin(controls), std::end(controls), nullptr);
    AEffGUIEditor::close();
    clearEditedIndex();
    // The next open asks the screen and the settings again.
    scaleChosen = false;
}

void Editor::beginEdit(int32_t tag) {
    if (tag >= 0 && tag < kNumParams) AEffGUIEditor::beginEdit(tag);
}

void Editor::endEdit(int32_t tag) {
    if (tag >= 0 && tag < kNumParams) AEffGUIEditor::endEdit(tag);
}

void Editor::idle() {
    if (frame != nullptr) {
        applyPendingEvents();
        CControl* about = getControl(kAboutTag);
        if (about == nullptr || about->getValue() == 0.0f) {
            const uint32_t now = clock->now();
            updateNumericDisplay(now);
            updateLevelBars(now);
            updateActiveLamp();
            lastIdleTick = now;
        }
    }
    AEffGUIEditor::idle();
    CPresetSystemEditor::idle();
}
