// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing into the frame's framebuffer. Every coordinate is in frame pixels at scale 1; the
// context multiplies by the frame's scale (1 or 2), takes bitmaps from the art of that scale
// and text from the font of that scale, so the picture is sharp at scale 2.
#pragma once

#include "toolkit/CRect.h"

#include <cstdint>
#include <string_view>

namespace VSTGUI {

class CBitmap;
class CFrame;
class FontCache;
class Framebuffer;

// Horizontal alignment of text in its rectangle.
enum CHoriTxtAlign : int32_t {
    kLeftText = 0,
    kCenterText = 1,
    kRightText = 2,
};

class CDrawContext {
public:
    CDrawContext(Framebuffer& framebuffer, int32_t scale, FontCache& fonts,
                 const CFrame* frame = nullptr);

    int32_t getScale() const { return scale; }
    Framebuffer& getFramebuffer() { return framebuffer; }
    FontCache& getFonts() { return fonts; }

    // Drawing is limited to the clip rectangle (frame coordinates); the whole frame at first.
    void setClipRect(const CRect& clip);
    CRect getClipRect() const { return clipRect; }
    void resetClipRect();

    void setFillColor(const CColor& colour) { fillColor = colour; }
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& colour) { frameColor = colour; }
    CColor getFrameColor() const { return frameColor; }
    void setFontColor(const CColor& colour) { fontColor = colour; }
    CColor getFontColor() const { return fontColor; }
    void setFont(int32_t fontId) { font = fontId; }
    int32_t getFont() const { return font; }

    void fillRect(const CRect& rect);
    // A one-pixel outline along the inside of `rect` in the frame colour.
    void drawRect(const CRect& rect);
    // A line of one pixel's width (at scale 1) in the frame colour, both ends included.
    void drawLine(const CPoint& from, const CPoint& to);
    // Text in the font and font colour, on one line, vertically centred in `rect` and
    // aligned horizontally; cut at the rectangle's edges.
    void drawString(std::string_view text, const CRect& rect, int32_t hAlign = kCenterText);
    // drawString for a text being edited: characters from..to (byte indices) lie on a
    // highlight of `highlight` colour, and with an empty range a caret stands at `from`.
    void drawEditString(std::string_view text, const CRect& rect, int32_t hAlign, size_t from,
                        size_t to, const CColor& highlight);
    // The caret position (0..size) nearest to x (frame coordinates) for text drawn by
    // drawString into `rect` with `hAlign`.
    size_t getCaretIndexAt(std::string_view text, const CRect& rect, int32_t hAlign, int32_t x);
    // Width of `text` in frame pixels at scale 1 (0 when the font is missing).
    int32_t getStringWidth(std::string_view text);
    // Ascent and descent of the font at scale 1 (0 when the font is missing).
    int32_t getFontHeight();

    // Draws the part of `bitmap` starting at `offset` (scale-1 bitmap pixels) into `dest`.
    void drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& offset, bool transparent);

    // The mouse buttons and modifier keys (CButtonState bits) and the pointer position in
    // frame coordinates, as the frame last saw them; none without a frame.
    int32_t getMouseButtons() const;
    void getMouseLocation(CPoint& where) const;
    const CFrame* getFrame() const { return frame; }

private:
    Framebuffer& framebuffer;
    FontCache& fonts;
    const CFrame* frame;
    int32_t scale;
    CRect clipRect;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kBlackCColor;
    int32_t font = 3;
};

} // namespace VSTGUI
