// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's software framebuffer: opaque pixels 0x00RRGGBB, row-major, top row first,
// in device pixels (frame size times the scale). Every drawing operation ends here, so the
// whole editor renders without a display; the window only copies finished pixels out.
// All rectangles here are in device pixels and are clipped to the buffer and to `clip`.
#pragma once

#include "toolkit/CRect.h"
#include "toolkit/ResourceData.h"

#include <cstdint>
#include <vector>

namespace VSTGUI {

class Framebuffer {
public:
    Framebuffer() = default;
    Framebuffer(int32_t width, int32_t height) { resize(width, height); }

    void resize(int32_t width, int32_t height);
    int32_t width() const { return w; }
    int32_t height() const { return h; }
    CRect bounds() const { return {0, 0, w, h}; }
    const uint32_t* data() const { return pixels.data(); }
    uint32_t* data() { return pixels.data(); }
    uint32_t pixel(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(w) + size_t(x)]; }

    // Paints `rect` with a premultiplied 0xAARRGGBB colour (blended when not opaque).
    void fill(const CRect& rect, uint32_t colour, const CRect& clip);

    // Copies the source area (srcX, srcY, width, height of `image`) to (dstX, dstY). Plain
    // copies take the colour as stored (a premultiplied pixel appears as over black);
    // `blend` composites the premultiplied source over what is there.
    void blit(const ImageData& image, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
              int32_t dstX, int32_t dstY, bool blend, const CRect& clip);

    // Blends `colour` (straight 0xAARRGGBB) through an 8-bit coverage mask placed at
    // (dstX, dstY): text glyphs.
    void blendMask(const uint8_t* coverage, int32_t maskWidth, int32_t maskHeight, int32_t dstX,
                   int32_t dstY, uint32_t colour, const CRect& clip);

private:
    int32_t w = 0;
    int32_t h = 0;
    std::vector<uint32_t> pixels;
};

} // namespace VSTGUI
