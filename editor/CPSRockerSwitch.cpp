// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CPSRockerSwitch.h"

#include "editor/PresetBarFrames.h"

using namespace VSTGUI;

CPSRockerSwitch::CPSRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t heightOfOneImage, CBitmap* background)
    : HeldGesture(size, listener, tag, heightOfOneImage, background, {}, kHorizontal) {}

void CPSRockerSwitch::draw(CDrawContext* context) {
    drawBitmapFrame(context, presetbar::rockerFrame(getValue()), heightOfOneImage, offset);
}

float CPSRockerSwitch::trackedValue(const CPoint& where) const {
    float half = valueAt(where);
    return half != 0.0f ? half : remembered;
}

MouseResult CPSRockerSwitch::beginHold(CDrawContext* context, const CPoint& where, int32_t) {
    pressed = true;
    remembered = getValue();
    beginEdit();
    followHold(context, where, kLButton);
    return MouseResult::tracking;
}

void CPSRockerSwitch::followHold(CDrawContext* context, const CPoint& where, int32_t) {
    float before = getValue();
    setValue(trackedValue(where));
    if (getValue() != before) notify(context);
}

void CPSRockerSwitch::endHold(CDrawContext*) {
    pressed = false;
    endEdit();
    setValue(0.0f);
    setDirty(true);
}
