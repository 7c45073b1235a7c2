// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CMovieBitmap.h"

namespace VSTGUI {

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag,
                           int32_t subPixmaps, int32_t heightOfOneImage, CBitmap* background,
                           const CPoint& offset)
    : CControl(size, listener, tag, background), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage), offset(offset) {}

void CMovieBitmap::draw(CDrawContext* context) {
    drawBitmapFrame(context, getFrameIndex(), heightOfOneImage, offset);
}

} // namespace VSTGUI
