// SPDX-License-Identifier: GPL-3.0-or-later
// A control listener and a frame owner that record what reaches them, for tests of controls
// on a bare frame.
#pragma once

#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

#include <string>
#include <vector>

// Every valueChanged, as (tag, value).
struct RecordingListener : VSTGUI::CControlListener {
    struct Call {
        int32_t tag;
        float value;
    };
    std::vector<Call> calls;
    void valueChanged(VSTGUI::CDrawContext*, VSTGUI::CControl* control) override {
        calls.push_back({control->getTag(), control->getValue()});
    }
    std::vector<float> values() const {
        std::vector<float> v;
        for (const Call& c : calls) v.push_back(c.value);
        return v;
    }
};

// The editor's side of the frame: records begin and end of gestures as "b<tag>", "e<tag>".
struct RecordingOwner : VSTGUI::CFrameOwner {
    std::vector<std::string> edits;
    void beginEdit(int32_t tag) override { edits.push_back("b" + std::to_string(tag)); }
    void endEdit(int32_t tag) override { edits.push_back("e" + std::to_string(tag)); }
};
