// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CSplashScreenMyView.h"

#include "editor/CAbout.h"
#include "toolkit/CFrame.h"

using namespace VSTGUI;

CSplashScreenMyView::CSplashScreenMyView(const CRect& size, CAbout* owner)
    : CSplashScreenView(size, owner) {}

MouseResult CSplashScreenMyView::onMouseDown(CDrawContext* context, const CPoint& where,
                                             int32_t buttons) {
    if (!(buttons & kLButton)) return MouseResult::handled;
    CFrame* parent = frame;
    const MouseResult result = CSplashScreenView::onMouseDown(context, where, buttons);
    // The whole panel lay under the picture.
    if (parent != nullptr) parent->setDirty(true);
    return result;
}
