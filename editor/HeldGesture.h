// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor's dragged and held controls share: a left press may start a gesture, which
// follows the pointer while the buttons it needs stay down and ends at the release, when
// those buttons go, or when the window cancels the tracking (it lost the pointer). A second
// press during a gesture changes nothing. The control says what starts, follows and ends.
#pragma once

#include "toolkit/CControl.h"

template <class Base>
class HeldGesture : public Base {
public:
    using Base::Base;

    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override {
        if (!this->getMouseEnabled() || !(buttons & VSTGUI::kLButton))
            return VSTGUI::MouseResult::notHandled;
        if (held) return VSTGUI::MouseResult::tracking;
        const VSTGUI::MouseResult result = beginHold(context, where, buttons);
        held = result == VSTGUI::MouseResult::tracking;
        return result;
    }

    VSTGUI::MouseResult onMouseMoved(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                     int32_t buttons) override {
        if (!held) return VSTGUI::MouseResult::handled;
        if (!holds(buttons)) {
            end(context);
            return VSTGUI::MouseResult::handled;
        }
        followHold(context, where, buttons);
        return VSTGUI::MouseResult::tracking;
    }

    VSTGUI::MouseResult onMouseUp(VSTGUI::CDrawContext* context, const VSTGUI::CPoint&,
                                  int32_t) override {
        end(context);
        return VSTGUI::MouseResult::handled;
    }

    void onMouseCancel() override {
        end(nullptr);
        Base::onMouseCancel();
    }

protected:
    using Context = VSTGUI::CDrawContext;
    using Point = VSTGUI::CPoint;

    // The press: MouseResult::tracking starts the gesture; anything else is the whole answer.
    virtual VSTGUI::MouseResult beginHold(Context* context, const Point& where,
                                          int32_t buttons) = 0;
    virtual void followHold(Context* context, const Point& where, int32_t buttons) = 0;
    // The gesture's end; `context` is null when it is cancelled, and nothing is notified then.
    virtual void endHold(Context* context) = 0;
    // Whether `buttons` keep the gesture going: the left button by default.
    virtual bool holds(int32_t buttons) const { return (buttons & VSTGUI::kLButton) != 0; }

private:
    void end(VSTGUI::CDrawContext* context) {
        if (!held) return;
        held = false;
        endHold(context);
    }

    bool held = false;
};
