// SPDX-License-Identifier: GPL-3.0-or-later
// The frame: the window's root. It holds the views in creation order (which is drawing
// order), the background, the mouse state, the modal and focus views, and the framebuffer
// everything is drawn into. Given a parent window it opens a child window in it; without
// one it works the same without a screen (tests, screenshots).
//
// The host's idle drives it: idle() takes the window's waiting events, delivers them as
// mouse and key events to the views, redraws the views that are dirty and copies the
// changed areas to the window. Nothing blocks and there is no loop of the toolkit's own.
//
// Every rectangle and mouse position is in frame pixels at scale 1; at scale 2 the window
// and framebuffer are twice as large and the frame converts.
#pragma once

#include "toolkit/CDrawContext.h"
#include "toolkit/CView.h"
#include "toolkit/FontCache.h"
#include "toolkit/Framebuffer.h"
#include "toolkit/RectList.h"

#include <memory>
#include <vector>

namespace VSTGUI {

class PlatformWindow;

// Knob modes: how dragging turns a knob.
enum CKnobMode : int32_t {
    kCircularMode = 0,
    kRelativCircularMode = 1,
    kLinearMode = 2,
};

// What the frame needs of the editor that owns it.
class CFrameOwner {
public:
    virtual ~CFrameOwner() = default;
    // Start and end of a user gesture on the control with `tag` (host automation gesture).
    virtual void beginEdit(int32_t tag) = 0;
    virtual void endEdit(int32_t tag) = 0;
    // The knob mode all knobs follow (CKnobMode).
    virtual int32_t getKnobMode() const { return kCircularMode; }
};

class CFrame : public CView {
public:
    // `parentWindow` is the host's window (an X window id) or null for no window; `scale`
    // is 1 or 2 (anything else counts as 1).
    CFrame(const CRect& size, void* parentWindow, CFrameOwner* owner, int32_t scale = 1);
    ~CFrame() override;

    int32_t getScale() const { return scale; }
    CFrameOwner* getOwner() const { return owner; }
    void* getParentWindow() const { return parentWindow; }
    // The frame's own window (an X window id) while it exists, else null.
    void* getSystemWindow() const;
    bool hasWindow() const;
    // True while the frame is being destroyed (views may skip notifying then).
    bool isClosing() const { return closing; }

    void beginEdit(int32_t tag);
    void endEdit(int32_t tag);
    int32_t getKnobMode() const;

    // Views. addView takes over the caller's reference; removeView drops it (withForget).
    bool addView(CView* view);
    bool removeView(CView* view, bool withForget = true);
    void removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    int32_t getNbViews() const { return int32_t(views.size()); }
    CView* getView(int32_t index) const;
    // The top-most view whose area holds `where`, or null.
    CView* getViewAt(const CPoint& where) const;

    // A modal view lies above all others and receives every mouse and key event of the
    // frame (presses outside it too, so a menu can close on them). Setting one adds it to
    // the frame (taking over the caller's reference); false while another is set. Setting
    // null removes the modal view from the frame and drops the frame's reference.
    bool setModalView(CView* view);
    CView* getModalView() const { return modalView; }
    // The view that gets the keys (a text field being edited); null for none.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    // The view that took the current press and follows its motion, or null.
    CView* getMouseTrackingView() const { return trackingView; }

    // Pointer position in frame coordinates and the buttons and modifier keys, as the last
    // event showed them; (-1, -1) while the pointer is outside the window.
    bool getCurrentMouseLocation(CPoint& where) const;
    int32_t getCurrentMouseButtons() const { return mouseButtons; }

    // One pass: take the window's events, redraw dirty views, show what changed.
    void idle();
    // Redraws the dirty views now (idle() without the window's events).
    void redrawDirtyViews();
    // Marks an area for redrawing in the next pass.
    void invalidRect(const CRect& rect);
    // A dirty frame redraws everything in the next pass.
    void setDirty(bool state = true) override;
    // Draws the background and every view into the context (no dirty bookkeeping).
    void draw(CDrawContext* context) override;

    CDrawContext* getDrawContext() { return &context; }
    const Framebuffer& getFramebuffer() const { return framebuffer; }

    // Input, in frame coordinates: the window calls these, and tests do too. Each records
    // the pointer and button state and hands the event to the matching handler below.
    void mouseDown(const CPoint& where, int32_t buttons);
    void mouseMoved(const CPoint& where, int32_t buttons);
    void mouseUp(const CPoint& where, int32_t buttons);
    void mouseWheel(const CPoint& where, float distance, int32_t buttons);
    void mouseExited();
    bool keyDown(const KeyCode& key);
    bool keyUp(const KeyCode& key);

    // The frame's handlers route events: a press to the modal view or the top-most
    // mouse-enabled view under the pointer that takes it; motion and release to the view
    // tracking the press; the wheel to the modal view, the focus view or the view under
    // the pointer; keys to the focus view, then the modal view. A subclass may change the
    // routing (the editor's frame forwards the wheel its own way).
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance,
                 int32_t buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    bool onKeyUp(const KeyCode& key) override;

private:
    class WindowEvents;

    void endTracking(bool cancelled);
    MouseResult press(CView* view, const CPoint& where, int32_t buttons);
    CRect bounds() const { return {0, 0, size.width(), size.height()}; }

    CFrameOwner* owner;
    void* parentWindow;
    int32_t scale;
    Framebuffer framebuffer;
    FontCache fonts;
    CDrawContext context;
    std::vector<CView*> views;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    CView* trackingView = nullptr;
    CPoint mouseLocation{-1, -1};
    int32_t mouseButtons = 0;
    RectList invalidArea;
    bool inIdle = false;
    bool closing = false;
    std::unique_ptr<WindowEvents> events;
    std::unique_ptr<PlatformWindow> window;
};

} // namespace VSTGUI
