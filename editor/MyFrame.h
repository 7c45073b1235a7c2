// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's frame: a CFrame that sends the wheel to the view with the keyboard focus
// or else to the view under the pointer (an open menu or the about picture takes it
// first, so nothing turns behind them). Over the program controls the wheel, and with no
// text field or menu taking keys the arrow keys, step the programs.
#pragma once

#include "toolkit/CFrame.h"

class ProgramStepping;

class MyFrame : public VSTGUI::CFrame {
public:
    MyFrame(const VSTGUI::CRect& size, void* parentWindow, VSTGUI::CFrameOwner* owner,
            int32_t scale = 1);

    bool onWheel(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where, float distance,
                 int32_t buttons) override;
    bool onKeyDown(const VSTGUI::KeyCode& key) override;

    // Who steps the programs (the preset bar while the window is open), or null.
    void setProgramStepping(ProgramStepping* stepping) { programStepping = stepping; }

private:
    ProgramStepping* programStepping = nullptr;
};
