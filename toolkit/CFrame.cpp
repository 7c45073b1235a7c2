// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CFrame.h"

#include "toolkit/CBitmap.h"
#include "toolkit/PlatformWindow.h"

#include <algorithm>

namespace VSTGUI {

namespace {

int32_t floorDiv(int32_t a, int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

// Turns the window's device-pixel input into the frame's input calls.
class CFrame::WindowEvents : public WindowEventSink {
public:
    explicit WindowEvents(CFrame& frame) : frame(frame) {}

    void windowMouseDown(int32_t x, int32_t y, int32_t buttons) override {
        frame.mouseDown(toFrame(x, y), buttons);
    }
    void windowMouseMoved(int32_t x, int32_t y, int32_t buttons) override {
        frame.mouseMoved(toFrame(x, y), buttons);
    }
    void windowMouseUp(int32_t x, int32_t y, int32_t buttons) override {
        frame.mouseUp(toFrame(x, y), buttons);
    }
    void windowWheel(int32_t x, int32_t y, float distance, int32_t buttons) override {
        frame.mouseWheel(toFrame(x, y), distance, buttons);
    }
    void windowMouseExited() override { frame.mouseExited(); }
    void windowKeyDown(const KeyCode& key) override { frame.keyDown(key); }
    void windowKeyUp(const KeyCode& key) override { frame.keyUp(key); }

private:
    CPoint toFrame(int32_t x, int32_t y) const {
        return {floorDiv(x, frame.scale), floorDiv(y, frame.scale)};
    }
    CFrame& frame;
};

CFrame::CFrame(const CRect& size, void* parentWindow, CFrameOwner* owner, int32_t scale)
    : CView(size), owner(owner), parentWindow(parentWindow), scale(scale == 2 ? 2 : 1),
      framebuffer(size.width() * this->scale, size.height() * this->scale),
      context(framebuffer, this->scale, fonts, this),
      events(std::make_unique<WindowEvents>(*this)) {
    frame = this;
    if (parentWindow != nullptr)
        window = createPlatformWindow(reinterpret_cast<uintptr_t>(parentWindow),
                                      framebuffer.width(), framebuffer.height(), *events);
}

CFrame::~CFrame() {
    closing = true;
    endTracking(true);
    setFocusView(nullptr);
    modalView = nullptr;
    removeAll(true);
    window.reset();
}

void* CFrame::getSystemWindow() const {
    return hasWindow() ? reinterpret_cast<void*>(window->getHandle()) : nullptr;
}

bool CFrame::hasWindow() const {
    return window && window->isAlive();
}

void CFrame::beginEdit(int32_t tag) {
    if (owner) owner->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
    if (owner) owner->endEdit(tag);
}

int32_t CFrame::getKnobMode() const {
    return owner ? owner->getKnobMode() : kCircularMode;
}

bool CFrame::addView(CView* view) {
    if (view == nullptr || view == this || isChild(view)) return false;
    views.push_back(view);
    view->attached(this);
    view->setDirty(true);
    return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
    auto found = std::find(views.begin(), views.end(), view);
    if (found == views.end()) return false;
    if (view == trackingView) endTracking(true);
    if (view == focusView) setFocusView(nullptr);
    if (view == modalView) modalView = nullptr;
    views.erase(found);
    invalidRect(view->getViewSize());
    view->removed();
    if (withForget) view->forget();
    return true;
}

void CFrame::removeAll(bool withForget) {
    while (!views.empty()) removeView(views.back(), withForget);
}

bool CFrame::isChild(const CView* view) const {
    return std::find(views.begin(), views.end(), view) != views.end();
}

CView* CFrame::getView(int32_t index) const {
    return index >= 0 && index < getNbViews() ? views[size_t(index)] : nullptr;
}

CView* CFrame::getViewAt(const CPoint& where) const {
    for (auto v = views.rbegin(); v != views.rend(); ++v)
        if ((*v)->hitTest(where)) return *v;
    return nullptr;
}

bool CFrame::setModalView(CView* view) {
    if (view == nullptr) {
        if (CView* old = modalView) {
            modalView = nullptr;
            removeView(old, true);
        }
        return true;
    }
    if (modalView != nullptr) return modalView == view;
    if (isChild(view)) {
        // Lift it above every other view.
        views.erase(std::find(views.begin(), views.end(), view));
        views.push_back(view);
    } else {
        addView(view);
    }
    endTracking(true);
    setFocusView(nullptr);
    modalView = view;
    view->setDirty(true);
    return true;
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView || (view && !isChild(view))) return;
    CView* old = focusView;
    focusView = view;
    if (old) old->looseFocus();
    if (focusView != view) return; // the old view's looseFocus chose another focus
    if (view) view->takeFocus();
    if (window && !closing) {
        if (view)
            window->grabKeyboardFocus();
        else
            window->releaseKeyboardFocus();
    }
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
    where = mouseLocation;
    return true;
}

void CFrame::idle() {
    if (inIdle) return; // a listener that idles the frame from inside an event
    inIdle = true;
    if (window) window->processEvents();
    redrawDirtyViews();
    inIdle = false;
}

void CFrame::invalidRect(const CRect& rect) {
    CRect r = rect;
    invalidArea.add(r.bound(bounds()));
}

void CFrame::setDirty(bool state) {
    CView::setDirty(state);
    if (state) invalidArea.add(bounds());
}

void CFrame::redrawDirtyViews() {
    RectList& area = invalidArea;
    if (dirty) area.add(bounds());
    for (CView* view : views)
        if (view->isDirty()) {
            CRect r = view->getViewSize();
            area.add(r.bound(bounds()));
        }
    dirty = false;
    if (area.empty()) {
        if (window) window->present(framebuffer, nullptr, 0); // exposures only
        return;
    }
    std::vector<CRect> rects = area.get();
    area.clear();
    for (const CRect& r : rects) {
        context.setClipRect(r);
        if (background)
            background->draw(&context, bounds());
        else {
            context.setFillColor(kBlackCColor);
            context.fillRect(r);
        }
        for (size_t i = 0; i < views.size(); ++i) {
            CView* view = views[i];
            if (!view->getViewSize().rectOverlap(r)) continue;
            view->draw(&context);
            view->setDirty(false);
        }
    }
    context.resetClipRect();
    if (window) {
        std::vector<CRect> device;
        device.reserve(rects.size());
        for (const CRect& r : rects) device.push_back(r.scaled(scale));
        window->present(framebuffer, device.data(), device.size());
    }
}

void CFrame::draw(CDrawContext* target) {
    if (background)
        background->draw(target, bounds());
    else {
        target->setFillColor(kBlackCColor);
        target->fillRect(bounds());
    }
    for (CView* view : views) view->draw(target);
}

void CFrame::endTracking(bool cancelled) {
    CView* view = trackingView;
    if (view == nullptr) return;
    trackingView = nullptr;
    if (cancelled) view->onMouseCancel();
    view->forget();
}

MouseResult CFrame::press(CView* view, const CPoint& where, int32_t buttons) {
    SharedRef<CView> keep(view); // the handler may remove the view from the frame
    MouseResult result = view->onMouseDown(&context, where, buttons);
    if (result == MouseResult::tracking && isChild(view) && trackingView == nullptr) {
        view->remember();
        trackingView = view;
    }
    return result;
}

void CFrame::mouseDown(const CPoint& where, int32_t buttons) {
    mouseLocation = where;
    mouseButtons = buttons;
    onMouseDown(&context, where, buttons);
}

void CFrame::mouseMoved(const CPoint& where, int32_t buttons) {
    mouseLocation = where;
    mouseButtons = buttons;
    onMouseMoved(&context, where, buttons);
}

void CFrame::mouseUp(const CPoint& where, int32_t buttons) {
    mouseLocation = where;
    mouseButtons = buttons;
    onMouseUp(&context, where, buttons);
}

void CFrame::mouseWheel(const CPoint& where, float distance, int32_t buttons) {
    mouseLocation = where;
    mouseButtons = buttons;
    onWheel(&context, where, distance, buttons);
}

void CFrame::mouseExited() {
    // While a press is tracked the pointer is followed outside the window.
    if (trackingView == nullptr) mouseLocation = {-1, -1};
}

bool CFrame::keyDown(const KeyCode& key) {
    return onKeyDown(key);
}

bool CFrame::keyUp(const KeyCode& key) {
    return onKeyUp(key);
}

MouseResult CFrame::onMouseDown(CDrawContext*, const CPoint& where, int32_t buttons) {
    if (trackingView) {
        // Another button went down during a tracked press: the tracking view sees the new
        // button set as motion.
        SharedRef<CView> keep(trackingView);
        MouseResult result = trackingView->onMouseMoved(&context, where, buttons);
        if (result != MouseResult::tracking) endTracking(false);
        return result;
    }
    if (modalView) return press(modalView, where, buttons);
    if (focusView && !focusView->hitTest(where)) setFocusView(nullptr);
    for (size_t i = views.size(); i-- > 0;) {
        if (i >= views.size()) continue; // a handler removed views
        CView* view = views[i];
        if (!view->getMouseEnabled() || !view->hitTest(where)) continue;
        MouseResult result = press(view, where, buttons);
        if (result != MouseResult::notHandled) return result;
    }
    return MouseResult::notHandled;
}

MouseResult CFrame::onMouseMoved(CDrawContext*, const CPoint& where, int32_t buttons) {
    if (trackingView) {
        SharedRef<CView> keep(trackingView);
        MouseResult result = trackingView->onMouseMoved(&context, where, buttons);
        if (result != MouseResult::tracking) endTracking(false);
        return result;
    }
    if (modalView) {
        SharedRef<CView> keep(modalView);
        return modalView->onMouseMoved(&context, where, buttons);
    }
    return MouseResult::notHandled;
}

MouseResult CFrame::onMouseUp(CDrawContext*, const CPoint& where, int32_t buttons) {
    if (trackingView) {
        if (buttons & kMouseButtons) return onMouseMoved(&context, where, buttons);
        SharedRef<CView> keep(trackingView);
        CView* view = trackingView;
        endTracking(false);
        return view->onMouseUp(&context, where, buttons);
    }
    if (modalView) {
        SharedRef<CView> keep(modalView);
        return modalView->onMouseUp(&context, where, buttons);
    }
    return MouseResult::notHandled;
}

bool CFrame::onWheel(CDrawContext*, const CPoint& where, float distance, int32_t buttons) {
    CView* target = modalView ? modalView : focusView;
    if (target == nullptr) {
        for (auto v = views.rbegin(); v != views.rend() && target == nullptr; ++v)
            if ((*v)->getMouseEnabled() && (*v)->hitTest(where)) target = *v;
    }
    if (target == nullptr) return false;
    SharedRef<CView> keep(target);
    return target->onWheel(&context, where, distance, buttons);
}

bool CFrame::onKeyDown(const KeyCode& key) {
    if (focusView) {
        SharedRef<CView> keep(focusView);
        if (focusView->onKeyDown(key)) return true;
    }
    if (modalView && modalView != focusView) {
        SharedRef<CView> keep(modalView);
        return modalView->onKeyDown(key);
    }
    return false;
}

bool CFrame::onKeyUp(const KeyCode& key) {
    if (focusView) {
        SharedRef<CView> keep(focusView);
        if (focusView->onKeyUp(key)) return true;
    }
    if (modalView && modalView != focusView) {
        SharedRef<CView> keep(modalView);
        return modalView->onKeyUp(key);
    }
    return false;
}

} // namespace VSTGUI
