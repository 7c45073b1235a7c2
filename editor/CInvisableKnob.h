// SPDX-License-Identifier: GPL-3.0-or-later
// A knob without a picture, laid over a scale printed on the panel (delay times, LFO rate,
// tempo): the accelerated linear drag of the panel's knobs, and the wheel. It tells the
// editor while it is dragged, so the numeric display follows it.
#pragma once

#include "editor/LinearDrag.h"
#include "toolkit/CControl.h"

#include <cstdint>

class EditReceiver;

class CInvisableKnob : public VSTGUI::CControl {
public:
    CInvisableKnob(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                   EditReceiver* receiver);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;
    VSTGUI::MouseResult onMouseMoved(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                     int32_t buttons) override;
    VSTGUI::MouseResult onMouseUp(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                  int32_t buttons) override;
    void onMouseCancel() override;
    // Wheel increment per step, a tenth with Shift.
    bool onWheel(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where, float distance,
                 int32_t buttons) override;

private:
    void finishDrag();

    EditReceiver* receiver;
    LinearDrag linear;
    bool dragging = false;
    float lastStepValue = 0.0f;
};
