// SPDX-License-Identifier: GPL-3.0-or-later
// The bridge between the host's editor requests and the toolkit: owns the frame while the
// window is open, answers the editor rectangle before and after opening, passes the idle
// and the keys to the frame, and hands the controls' begin-edit and end-edit to the effect.
#pragma once

#include "host/AEffEditor.h"
#include "toolkit/CFrame.h"

#include <cstdint>

class AudioEffectX;

class AEffGUIEditor : public AEffEditor, public VSTGUI::CFrameOwner {
public:
    explicit AEffGUIEditor(AudioEffectX* effect);
    ~AEffGUIEditor() override;

    // The rectangle at the current scale (875 x 171, doubled at scale 2); valid before
    // open and after close.
    bool getRect(ERect** rect) override;
    // Stores the parent window; a derived editor builds its frame. A second open without a
    // close first closes the window that is open.
    bool open(void* parentWindow) override;
    // Destroys the frame; harmless when nothing is open.
    void close() override;
    // Lets the frame take its window's events and redraw; harmless while closed.
    void idle() override;
    VstInt32 onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) override;
    VstInt32 onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) override;
    // Stores the knob mode every knob follows; answers true.
    bool setKnobMode(VstInt32 mode) override;

    // CFrameOwner: gestures reach the host through the effect.
    void beginEdit(int32_t tag) override;
    void endEdit(int32_t tag) override;
    int32_t getKnobMode() const override { return knobMode; }

    VSTGUI::CFrame* getFrame() const { return frame; }
    bool isOpen() const { return frame != nullptr; }
    void* getParentWindow() const { return systemWindow; }
    // 1 or 2. setScale fixes it for every later open (the rectangle follows at once while
    // closed); without it a derived editor chooses (applyScale).
    int32_t getScale() const { return scale; }
    void setScale(int32_t newScale);
    bool isScaleFixed() const { return scaleFixed; }
    // The size at scale 1, in which every control rectangle is given.
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }

protected:
    // Sets the size at scale 1 (derived editors call it in their constructor).
    void setSize(int32_t newWidth, int32_t newHeight);
    // Sets the scale for the next open without fixing it.
    void applyScale(int32_t newScale);
    AudioEffectX* effectX() const { return effectXPtr; }

    VSTGUI::CFrame* frame = nullptr;
    void* systemWindow = nullptr;

private:
    void updateRect();

    AudioEffectX* effectXPtr;
    ERect rect{};
    int32_t width = 0;
    int32_t height = 0;
    int32_t scale = 1;
    bool scaleFixed = false;
    int32_t knobMode = VSTGUI::kLinearMode;
};
