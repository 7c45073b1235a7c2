// SPDX-License-Identifier: GPL-3.0-or-later
// The logo's click area: a click shows the about picture over the whole panel (a click on
// the picture or Escape closes it); the value is 1 while it is shown. A click with a
// modifier key goes to the listener first, which may claim it.
#pragma once

#include "toolkit/CSplashScreen.h"

class CAbout : public VSTGUI::CSplashScreen {
public:
    CAbout(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
           VSTGUI::CBitmap* background, const VSTGUI::CRect& toDisplay);

    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;

protected:
    VSTGUI::CView* createSplashView() override;
};
