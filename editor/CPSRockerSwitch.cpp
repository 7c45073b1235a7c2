// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CPSRockerSwitch.h"

#include "editor/PresetBarFrames.h"

using namespace VSTGUI;

CPSRockerSwitch::CPSRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t heightOfOneImage, CBitmap* background)
    : CRockerSwitch(size, listener, tag, heightOfOneImage, background, {}, kHorizontal) {}

void CPSRockerSwitch::draw(CDrawContext* context) {
    drawBitmapFrame(context, presetbar::rockerFrame(getValue()), heightOfOneImage, offset);
}

float CPSRockerSwitch::trackedValue(const CPoint& where) const {
    float half = valueAt(where);
    return half != 0.0f ? half : remembered;
}

MouseResult CPSRockerSwitch::onMouseDown(CDrawContext* context, const CPoint& where,
                                         int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    pressed = true;
    remembered = getValue();
    beginEdit();
    float before = getValue();
    setValue(trackedValue(where));
    if (getValue() != before) notify(context);
    return MouseResult::tracking;
}

MouseResult CPSRockerSwitch::onMouseMoved(CDrawContext* context, const CPoint& where,
                                          int32_t buttons) {
    if (!pressed) return MouseResult::handled;
    if (!(buttons & kMouseButtons)) {
        release();
        return MouseResult::handled;
    }
    float before = getValue();
    setValue(trackedValue(where));
    if (getValue() != before) notify(context);
    return MouseResult::tracking;
}

MouseResult CPSRockerSwitch::onMouseUp(CDrawContext*, const CPoint&, int32_t) {
    if (pressed) release();
    return MouseResult::handled;
}

void CPSRockerSwitch::release() {
    pressed = false;
    endEdit();
    setValue(0.0f);
    setDirty(true);
}
