// SPDX-License-Identifier: GPL-3.0-or-later
// A view: a rectangle of the frame that draws itself and may take mouse and key input.
// Views lie flat in their frame (frame coordinates, no nesting); later views lie above
// earlier ones. Input comes as events, never as a loop: a press goes to the top-most
// mouse-enabled view under the pointer; a view that answers MouseResult::tracking gets the
// motion and the release of that press (and the presses and releases of other buttons
// meanwhile, as motion with the new button set) until it answers otherwise or the release
// ends it.
#pragma once

#include "toolkit/CRect.h"
#include "toolkit/CReferenceCounter.h"
#include "toolkit/Input.h"

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CFrame;

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    // Draws the view; the frame clips to the area being redrawn and marks the view clean
    // afterwards. The default draws the background bitmap, if any.
    virtual void draw(CDrawContext* context);

    // `where` is in frame coordinates; `buttons` holds the mouse buttons down after the
    // event and the modifier keys (CButtonState). On a press it includes the pressed button.
    virtual MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons);
    // While tracking: the pointer moved or another button changed. Answer tracking to go on;
    // anything else ends the tracking (no release follows). A modal view that does not
    // track also gets plain pointer motion (buttons without mouse bits) for hover.
    virtual MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons);
    // The last button of a tracked press went up (no mouse bits left in `buttons`).
    virtual MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons);
    // A tracked press ended without a release: the view was removed or the frame closed.
    virtual void onMouseCancel() {}
    // Wheel steps: distance +1 per step up, -1 down. Answer whether the view used them.
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance,
                         int32_t buttons);
    // Keys reach the focus view (and then the modal view); answer whether the key was used.
    virtual bool onKeyDown(const KeyCode& key);
    virtual bool onKeyUp(const KeyCode& key);
    // The frame made this view its focus view, or took the focus away.
    virtual void takeFocus() {}
    virtual void looseFocus() {}

    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool state = true) { dirty = state; }
    void invalid() { setDirty(true); }

    // Whether `where` (frame coordinates) belongs to the view; the rectangle by default.
    virtual bool hitTest(const CPoint& where) const { return size.pointInside(where); }

    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& rect);
    int32_t getWidth() const { return size.width(); }
    int32_t getHeight() const { return size.height(); }

    void setMouseEnabled(bool enabled) { mouseEnabled = enabled; }
    bool getMouseEnabled() const { return mouseEnabled; }
    void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }

    // The background bitmap; the view keeps its own reference.
    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    CFrame* getFrame() const { return frame; }
    // Called by the frame when the view is added to it and when it is removed.
    virtual void attached(CFrame* parent) { frame = parent; }
    virtual void removed() { frame = nullptr; }

protected:
    CRect size;
    CBitmap* background = nullptr;
    CFrame* frame = nullptr;
    bool dirty = true;
    bool mouseEnabled = true;
    bool transparent = false;
};

} // namespace VSTGUI
