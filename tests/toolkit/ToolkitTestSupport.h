// SPDX-License-Identifier: GPL-3.0-or-later
// What the toolkit's tests share: a listener and an owner that record what reaches them,
// and a canvas to draw into.
#pragma once

#include "FakeResources.h"
#include "toolkit/CControl.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/FontCache.h"
#include "toolkit/Framebuffer.h"

#include <string>
#include <vector>

namespace toolkit_test {

using namespace VSTGUI;

// Every valueChanged, as (tag, value).
struct RecordingListener : CControlListener {
    struct Call {
        int32_t tag;
        float value;
    };
    std::vector<Call> calls;
    void valueChanged(CDrawContext*, CControl* control) override {
        calls.push_back({control->getTag(), control->getValue()});
    }
    std::vector<float> values() const {
        std::vector<float> v;
        for (const Call& c : calls) v.push_back(c.value);
        return v;
    }
};

// The editor's side of the frame: records begin and end of gestures as "b<tag>", "e<tag>".
struct RecordingOwner : CFrameOwner {
    std::vector<std::string> edits;
    int32_t knobMode = kCircularMode;
    void beginEdit(int32_t tag) override { edits.push_back("b" + std::to_string(tag)); }
    void endEdit(int32_t tag) override { edits.push_back("e" + std::to_string(tag)); }
    int32_t getKnobMode() const override { return knobMode; }
};

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
