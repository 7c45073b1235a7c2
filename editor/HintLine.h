// SPDX-License-Identifier: GPL-3.0-or-later
// The hint line: the free text area in the middle of the preset bar. While the pointer is
// over a control it says what the control does; in learn or clear mode what to do next;
// otherwise it shows the panel as printed. It takes no mouse input.
#pragma once

#include "toolkit/CParamDisplay.h"

#include <string>
#include <string_view>

class HintLine : public VSTGUI::CParamDisplay {
public:
    // `area` is where the layout puts it; `panel` is the window's background, shown where
    // no hint is.
    HintLine(const VSTGUI::CRect& area, VSTGUI::CBitmap* panel);

    void setText(std::string_view newText);
    const std::string& getText() const { return text; }
    void draw(VSTGUI::CDrawContext* context) override;

private:
    std::string text;
};
