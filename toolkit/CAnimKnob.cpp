// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CAnimKnob.h"

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     int32_t heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {}

int32_t CAnimKnob::getFrameIndex() const {
    int32_t index = frameForValue(getValue(), vmin, vmax, subPixmaps);
    return inverse ? std::max(0, subPixmaps - 1 - index) : index;
}

void CAnimKnob::draw(CDrawContext* context) {
    drawBitmapFrame(context, getFrameIndex(), heightOfOneImage, offset);
}

} // namespace VSTGUI
