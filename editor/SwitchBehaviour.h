// SPDX-License-Identifier: GPL-3.0-or-later
// What the panel's switches share, horizontal or vertical: n positions with the values
// index / n (0 and 0.5 for two, 0, 1/3 and 2/3 for three); a press picks the position
// under the pointer and the drag follows it until the buttons or modifier keys change;
// Control-click sets the default value; the wheel steps one position (up is right, or up
// on a vertical switch) and stops at the ends.
#pragma once

#include "toolkit/CSwitchBase.h"

#include <algorithm>
#include <cmath>

template <class Base>
class SwitchBehaviour : public Base {
public:
    using Base::Base;

    // The position a value shows: min(floor(value * n), n - 1), 0 for what is not a number.
    int32_t positionOf(float value) const {
        const int32_t n = this->maxPositions;
        const float scaled = value * float(n);
        if (!(scaled > 0.0f)) return 0;
        return std::min(n - 1, int32_t(std::floor(scaled)));
    }

    void draw(VSTGUI::CDrawContext* context) override {
        this->drawBitmapFrame(context, positionOf(this->getValue()), this->heightOfOneImage,
                              this->offset);
    }

    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override {
        using namespace VSTGUI;
        if (!this->getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
        if (tracking) return MouseResult::tracking;
        if (buttons == (kLButton | kControl)) {
            changeAsGesture(context, this->getDefaultValue());
            return MouseResult::handled;
        }
        this->beginEdit();
        this->notify(context);
        tracking = true;
        startButtons = buttons;
        follow(context, where);
        return MouseResult::tracking;
    }

    VSTGUI::MouseResult onMouseMoved(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                     int32_t buttons) override {
        using namespace VSTGUI;
        if (!tracking) return MouseResult::handled;
        if (buttons != startButtons) {
            finish();
            return MouseResult::handled;
        }
        follow(context, where);
        return MouseResult::tracking;
    }

    VSTGUI::MouseResult onMouseUp(VSTGUI::CDrawContext*, const VSTGUI::CPoint&, int32_t) override {
        finish();
        return VSTGUI::MouseResult::handled;
    }

    void onMouseCancel() override {
        tracking = false;
        Base::onMouseCancel();
    }

    bool onWheel(VSTGUI::CDrawContext* context, const VSTGUI::CPoint&, float distance,
                 int32_t) override {
        if (!this->getMouseEnabled()) return false;
        if (distance == 0.0f || tracking) return true;
        int32_t step = distance > 0.0f ? 1 : -1;
        if (this->vertical) step = -step;
        const int32_t index =
            std::clamp(positionOf(this->getValue()) + step, 0, this->maxPositions - 1);
        changeAsGesture(context, float(index) / float(this->maxPositions));
        return true;
    }

private:
    void follow(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where) {
        const float before = this->getValue();
        this->setValue(float(this->positionAt(where)) / float(this->maxPositions));
        if (this->getValue() != before) this->notify(context);
    }

    void finish() {
        if (!tracking) return;
        tracking = false;
        this->endEdit();
    }

    // One value change as its own gesture; nothing when the value stays.
    void changeAsGesture(VSTGUI::CDrawContext* context, float value) {
        const float before = this->getValue();
        this->setValue(value);
        if (this->getValue() == before) return;
        this->beginEdit();
        this->notify(context);
        this->endEdit();
    }

    bool tracking = false;
    int32_t startButtons = 0;
};
