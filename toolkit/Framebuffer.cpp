// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/Framebuffer.h"

namespace VSTGUI {

namespace {

// x * a / 255, rounded, for bytes.
inline uint32_t scaleByte(uint32_t x, uint32_t a) {
    uint32_t t = x * a + 128;
    return (t + (t >> 8)) >> 8;
}

// Premultiplied source over an opaque destination.
inline uint32_t over(uint32_t src, uint32_t dst) {
    uint32_t a = src >> 24;
    if (a == 255) return src & 0xFFFFFFu;
    if (a == 0 && (src & 0xFFFFFFu) == 0) return dst;
    uint32_t inv = 255 - a;
    uint32_t r = std::min(255u, ((src >> 16) & 255) + scaleByte((dst >> 16) & 255, inv));
    uint32_t g = std::min(255u, ((src >> 8) & 255) + scaleByte((dst >> 8) & 255, inv));
    uint32_t b = std::min(255u, (src & 255) + scaleByte(dst & 255, inv));
    return r << 16 | g << 8 | b;
}

// Straight colour over an opaque destination with coverage c (0..255).
inline uint32_t mix(uint32_t colour, uint32_t dst, uint32_t c) {
    uint32_t inv = 255 - c;
    uint32_t r = scaleByte((colour >> 16) & 255, c) + scaleByte((dst >> 16) & 255, inv);
    uint32_t g = scaleByte((colour >> 8) & 255, c) + scaleByte((dst >> 8) & 255, inv);
    uint32_t b = scaleByte(colour & 255, c) + scaleByte(dst & 255, inv);
    return r << 16 | g << 8 | b;
}

} // namespace

void Framebuffer::resize(int32_t width, int32_t height) {
    w = std::max(0, width);
    h = std::max(0, height);
    pixels.assign(size_t(w) * size_t(h), 0);
}

void Framebuffer::fill(const CRect& rect, uint32_t colour, const CRect& clip) {
    CRect r = rect;
    r.bound(clip).bound(bounds());
    if (r.isEmpty()) return;
    bool opaque = (colour >> 24) == 255;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* row = pixels.data() + size_t(y) * size_t(w);
        for (int32_t x = r.left; x < r.right; ++x)
            row[x] = opaque ? (colour & 0xFFFFFFu) : over(colour, row[x]);
    }
}

void Framebuffer::blit(const ImageData& image, int32_t srcX, int32_t srcY, int32_t width,
                       int32_t height, int32_t dstX, int32_t dstY, bool blend, const CRect& clip) {
    bool indexed = image.argb.empty();
    size_t count = size_t(std::max(0, image.width)) * size_t(std::max(0, image.height));
    if (indexed ? (image.indices.size() < count || image.palette.empty())
                : image.argb.size() < count)
        return; // a damaged image draws nothing

    // Limit the source area to the image, moving the destination along.
    if (srcX < 0) width += srcX, dstX -= srcX, srcX = 0;
    if (srcY < 0) height += srcY, dstY -= srcY, srcY = 0;
    width = std::min(width, image.width - srcX);
    height = std::min(height, image.height - srcY);
    CRect dst{dstX, dstY, dstX + std::max(0, width), dstY + std::max(0, height)};
    dst.bound(clip).bound(bounds());
    if (dst.isEmpty()) return;
    int32_t sx0 = srcX + (dst.left - dstX);
    int32_t sy0 = srcY + (dst.top - dstY);
    size_t paletteSize = image.palette.size();

    for (int32_t y = dst.top; y < dst.bottom; ++y) {
        uint32_t* out = pixels.data() + size_t(y) * size_t(w) + size_t(dst.left);
        size_t srcRow = size_t(sy0 + (y - dst.top)) * size_t(image.width) + size_t(sx0);
        int32_t n = dst.width();
        if (indexed) {
            const uint8_t* in = image.indices.data() + srcRow;
            for (int32_t i = 0; i < n; ++i) {
                uint32_t s = in[i] < paletteSize ? image.palette[in[i]] : 0u;
                out[i] = blend ? over(s, out[i]) : (s & 0xFFFFFFu);
            }
        } else {
            const uint32_t* in = image.argb.data() + srcRow;
            if (blend) {
                for (int32_t i = 0; i < n; ++i) out[i] = over(in[i], out[i]);
            } else {
                for (int32_t i = 0; i < n; ++i) out[i] = in[i] & 0xFFFFFFu;
            }
        }
    }
}

void Framebuffer::blendMask(const uint8_t* coverage, int32_t maskWidth, int32_t maskHeight,
                            int32_t dstX, int32_t dstY, uint32_t colour, const CRect& clip) {
    if (coverage == nullptr || maskWidth <= 0 || maskHeight <= 0) return;
    CRect dst{dstX, dstY, dstX + maskWidth, dstY + maskHeight};
    dst.bound(clip).bound(bounds());
    uint32_t alpha = colour >> 24;
    for (int32_t y = dst.top; y < dst.bottom; ++y) {
        uint32_t* out = pixels.data() + size_t(y) * size_t(w);
        const uint8_t* in = coverage + size_t(y - dstY) * size_t(maskWidth);
        for (int32_t x = dst.left; x < dst.right; ++x) {
            uint32_t c = scaleByte(in[x - dstX], alpha);
            if (c != 0) out[x] = mix(colour, out[x], c);
        }
    }
}

} // namespace VSTGUI
