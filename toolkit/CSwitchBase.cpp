// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CSwitchBase.h"

#include <cmath>

namespace VSTGUI {

CSwitchBase::CSwitchBase(const CRect& size, CControlListener* listener, int32_t tag,
                         int32_t subPixmaps, int32_t heightOfOneImage, int32_t maxPositions,
                         CBitmap* background, const CPoint& offset, bool vertical)
    : CControl(size, listener, tag, background), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage), maxPositions(std::max(1, maxPositions)), offset(offset),
      vertical(vertical) {}

void CSwitchBase::draw(CDrawContext* context) {
    drawBitmapFrame(context, frameForValue(getValue(), vmin, vmax, subPixmaps), heightOfOneImage,
                    offset);
}

int32_t CSwitchBase::positionAt(const CPoint& where) const {
    int32_t along = vertical ? where.y - size.top : where.x - size.left;
    int32_t length = vertical ? getHeight() : getWidth();
    if (length <= 0 || along < 0) return 0;
    return std::min(maxPositions - 1, int32_t(int64_t(along) * maxPositions / length));
}

} // namespace VSTGUI
