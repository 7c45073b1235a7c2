// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit's tests share: the fake art, a listener and an owner that record what
// reaches them (support/RecordingControls.h), and a canvas to draw into.
#pragma once

#include "FakeResources.h"
#include "support/RecordingControls.h"
#include "toolkit/CControl.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/FontCache.h"
#include "toolkit/Framebuffer.h"

namespace toolkit_test {

using namespace VSTGUI;

// A frame of 875 × 171 without a window.
inline CRect panelRect() {
    return {0, 0, 875, 171};
}

// A framebuffer with a drawing context, without a frame.
struct Canvas {
    Framebuffer framebuffer;
    FontCache fonts;
    CDrawContext context;
    Canvas(int32_t width, int32_t height, int32_t scale)
        : framebuffer(width * scale, height * scale), context(framebuffer, scale, fonts) {}
};

// The framebuffer pixel at frame coordinates (x, y): the top-left device pixel there.
inline uint32_t pixelAt(const CFrame& frame, int32_t x, int32_t y) {
    return frame.getFramebuffer().pixel(x * frame.getScale(), y * frame.getScale());
}

inline uint32_t rgb(uint32_t argb) {
    return argb & 0xFFFFFFu;
}

} // namespace toolkit_test
