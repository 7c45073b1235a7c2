// SPDX-License-Identifier: GPL-3.0-or-later
// Points, rectangles and colours of the toolkit. Coordinates are whole pixels of the frame
// at scale 1 (x to the right, y down); a rectangle includes its left and top edges and
// excludes its right and bottom edges.
#pragma once

#include <algorithm>
#include <cstdint>

namespace VSTGUI {

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int32_t x, int32_t y) : x(x), y(y) {}
    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint& offset(int32_t dx, int32_t dy) {
        x += dx;
        y += dy;
        return *this;
    }
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    constexpr bool operator==(const CRect&) const = default;

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr bool rectOverlap(const CRect& r) const {
        return !isEmpty() && !r.isEmpty() && r.left < right && r.right > left && r.top < bottom &&
               r.bottom > top;
    }
    constexpr CRect& offset(int32_t dx, int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    constexpr CRect& moveTo(int32_t x, int32_t y) { return offset(x - left, y - top); }
    // Shrinks to the part that also lies in r (empty when they do not overlap).
    constexpr CRect& bound(const CRect& r) {
        left = std::max(left, r.left);
        top = std::max(top, r.top);
        right = std::max(left, std::min(right, r.right));
        bottom = std::max(top, std::min(bottom, r.bottom));
        return *this;
    }
    // Grows to the smallest rectangle holding both; an empty r changes nothing.
    constexpr CRect& unite(const CRect& r) {
        if (r.isEmpty()) return *this;
        if (isEmpty()) return *this = r;
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
        return *this;
    }
    constexpr CRect scaled(int32_t scale) const {
        return {left * scale, top * scale, right * scale, bottom * scale};
    }
};

// A colour with straight (not premultiplied) alpha; alpha 255 is opaque.
struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    constexpr bool operator==(const CColor&) const = default;
    // 0xAARRGGBB with the colour channels premultiplied by alpha.
    constexpr uint32_t premultiplied() const {
        auto mul = [this](uint8_t c) { return uint32_t(c) * alpha / 255u; };
        return uint32_t(alpha) << 24 | mul(red) << 16 | mul(green) << 8 | mul(blue);
    }
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kTransparentCColor{0, 0, 0, 0};

} // namespace VSTGUI
