// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CAbout.h"

#include "editor/CSplashScreenMyView.h"

using namespace VSTGUI;

CAbout::CAbout(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               const CRect& toDisplay)
    : CSplashScreen(size, listener, tag, background, toDisplay) {}

MouseResult CAbout::onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    if ((buttons & kModifierKeys) && listener != nullptr &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return MouseResult::handled;
    return CSplashScreen::onMouseDown(context, where, buttons);
}

CView* CAbout::createSplashView() {
    return new CSplashScreenMyView(toDisplay, this);
}
