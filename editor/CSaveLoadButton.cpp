// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CSaveLoadButton.h"

#include "presets/SaveLoadButtonCommand.h"
#include "toolkit/CFrame.h"

using namespace VSTGUI;

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t heightOfOneImage, CBitmap* background, int32_t kind,
                                 CPresetSystemListener* commands)
    : PresetBarButton(size, listener, tag, heightOfOneImage, background), kind(kind),
      commands(commands) {}

MouseResult CSaveLoadButton::beginHold(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (frame == nullptr || context == nullptr || commands == nullptr)
        return MouseResult::notHandled;
    press();
    auto owner = reinterpret_cast<std::uintptr_t>(frame->getParentWindow());
    runPresetFileCommand(*commands, saveLoadButtonCommand(kind, buttons), owner);
    return MouseResult::tracking;
}
