// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/HintLine.h"

using namespace VSTGUI;

namespace {

constexpr int32_t kSmallFont = 6;
constexpr CColor kInk{76, 76, 72, 255};
constexpr CColor kBarColour{201, 196, 181, 255}; // the preset bar's own colour

} // namespace

HintLine::HintLine(const CRect& area, CBitmap* panel) : CParamDisplay(area, panel, kNoFrame) {
    setBackOffset({area.left, area.top});
    setFont(kSmallFont);
    setFontColor(kInk);
    setBackColor(kBarColour);
    setHoriAlign(kCenterText);
}

void HintLine::setText(std::string_view newText) {
    if (text == newText) return;
    text = newText;
    setDirty();
}

void HintLine::draw(CDrawContext* context) {
    drawBackground(context); // the printed text shows while there is no hint
    if (text.empty()) return;
    context->setFillColor(kBarColour);
    context->fillRect(size);
    drawText(context, text, textArea());
}
