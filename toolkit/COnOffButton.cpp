// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/COnOffButton.h"

#include "toolkit/CBitmap.h"

namespace VSTGUI {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                           CBitmap* background, int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

bool COnOffButton::isOn() const {
    return getValue() >= (vmin + vmax) * 0.5f;
}

void COnOffButton::draw(CDrawContext* context) {
    int32_t frameHeight = background ? background->getHeight() / 2 : 0;
    drawBitmapFrame(context, isOn() ? 1 : 0, frameHeight);
}

MouseResult COnOffButton::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    beginEdit();
    setValue(isOn() ? vmin : vmax);
    notify(context);
    endEdit();
    return MouseResult::handled;
}

} // namespace VSTGUI
