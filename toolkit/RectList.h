// SPDX-License-Identifier: GPL-3.0-or-later
// A short list of rectangles to redraw or to copy to the window. Overlapping or touching
// rectangles are merged as they come, and past a few entries everything is merged into one
// bounding rectangle, so a pass never does more than a handful of copies.
#pragma once

#include "toolkit/CRect.h"

#include <vector>

namespace VSTGUI {

class RectList {
public:
    static constexpr size_t kMaxRects = 8;

    void add(CRect rect) {
        if (rect.isEmpty()) return;
        // Absorb every rectangle the new one touches; repeat as the new one grows.
        for (size_t i = 0; i < rects.size();) {
            const CRect& r = rects[i];
            if (r.left <= rect.right && rect.left <= r.right && r.top <= rect.bottom &&
                rect.top <= r.bottom) {
                rect.unite(r);
                rects.erase(rects.begin() + std::ptrdiff_t(i));
                i = 0;
            } else {
                ++i;
            }
        }
        rects.push_back(rect);
        if (rects.size() > kMaxRects) {
            CRect all;
            for (const CRect& r : rects) all.unite(r);
            rects.assign(1, all);
        }
    }
    void clear() { rects.clear(); }
    bool empty() const { return rects.empty(); }
    const std::vector<CRect>& get() const { return rects; }

private:
    std::vector<CRect> rects;
};

} // namespace VSTGUI
