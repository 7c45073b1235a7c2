// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CBitmap.h"

#include "toolkit/CDrawContext.h"

namespace VSTGUI {

CBitmap::CBitmap(int32_t resourceId) : resourceId(resourceId) {
    int32_t w = 0, h = 0;
    if (getResourceImageSize(resourceId, w, h) && w > 0 && h > 0) {
        width = w;
        height = h;
    }
}

CBitmap::~CBitmap() = default;

const ImageData* CBitmap::getImage(int32_t scale) {
    if (scale < 1 || scale > 2 || !isLoaded()) return nullptr;
    int32_t slot = scale - 1;
    if (!images[slot] && !failed[slot]) {
        auto image = std::make_unique<ImageData>();
        // Pixels of another size than the scale asks for would misplace every frame of a
        // strip: such art counts as missing.
        if (loadResourceImage(resourceId, scale, *image) && image->width == width * scale &&
            image->height == height * scale)
            images[slot] = std::move(image);
        else
            failed[slot] = true;
    }
    return images[slot].get();
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset) {
    if (context) context->drawBitmap(*this, dest, offset, false);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset) {
    if (context) context->drawBitmap(*this, dest, offset, true);
}

} // namespace VSTGUI
