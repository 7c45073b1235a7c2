// SPDX-License-Identifier: GPL-3.0-or-later
// A file button of the preset bar: a left click starts the file command of its kind on the
// command listener (0 load bank, 1 save bank, 2 load preset, 3 save preset, 4 load MIDI
// settings, 5 save MIDI settings, 6 choose the default bank, or clear it with exactly
// left button + Control). The command only starts its dialog; the editor's idle finishes
// it. The button shows its pressed frame while the left button stays down and tells the
// value listener nothing.
#pragma once

#include "editor/PresetBarButton.h"

#include <cstdint>

class CPresetSystemListener;

class CSaveLoadButton : public PresetBarButton {
public:
    CSaveLoadButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                    int32_t heightOfOneImage, VSTGUI::CBitmap* background, int32_t kind,
                    CPresetSystemListener* commands);

    int32_t getKind() const { return kind; }

private:
    VSTGUI::MouseResult beginHold(Context* context, const Point& where, int32_t buttons) override;

    int32_t kind;
    CPresetSystemListener* commands;
};
