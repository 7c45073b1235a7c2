// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CSaveLoadButton.h"

#include "editor/PresetBarFrames.h"
#include "presets/SaveLoadButtonCommand.h"
#include "toolkit/CFrame.h"

using namespace VSTGUI;

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t heightOfOneImage, CBitmap* background, int32_t kind,
                                 CPresetSystemListener* commands)
    : CKickButton(size, listener, tag, heightOfOneImage, background), kind(kind),
      commands(commands) {}

void CSaveLoadButton::draw(CDrawContext* context) {
    drawBitmapFrame(context, presetbar::buttonFrame(getValue()), heightOfOneImage, offset);
}

MouseResult CSaveLoadButton::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || frame == nullptr || context == nullptr || commands == nullptr ||
        !(buttons & kLButton))
        return MouseResult::notHandled;
    pressed = true;
    setValue(presetbar::kPressedValue);
    beginEdit();
    auto owner = reinterpret_cast<std::uintptr_t>(frame->getParentWindow());
    runPresetFileCommand(*commands, saveLoadButtonCommand(kind, buttons), owner);
    return MouseResult::tracking;
}

MouseResult CSaveLoadButton::onMouseMoved(CDrawContext*, const CPoint&, int32_t buttons) {
    if (!pressed) return MouseResult::handled;
    // Held while exactly the left button stays down, wherever the pointer goes.
    if ((buttons & kMouseButtons) == kLButton) return MouseResult::tracking;
    release();
    return MouseResult::handled;
}

MouseResult CSaveLoadButton::onMouseUp(CDrawContext*, const CPoint&, int32_t) {
    if (pressed) release();
    return MouseResult::handled;
}

void CSaveLoadButton::release() {
    pressed = false;
    endEdit();
    setValue(presetbar::kRestValue);
    setDirty(true);
}
