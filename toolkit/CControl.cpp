// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CControl.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <cmath>

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
    setBackground(background);
}

CControl::~CControl() = default;

void CControl::setValue(float newValue) {
    if (std::isnan(newValue)) newValue = vmin;
    value.store(newValue, std::memory_order_relaxed);
}

bool CControl::isDirty() const {
    return dirty || getValue() != lastDrawnValue;
}

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (!state) lastDrawnValue = getValue();
}

void CControl::beginEdit() {
    if (editDepth++ == 0 && frame) frame->beginEdit(tag);
}

void CControl::endEdit() {
    if (editDepth == 0) return;
    if (--editDepth == 0 && frame) frame->endEdit(tag);
}

void CControl::bounceValue() {
    float v = getValue();
    if (std::isnan(v) || v < vmin)
        v = vmin;
    else if (v > vmax)
        v = vmax;
    value.store(v, std::memory_order_relaxed);
}

void CControl::notify(CDrawContext* context) {
    if (listener) listener->valueChanged(context, this);
}

void CControl::onMouseCancel() {
    while (editDepth > 0) endEdit();
}

void CControl::drawBitmapFrame(CDrawContext* context, int32_t index, int32_t frameHeight,
                               const CPoint& offset) {
    if (background == nullptr) return;
    CPoint source{offset.x, offset.y + std::max(0, index) * frameHeight};
    if (transparent)
        background->drawTransparent(context, size, source);
    else
        background->draw(context, size, source);
}

int32_t frameForValue(float value, float vmin, float vmax, int32_t frames) {
    if (frames <= 1 || !(vmax > vmin)) return 0;
    float position = (value - vmin) / (vmax - vmin);
    if (!(position > 0.0f)) return 0; // also a value that is not a number
    if (position >= 1.0f) return frames - 1;
    return std::min(frames - 1, int32_t(std::lround(position * float(frames - 1))));
}

} // namespace VSTGUI
