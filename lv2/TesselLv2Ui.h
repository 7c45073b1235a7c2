// SPDX-License-Identifier: GPL-3.0-or-later
// The editor in an LV2 host: the effect's own editor, opened into the window the host gives,
// on an instance the host lets the UI reach (instance access). The user's edits, which the
// effect reports as a VST 2 effect reports them to its host, become port writes the host
// records as automation: a knob's gesture is framed by touch when the host offers it, and a
// program selected in the preset bar writes every port. Values the host sends to the ports
// are left alone: the instance applies them in its run, and the editor follows them there.
//
// Threads: every call comes on the host's UI thread. The effect's reports from the audio
// thread wait in the instance's queue for the next idle.
#pragma once

#include "lv2/TesselLv2.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>
#include <memory>

class TesselLv2Ui final : public HostEdits {
public:
    // Null, with nothing left open, without instance access, a parent window or an instance
    // of ours, when another UI has the instance, or when the editor cannot open.
    static std::unique_ptr<TesselLv2Ui> create(LV2UI_Write_Function write,
                                               LV2UI_Controller controller, LV2UI_Widget* widget,
                                               const LV2_Feature* const* features);
    ~TesselLv2Ui() override;
    TesselLv2Ui(const TesselLv2Ui&) = delete;
    TesselLv2Ui& operator=(const TesselLv2Ui&) = delete;

    // Lets the editor take its window's events and redraw, then writes the edits made since
    // the last idle. 0 while the window is open, 1 once it is gone (its parent was destroyed).
    int idle();

    // HostEdits
    void beginEdit(int param) override;
    void automate(int param, float value) override;
    void endEdit(int param) override;
    void allChanged() override;

private:
    TesselLv2Ui(TesselLv2& instance, LV2UI_Write_Function write, LV2UI_Controller controller,
                const LV2UI_Touch* touch);
    void writePort(int param, float value);
    void setTouch(int param, bool grabbed);

    TesselLv2& instance;
    AEffect* record;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch; // null when the host offers none
    bool open = false;        // the host has the window
    bool touched[kNumParams] = {};
};
