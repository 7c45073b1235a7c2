// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CInvisableKnob.h"

#include "editor/EditReceiver.h"

#include <algorithm>

using namespace VSTGUI;

CInvisableKnob::CInvisableKnob(const CRect& size, CControlListener* listener, int32_t tag,
                               EditReceiver* receiver)
    : CControl(size, listener, tag), receiver(receiver) {}

void CInvisableKnob::draw(CDrawContext*) {}

MouseResult CInvisableKnob::onMouseDown(CDrawContext* context, const CPoint& where,
                                        int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    if (dragging) return MouseResult::tracking;
    linear.start(where, buttons, getValue(), vmax - vmin);
    dragging = true;
    beginEdit();
    notify(context);
    lastStepValue = getValue();
    if (receiver != nullptr) receiver->setEditedIndex(tag);
    return MouseResult::tracking;
}

MouseResult CInvisableKnob::onMouseMoved(CDrawContext* context, const CPoint& where,
                                         int32_t buttons) {
    if (!dragging) return MouseResult::handled;
    if (!(buttons & kLButton)) {
        finishDrag();
        return MouseResult::handled;
    }
    setValue(std::clamp(linear.step(where, buttons), vmin, vmax));
    if (getValue() != lastStepValue) {
        lastStepValue = getValue();
        notify(context);
    }
    return MouseResult::tracking;
}

MouseResult CInvisableKnob::onMouseUp(CDrawContext*, const CPoint&, int32_t) {
    finishDrag();
    return MouseResult::handled;
}

void CInvisableKnob::onMouseCancel() {
    finishDrag();
    CControl::onMouseCancel();
}

void CInvisableKnob::finishDrag() {
    if (!dragging) return;
    dragging = false;
    if (receiver != nullptr) receiver->clearEditedIndex();
    endEdit();
}

bool CInvisableKnob::onWheel(CDrawContext* context, const CPoint&, float distance,
                             int32_t buttons) {
    if (!getMouseEnabled()) return false;
    if (buttons & kShift) distance *= 0.1f;
    const float before = getValue();
    setValue(before + distance * wheelInc);
    bounceValue();
    if (getValue() != before) {
        beginEdit();
        notify(context);
        endEdit();
    }
    return true;
}
