// SPDX-License-Identifier: GPL-3.0-or-later
// A control: a view with a value between a minimum and a maximum (0 and 1 unless set), a
// default value, a wheel increment and a tag, that reports user changes to its listener and
// brackets each gesture with begin-edit and end-edit, which the frame passes to its owner
// (the editor) and so to the host.
//
// The value is the one field another thread may write (an effect's parameter change
// arriving from the audio thread): it is atomic, and setting it never draws. The frame
// redraws a control in its next idle pass when its value differs from the value it last
// drew (the dirty test).
#pragma once

#include "toolkit/CView.h"

#include <atomic>

namespace VSTGUI {

class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A click with modifier keys; answer non-zero to claim it (the control then ignores it).
    virtual int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                           int32_t buttons) {
        (void)context, (void)control, (void)buttons;
        return 0;
    }
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);
    ~CControl() override;

    // A value that is not a number counts as the minimum.
    virtual void setValue(float value);
    virtual float getValue() const { return value.load(std::memory_order_relaxed); }
    virtual void setMin(float value) { vmin = value; }
    float getMin() const { return vmin; }
    virtual void setMax(float value) { vmax = value; }
    float getMax() const { return vmax; }
    void setDefaultValue(float value) { defaultValue = value; }
    float getDefaultValue() const { return defaultValue; }
    void setWheelInc(float increment) { wheelInc = increment; }
    float getWheelInc() const { return wheelInc; }
    void setTag(int32_t value) { tag = value; }
    int32_t getTag() const { return tag; }
    void setListener(CControlListener* value) { listener = value; }
    CControlListener* getListener() const { return listener; }

    // Dirty while the value differs from the value last drawn, or when marked.
    bool isDirty() const override;
    void setDirty(bool state = true) override;

    // Start and end of a user gesture; the frame's owner tells the host. Nested calls are
    // counted, so only the outermost pair reaches the host.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editDepth > 0; }

    // Limits the value to the minimum and maximum.
    virtual void bounceValue();

    // Calls the listener's valueChanged with this control.
    void notify(CDrawContext* context);

    // An unfinished gesture is closed with end-edit.
    void onMouseCancel() override;

protected:
    // Draws frame `index` of a filmstrip background whose frames are `frameHeight` high,
    // starting at `offset` in the bitmap; transparent when the control is.
    void drawBitmapFrame(CDrawContext* context, int32_t index, int32_t frameHeight,
                         const CPoint& offset = {});

    CControlListener* listener;
    int32_t tag;
    std::atomic<float> value{0.0f};
    float vmin = 0.0f;
    float vmax = 1.0f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    float lastDrawnValue = -1.0f;
    int32_t editDepth = 0;
};

// The frame index 0..frames-1 that shows `value` of a control ranging vmin..vmax: the
// nearest of evenly spaced frames; a value outside the range or not a number shows the
// nearest end.
int32_t frameForValue(float value, float vmin, float vmax, int32_t frames);

} // namespace VSTGUI
