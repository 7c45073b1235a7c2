// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CParamDisplay.h"

#include "toolkit/CBitmap.h"

#include <charconv>
#include <cmath>

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style(style) {
    setMouseEnabled(false);
}

std::string CParamDisplay::valueText(float value) const {
    if (stringConvert) return stringConvert(value);
    char text[32];
    // to_chars writes the same digits under every locale.
    auto result = std::to_chars(text, text + sizeof text, std::isfinite(value) ? value : 0.0f,
                                std::chars_format::fixed, 2);
    return std::string(text, result.ptr);
}

void CParamDisplay::drawBackground(CDrawContext* context) {
    if (background) {
        if (transparent)
            background->drawTransparent(context, size, backOffset);
        else
            background->draw(context, size, backOffset);
    } else if (!transparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
    }
    if (!(style & kNoFrame)) {
        context->setFrameColor(frameColor);
        context->drawRect(size);
    }
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text, const CRect& area) {
    if (text.empty()) return;
    context->setFont(font);
    if (style & kShadowText) {
        CRect shadow = area;
        context->setFontColor(shadowColor);
        context->drawString(text, shadow.offset(1, 1), horiAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, area, horiAlign);
}

CRect CParamDisplay::textArea() const {
    CRect area = size;
    area.left += 2;
    area.right -= 2;
    return area;
}

void CParamDisplay::draw(CDrawContext* context) {
    if (style & kNoDrawStyle) return;
    drawBackground(context);
    if (!(style & kNoTextStyle)) drawText(context, valueText(getValue()), textArea());
}

} // namespace VSTGUI
