// SPDX-License-Identifier: GPL-3.0-or-later
// The about picture over the whole panel; a left click (or Escape) closes it and the
// panel is drawn anew.
#pragma once

#include "toolkit/CSplashScreen.h"

class CAbout;

class CSplashScreenMyView : public VSTGUI::CSplashScreenView {
public:
    CSplashScreenMyView(const VSTGUI::CRect& size, CAbout* owner);

    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;
};
