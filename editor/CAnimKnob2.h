// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's filmstrip knob. Dragging is linear and accelerated (LinearDrag) while the
// knob mode is linear, circular with Alt (and the other way round in the circular modes).
// Control-click and a double-click set the default value. The drag tells the editor which
// knob is being dragged, so the numeric display follows it. The wheel is the base's.
#pragma once

#include "editor/HeldGesture.h"
#include "editor/LinearDrag.h"
#include "toolkit/CAnimKnob.h"

#include <cstdint>

class EditReceiver;
class TickClock;

class CAnimKnob2 : public HeldGesture<VSTGUI::CAnimKnob> {
public:
    CAnimKnob2(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
               int32_t subPixmaps, int32_t heightOfOneImage, VSTGUI::CBitmap* background,
               EditReceiver* receiver, const VSTGUI::CPoint& offset = {},
               const TickClock* clock = nullptr);

    // The longest pause between the presses of a double-click, and how far apart they may be.
    static constexpr uint32_t kDoubleClickMs = 400;
    static constexpr int32_t kDoubleClickDistance = 4;

private:
    enum class Drag { linear, circular };
    VSTGUI::MouseResult beginHold(Context* context, const Point& where, int32_t buttons) override;
    void followHold(Context* context, const Point& where, int32_t buttons) override;
    void endHold(Context* context) override;
    // Sets the default value as one gesture; notifies only when the value changes.
    void resetToDefault(VSTGUI::CDrawContext* context);
    bool isDoubleClick(const VSTGUI::CPoint& where, int32_t buttons);

    EditReceiver* receiver;
    const TickClock* clock;
    Drag drag = Drag::linear;
    LinearDrag linear;
    float circularOld = 0.0f;
    float lastStepValue = 0.0f;
    bool hadClick = false;
    uint32_t lastClickTime = 0;
    VSTGUI::CPoint lastClickPoint;
};
