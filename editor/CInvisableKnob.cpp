// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CInvisableKnob.h"

#include "editor/EditReceiver.h"

#include <algorithm>

using namespace VSTGUI;

CInvisableKnob::CInvisableKnob(const CRect& size, CControlListener* listener, int32_t tag,
                               EditReceiver* receiver)
    : HeldGesture(size, listener, tag), receiver(receiver) {}

void CInvisableKnob::draw(CDrawContext*) {}

MouseResult CInvisableKnob::beginHold(CDrawContext* context, const CPoint& where, int32_t buttons) {
    linear.start(where, buttons, getValue(), vmax - vmin);
    beginEdit();
    notify(context);
    lastStepValue = getValue();
    if (receiver != nullptr) receiver->setEditedIndex(tag);
    return MouseResult::tracking;
}

void CInvisableKnob::followHold(CDrawContext* context, const CPoint& where, int32_t buttons) {
    setValue(std::clamp(linear.step(where, buttons), vmin, vmax));
    if (getValue() != lastStepValue) {
        lastStepValue = getValue();
        notify(context);
    }
}

void CInvisableKnob::endHold(CDrawContext*) {
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
