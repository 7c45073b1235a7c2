// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CKnob.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"

#include <cmath>
#include <numbers>

namespace VSTGUI {

namespace {

constexpr double kStartAngle = 1.25 * std::numbers::pi; // the minimum, lower left
constexpr double kRangeAngle = 1.5 * std::numbers::pi;  // clockwise to the lower right

} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset) {
    setHandleBitmap(handle);
}

CKnob::~CKnob() {
    if (handleBitmap) handleBitmap->forget();
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (handleBitmap) handleBitmap->forget();
    handleBitmap = bitmap;
}

float CKnob::valueFromPoint(const CPoint& point) const {
    double dx = point.x - getWidth() / 2.0;
    double dy = getHeight() / 2.0 - point.y;
    double angle = std::atan2(dy, dx);
    // Turn the angle into the clockwise distance from the start, 0 .. 2 pi.
    double turn = kStartAngle - angle;
    while (turn < 0.0) turn += 2.0 * std::numbers::pi;
    while (turn >= 2.0 * std::numbers::pi) turn -= 2.0 * std::numbers::pi;
    double position = turn / kRangeAngle;
    // The gap at the bottom belongs to the nearer end.
    if (position > 1.0) position = position > 1.0 + (2.0 / 3.0 - 0.5) ? 0.0 : 1.0;
    return vmin + float(position) * (vmax - vmin);
}

void CKnob::valueToPoint(CPoint& point) const {
    float range = vmax - vmin;
    double position = range > 0.0f ? (getValue() - vmin) / range : 0.0;
    position = std::clamp(position, 0.0, 1.0);
    double angle = kStartAngle - position * kRangeAngle;
    double radius = std::min(getWidth(), getHeight()) / 2.0 - inset;
    point.x = int32_t(std::lround(getWidth() / 2.0 + radius * std::cos(angle)));
    point.y = int32_t(std::lround(getHeight() / 2.0 - radius * std::sin(angle)));
}

void CKnob::draw(CDrawContext* context) {
    if (background) {
        if (transparent)
            background->drawTransparent(context, size, offset);
        else
            background->draw(context, size, offset);
    }
    CPoint tip;
    valueToPoint(tip);
    tip.offset(size.left, size.top);
    if (handleBitmap) {
        CRect r{0, 0, handleBitmap->getWidth(), handleBitmap->getHeight()};
        r.moveTo(tip.x - r.width() / 2, tip.y - r.height() / 2);
        handleBitmap->drawTransparent(context, r);
    } else {
        CPoint centre{size.left + getWidth() / 2, size.top + getHeight() / 2};
        CColor saved = context->getFrameColor();
        context->setFrameColor(colorHandle);
        context->drawLine(centre, tip);
        context->setFrameColor(saved);
    }
}

bool CKnob::onWheel(CDrawContext* context, const CPoint&, float distance, int32_t buttons) {
    if (!getMouseEnabled()) return false;
    if (buttons & kShift) distance *= 0.1f;
    float before = getValue();
    setValue(before + distance * wheelInc);
    bounceValue();
    if (getValue() != before) {
        beginEdit();
        notify(context);
        endEdit();
    }
    return true;
}

} // namespace VSTGUI
