// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CSplashScreen.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

namespace VSTGUI {

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag,
                             CBitmap* background, const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, background), toDisplay(toDisplay), offset(offset) {}

CSplashScreen::~CSplashScreen() {
    if (auto* view = dynamic_cast<CSplashScreenView*>(splashView)) view->owner = nullptr;
}

void CSplashScreen::draw(CDrawContext*) {}

MouseResult CSplashScreen::onMouseDown(CDrawContext* context, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    if (isSplashed()) {
        unSplash();
        return MouseResult::handled;
    }
    if (splash()) notify(context);
    return MouseResult::handled;
}

CView* CSplashScreen::createSplashView() {
    return new CSplashScreenView(toDisplay, this);
}

bool CSplashScreen::splash() {
    if (frame == nullptr || isSplashed()) return false;
    CView* view = createSplashView();
    if (view == nullptr) return false;
    view->remember(); // survives a refusal long enough to be released below
    bool accepted = frame->setModalView(view);
    if (accepted) {
        splashView = view;
        setValue(vmax);
        setDirty(true);
    } else {
        view->forget();
    }
    view->forget();
    return accepted;
}

void CSplashScreen::unSplash() {
    CView* view = splashView;
    splashView = nullptr;
    if (auto* own = dynamic_cast<CSplashScreenView*>(view)) own->owner = nullptr;
    if (view && frame) {
        if (frame->getModalView() == view)
            frame->setModalView(nullptr);
        else
            frame->removeView(view);
    }
    float before = getValue();
    setValue(vmin);
    setDirty(true);
    if (getValue() != before && frame && !frame->isClosing()) notify(frame->getDrawContext());
}

void CSplashScreen::removed() {
    if (splashView && frame && !frame->isClosing()) unSplash();
    splashView = nullptr;
    CControl::removed();
}

CSplashScreenView::CSplashScreenView(const CRect& size, CSplashScreen* owner)
    : CView(size), owner(owner) {
    if (owner) {
        setBackground(owner->getBackground());
        setTransparency(owner->getTransparency());
    }
}

void CSplashScreenView::draw(CDrawContext* context) {
    if (background == nullptr) return;
    CPoint offset = owner ? owner->getBackOffset() : CPoint{};
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
}

MouseResult CSplashScreenView::onMouseDown(CDrawContext*, const CPoint&, int32_t buttons) {
    if (!(buttons & kLButton)) return MouseResult::handled;
    if (owner)
        owner->unSplash();
    else if (frame && frame->getModalView() == this)
        frame->setModalView(nullptr);
    return MouseResult::handled;
}

bool CSplashScreenView::onKeyDown(const KeyCode& key) {
    if (key.virt != kVKeyEscape) return false;
    onMouseDown(nullptr, {}, kLButton);
    return true;
}

void CSplashScreenView::removed() {
    // Removed by someone else (the frame closing, another view): the owner lets go.
    if (owner && owner->splashView == this) {
        owner->splashView = nullptr;
        owner->setValue(owner->getMin());
        owner->setDirty(true);
    }
    owner = nullptr;
    CView::removed();
}

} // namespace VSTGUI
