// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CRockerSwitch.h"

namespace VSTGUI {

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                             int32_t heightOfOneImage, CBitmap* background, const CPoint& offset,
                             int32_t style)
    : CControl(size, listener, tag, background), heightOfOneImage(heightOfOneImage), offset(offset),
      style(style) {
    vmin = -1.0f;
    vmax = 1.0f;
    defaultValue = 0.0f;
}

float CRockerSwitch::valueAt(const CPoint& where) const {
    if (!hitTest(where)) return 0.0f;
    if (style & kVertical) return where.y < size.top + getHeight() / 2 ? -1.0f : 1.0f;
    return where.x < size.left + getWidth() / 2 ? -1.0f : 1.0f;
}

void CRockerSwitch::draw(CDrawContext* context) {
    float v = getValue();
    drawBitmapFrame(context, v < 0.0f ? 0 : (v > 0.0f ? 2 : 1), heightOfOneImage, offset);
}

} // namespace VSTGUI
