// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CAnimKnob2.h"

#include "editor/EditReceiver.h"
#include "editor/TickClock.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cstdlib>

using namespace VSTGUI;

CAnimKnob2::CAnimKnob2(const CRect& size, CControlListener* listener, int32_t tag,
                       int32_t subPixmaps, int32_t heightOfOneImage, CBitmap* background,
                       EditReceiver* receiver, const CPoint& offset, const TickClock* clock)
    : HeldGesture(size, listener, tag, subPixmaps, heightOfOneImage, background, offset),
      receiver(receiver), clock(clock) {}

void CAnimKnob2::resetToDefault(CDrawContext* context) {
    const float before = getValue();
    setValue(getDefaultValue());
    if (getValue() == before) return;
    beginEdit();
    notify(context);
    endEdit();
}

bool CAnimKnob2::isDoubleClick(const CPoint& where, int32_t buttons) {
    if (clock == nullptr || buttons != kLButton) {
        hadClick = false;
        return false;
    }
    const uint32_t now = clock->now();
    const bool twice = hadClick && now - lastClickTime <= kDoubleClickMs &&
                       std::abs(where.x - lastClickPoint.x) <= kDoubleClickDistance &&
                       std::abs(where.y - lastClickPoint.y) <= kDoubleClickDistance;
    // A third click starts a new pair.
    hadClick = !twice;
    lastClickTime = now;
    lastClickPoint = where;
    return twice;
}

MouseResult CAnimKnob2::beginHold(CDrawContext* context, const CPoint& where, int32_t buttons) {
    const bool controlClick = buttons == (kLButton | kControl);
    if (isDoubleClick(where, buttons) || controlClick) {
        resetToDefault(context);
        return MouseResult::handled;
    }

    const int32_t knobMode = frame != nullptr ? frame->getKnobMode() : kLinearMode;
    const bool alt = (buttons & kAlt) != 0;
    drag = (knobMode == kLinearMode) != alt ? Drag::linear : Drag::circular;
    if (drag == Drag::linear)
        linear.start(where, buttons, getValue(), vmax - vmin);
    else
        circularOld = valueFromPoint({where.x - size.left, where.y - size.top});

    beginEdit();
    notify(context);
    lastStepValue = getValue();
    if (receiver != nullptr) receiver->setEditedIndex(tag);
    return MouseResult::tracking;
}

void CAnimKnob2::followHold(CDrawContext* context, const CPoint& where, int32_t buttons) {
    if (drag == Drag::linear) {
        setValue(std::clamp(linear.step(where, buttons), vmin, vmax));
    } else {
        const float half = (vmax - vmin) * 0.5f;
        const float v = valueFromPoint({where.x - size.left, where.y - size.top});
        if (circularOld - v > half) {
            setValue(vmax);
        } else if (v - circularOld > half) {
            setValue(vmin);
        } else {
            setValue(v);
            circularOld = v;
        }
    }
    if (getValue() != lastStepValue) {
        lastStepValue = getValue();
        notify(context);
    }
}

void CAnimKnob2::endHold(CDrawContext*) {
    if (receiver != nullptr) receiver->clearEditedIndex();
    endEdit();
}
