// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CKickButton.h"

namespace VSTGUI {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                         int32_t heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), heightOfOneImage(heightOfOneImage),
      offset(offset) {}

void CKickButton::draw(CDrawContext* context) {
    drawBitmapFrame(context, getValue() >= (vmin + vmax) * 0.5f ? 1 : 0, heightOfOneImage, offset);
}

} // namespace VSTGUI
