// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CDrawContext.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/FontCache.h"
#include "toolkit/Framebuffer.h"

#include <cstdlib>

namespace VSTGUI {

namespace {

uint32_t straight(const CColor& c) {
    return uint32_t(c.alpha) << 24 | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

} // namespace

CDrawContext::CDrawContext(Framebuffer& framebuffer, int32_t scale, FontCache& fonts,
                           const CFrame* frame)
    : framebuffer(framebuffer), fonts(fonts), frame(frame), scale(scale == 2 ? 2 : 1) {
    resetClipRect();
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.bound({0, 0, framebuffer.width() / scale, framebuffer.height() / scale});
}

void CDrawContext::resetClipRect() {
    clipRect = {0, 0, framebuffer.width() / scale, framebuffer.height() / scale};
}

void CDrawContext::fillRect(const CRect& rect) {
    framebuffer.fill(rect.scaled(scale), fillColor.premultiplied(), clipRect.scaled(scale));
}

void CDrawContext::drawRect(const CRect& rect) {
    if (rect.isEmpty()) return;
    CRect clip = clipRect.scaled(scale);
    uint32_t colour = frameColor.premultiplied();
    CRect r = rect.scaled(scale);
    framebuffer.fill({r.left, r.top, r.right, r.top + scale}, colour, clip);
    framebuffer.fill({r.left, r.bottom - scale, r.right, r.bottom}, colour, clip);
    framebuffer.fill({r.left, r.top + scale, r.left + scale, r.bottom - scale}, colour, clip);
    framebuffer.fill({r.right - scale, r.top + scale, r.right, r.bottom - scale}, colour, clip);
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    CRect clip = clipRect.scaled(scale);
    uint32_t colour = frameColor.premultiplied();
    int32_t x0 = from.x * scale, y0 = from.y * scale;
    int32_t x1 = to.x * scale, y1 = to.y * scale;
    int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32_t err = dx + dy;
    for (;;) {
        framebuffer.fill({x0, y0, x0 + scale, y0 + scale}, colour, clip);
        if (x0 == x1 && y0 == y1) break;
        int32_t e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

int32_t CDrawContext::getStringWidth(std::string_view text) {
    const FontData* data = fonts.get(font, 1);
    return data ? FontCache::textWidth(*data, text) : 0;
}

int32_t CDrawContext::getFontHeight() {
    const FontData* data = fonts.get(font, 1);
    return data ? data->ascent + data->descent : 0;
}

namespace {

// Where a line of text starts in `box` (device pixels) for an alignment.
int32_t penStart(const FontData& font, std::string_view text, const CRect& box, int32_t hAlign) {
    int32_t width = FontCache::textWidth(font, text);
    if (hAlign == kCenterText) return box.left + (box.width() - width) / 2;
    if (hAlign == kRightText) return box.right - width;
    return box.left;
}

int32_t baselineIn(const FontData& font, const CRect& box) {
    return box.top + (box.height() - (font.ascent + font.descent)) / 2 + font.ascent;
}

} // namespace

void CDrawContext::drawEditString(std::string_view text, const CRect& rect, int32_t hAlign,
                                  size_t from, size_t to, const CColor& highlight) {
    const FontData* data = fonts.get(font, scale);
    if (data == nullptr || rect.isEmpty()) return;
    CRect box = rect.scaled(scale);
    CRect clip = box;
    clip.bound(clipRect.scaled(scale));
    from = std::min(from, text.size());
    to = std::clamp(to, from, text.size());
    int32_t x0 = penStart(*data, text, box, hAlign);
    int32_t left = x0 + FontCache::textWidth(*data, text.substr(0, from));
    int32_t right = x0 + FontCache::textWidth(*data, text.substr(0, to));
    int32_t top = baselineIn(*data, box) - data->ascent;
    int32_t bottom = top + data->ascent + data->descent;
    CColor caret = fontColor;
    if (from == to)
        framebuffer.fill({left, top, left + scale, bottom}, caret.premultiplied(), clip);
    else
        framebuffer.fill({left, top, right, bottom}, highlight.premultiplied(), clip);
    drawString(text, rect, hAlign);
}

size_t CDrawContext::getCaretIndexAt(std::string_view text, const CRect& rect, int32_t hAlign,
                                     int32_t x) {
    const FontData* data = fonts.get(font, scale);
    if (data == nullptr) return text.size();
    CRect box = rect.scaled(scale);
    int32_t pen = penStart(*data, text, box, hAlign);
    int32_t target = x * scale + scale / 2;
    for (size_t i = 0; i < text.size(); ++i) {
        int32_t advance = FontCache::glyph(*data, text[i])->advance;
        if (target < pen + advance / 2) return i;
        pen += advance;
    }
    return text.size();
}

void CDrawContext::drawString(std::string_view text, const CRect& rect, int32_t hAlign) {
    const FontData* data = fonts.get(font, scale);
    if (data == nullptr || rect.isEmpty()) return;
    CRect box = rect.scaled(scale);
    CRect clip = box;
    clip.bound(clipRect.scaled(scale));
    if (clip.isEmpty()) return;

    int32_t x = penStart(*data, text, box, hAlign);
    int32_t baseline = baselineIn(*data, box);

    uint32_t colour = straight(fontColor);
    for (char c : text) {
        const GlyphData* g = FontCache::glyph(*data, c);
        if (g->coverage.size() >= size_t(std::max(0, g->width)) * size_t(std::max(0, g->height)))
            framebuffer.blendMask(g->coverage.data(), g->width, g->height, x + g->left,
                                  baseline - g->top, colour, clip);
        x += g->advance;
    }
}

void CDrawContext::drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& offset,
                              bool transparent) {
    const ImageData* image = bitmap.getImage(scale);
    if (image == nullptr) return;
    CRect d = dest.scaled(scale);
    framebuffer.blit(*image, offset.x * scale, offset.y * scale, d.width(), d.height(), d.left,
                     d.top, transparent, clipRect.scaled(scale));
}

int32_t CDrawContext::getMouseButtons() const {
    return frame ? frame->getCurrentMouseButtons() : 0;
}

void CDrawContext::getMouseLocation(CPoint& where) const {
    if (frame)
        frame->getCurrentMouseLocation(where);
    else
        where = {-1, -1};
}

} // namespace VSTGUI
