// The editor's frame: a CFrame that sends the wheel to the view with the keyboard focus
// or else to the view under the pointer (an open menu or the about picture takes it
// first, so nothing turns behind them).
#pragma once

#include "toolkit/CFrame.h"

class MyFrame : public VSTGUI::CFrame {
public:
    MyFrame(const VSTGUI::CRect& size, void* parentWindow, VSTGUI::CFrameOwner* owner,
            int32_t scale = 1);

    bool onWheel(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where, float distance,
                 int32_t buttons) override;
};
