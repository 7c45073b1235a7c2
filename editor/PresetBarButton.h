// SPDX-License-Identifier: GPL-3.0-or-later
// What the preset bar's push buttons share (the store button and the file buttons): three
// frames (rest, hover, pressed); a left press shows the pressed frame, which stays while
// exactly the left button is down, wherever the pointer goes; the release, or any other
// button, returns the button to rest without notifying. What the press does is the button's.
#pragma once

#include "editor/HeldGesture.h"
#include "toolkit/CKickButton.h"

class PresetBarButton : public HeldGesture<VSTGUI::CKickButton> {
public:
    using HeldGesture::HeldGesture;

    void draw(VSTGUI::CDrawContext* context) override;

protected:
    // Shows the pressed frame and opens the edit the release closes.
    void press();

private:
    void followHold(Context*, const Point&, int32_t) override {}
    void endHold(Context* context) override;
    bool holds(int32_t buttons) const override;
};
