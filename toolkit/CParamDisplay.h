// SPDX-License-Identifier: GPL-3.0-or-later
// A display of the value as text: a background (a piece of a bitmap from a background
// offset, or a colour), a frame and the text in a font and colour, aligned left, centred or
// right. The text comes from a value-to-text conversion, or two decimals without one.
#pragma once

#include "toolkit/CControl.h"
#include "toolkit/CDrawContext.h"

#include <functional>
#include <string>

namespace VSTGUI {

// Style bits of displays, text fields and menus.
enum CDisplayStyle : int32_t {
    kNoFrame = 0x4,       // no frame around the display
    kShadowText = 0x8,    // the text gets a shadow one pixel down and right
    kNoTextStyle = 0x400, // no text: a menu shows only its marker
    kNoDrawStyle = 0x800, // the display draws nothing at all
    kCheckStyle = 0x1000, // an open menu marks its current entry
};

class CParamDisplay : public CControl {
public:
    using StringConvert = std::function<std::string(float value)>;

    explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;

    void setFont(int32_t fontId) { font = fontId, setDirty(); }
    int32_t getFont() const { return font; }
    void setFontColor(const CColor& colour) { fontColor = colour, setDirty(); }
    CColor getFontColor() const { return fontColor; }
    void setBackColor(const CColor& colour) { backColor = colour, setDirty(); }
    CColor getBackColor() const { return backColor; }
    void setFrameColor(const CColor& colour) { frameColor = colour, setDirty(); }
    CColor getFrameColor() const { return frameColor; }
    void setShadowColor(const CColor& colour) { shadowColor = colour, setDirty(); }
    void setHoriAlign(int32_t align) { horiAlign = align, setDirty(); }
    int32_t getHoriAlign() const { return horiAlign; }
    void setStyle(int32_t value) { style = value, setDirty(); }
    int32_t getStyle() const { return style; }
    void setStringConvert(StringConvert convert) { stringConvert = std::move(convert), setDirty(); }
    // Where in the background bitmap the display's top-left corner lies.
    void setBackOffset(const CPoint& offset) { backOffset = offset, setDirty(); }
    const CPoint& getBackOffset() const { return backOffset; }

    // The text the display shows for `value`.
    std::string valueText(float value) const;

protected:
    void drawBackground(CDrawContext* context);
    // The rectangle the text is aligned in: the display less a small margin left and right.
    CRect textArea() const;
    void drawText(CDrawContext* context, const std::string& text, const CRect& area);

    int32_t font = kNormalFontId;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kBlackCColor;
    int32_t horiAlign = kCenterText;
    int32_t style;
    CPoint backOffset;
    StringConvert stringConvert;

    static constexpr int32_t kNormalFontId = 3;
};

} // namespace VSTGUI
