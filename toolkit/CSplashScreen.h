// SPDX-License-Identifier: GPL-3.0-or-later
// A click area that opens a picture over another area of the frame (the `toDisplay`
// rectangle) as the frame's modal view; a click on the picture closes it. The value is the
// maximum while the picture is shown and the minimum otherwise; the listener hears both.
// The control itself draws nothing: the frame's background shows through.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = {});
    ~CSplashScreen() override;

    void draw(CDrawContext* context) override;
    // A left click opens the picture (or closes it if shown).
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;

    // Opens the picture: the view from createSplashView becomes the frame's modal view.
    // False when the frame refused it (another modal view is shown).
    bool splash();
    // Closes the picture if this control opened it, sets the minimum and notifies.
    virtual void unSplash();
    bool isSplashed() const { return splashView != nullptr; }

    const CRect& getDisplayRect() const { return toDisplay; }
    const CPoint& getBackOffset() const { return offset; }

    void removed() override;

protected:
    // The view that shows the picture; by default the background bitmap over the display
    // rectangle, closed by a left click. A subclass may return its own.
    virtual CView* createSplashView();

    CRect toDisplay;
    CPoint offset;

private:
    friend class CSplashScreenView;
    CView* splashView = nullptr; // owned by the frame while shown
};

// The default picture view of a CSplashScreen.
class CSplashScreenView : public CView {
public:
    CSplashScreenView(const CRect& size, CSplashScreen* owner);

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    void removed() override;

private:
    friend class CSplashScreen;
    CSplashScreen* owner;
};

} // namespace VSTGUI
