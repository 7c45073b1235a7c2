// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CView.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"

namespace VSTGUI {

CView::CView(const CRect& size) : size(size) {}

CView::~CView() {
    if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background == nullptr) return;
    if (transparent)
        background->drawTransparent(context, size);
    else
        background->draw(context, size);
}

MouseResult CView::onMouseDown(CDrawContext*, const CPoint&, int32_t) {
    return MouseResult::notHandled;
}

MouseResult CView::onMouseMoved(CDrawContext*, const CPoint&, int32_t) {
    return MouseResult::notHandled;
}

MouseResult CView::onMouseUp(CDrawContext*, const CPoint&, int32_t) {
    return MouseResult::notHandled;
}

bool CView::onWheel(CDrawContext*, const CPoint&, float, int32_t) {
    return false;
}

bool CView::onKeyDown(const KeyCode&) {
    return false;
}

bool CView::onKeyUp(const KeyCode&) {
    return false;
}

void CView::setViewSize(const CRect& rect) {
    if (frame) frame->invalidRect(size); // the area left behind
    size = rect;
    setDirty(true);
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap == background) return;
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty(true);
}

} // namespace VSTGUI
