// SPDX-License-Identifier: GPL-3.0-or-later
// A bitmap resource by number. The size is known at once (scale 1); the pixels of a scale
// are loaded on the first draw at that scale and kept while the bitmap lives, so a window
// at scale 2 never holds the scale-1 pixels and opening costs no decoding up front.
#pragma once

#include "toolkit/CRect.h"
#include "toolkit/CReferenceCounter.h"
#include "toolkit/ResourceData.h"

#include <memory>

namespace VSTGUI {

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    explicit CBitmap(int32_t resourceId);
    ~CBitmap() override;

    int32_t getResourceId() const { return resourceId; }
    // Size at scale 1; 0 × 0 for an unknown resource, which then draws nothing.
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    bool isLoaded() const { return width > 0 && height > 0; }

    // Pixels at `scale` (1 or 2), loaded on first use; null when the art has none.
    const ImageData* getImage(int32_t scale);

    // Draws the part of the bitmap that starts at `offset` (bitmap pixels at scale 1) into
    // `dest` (frame coordinates); the plain form copies, the transparent one blends.
    void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = {});
    void drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset = {});

private:
    int32_t resourceId;
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<ImageData> images[2];
    bool failed[2] = {false, false};
};

} // namespace VSTGUI
