// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in's window: the panel with its knobs, switches, buttons, numeric display and
// level bars, and the preset bar of its base. The effect owns one Editor for its lifetime;
// the host opens and closes the window any number of times, and each open builds all
// controls anew from the effect's values.
//
// Threads: open, close, idle and the controls' events run on the host's user-interface
// thread. The effect's events (setParameter, onTempoChanged, onProgramSelect) may come from
// any thread at any time, also while the window opens or closes: they only store values in
// atomics, which the next idle applies to the controls; they never touch a control, never
// allocate and never draw.
#pragma once

#include "editor/CPresetSystemEditor.h"
#include "editor/EditReceiver.h"
#include "editor/PanelLayout.h"
#include "editor/TickClock.h"
#include "engine/DrellEditorEvents.h"
#include "engine/Parameters.h"

#include <atomic>
#include <cmath>
#include <cstdint>

class Drell;

namespace VSTGUI {
class CControl;
}

class Editor : public CPresetSystemEditor, public EditReceiver, public DrellEditorEvents {
public:
    // The step buttons' tags, and the first tag that is not the editor's own (the preset
    // bar's start there).
    enum : int32_t {
        kFirstStepTag = panel::kDelayLDownTag,
        kLastStepTag = panel::kLfoUpTag,
        kNumEditorTags = panel::kProgramNameTag,
    };
    static constexpr int32_t kWidth = panel::kWidth;
    static constexpr int32_t kHeight = panel::kHeight;
    // Level bars: empty at -24 dB and below, falling from full to empty in 500 ms.
    static constexpr float kBarFloorDb = -24.0f;
    static constexpr float kBarFallMs = 500.0f;
    // A synced time out of range blinks, toggling after just over this many milliseconds.
    static constexpr uint32_t kBlinkMs = 250;

    explicit Editor(Drell* effect);
    ~Editor() override;

    bool getRect(ERect** rect) override;
    // Builds the frame and every control (a null parent makes a frame without a window that
    // draws into its framebuffer only, for pictures and tests) and draws it once. False, with
    // nothing built, when a parent is given but no window could be made in it (no X server,
    // a parent that is not a window).
    bool open(void* parentWindow) override;
    void close() override;
    // Applies what the effect sent since the last pass, updates the numeric display, the
    // level bars and the active lamp, and lets the frame redraw.
    void idle() override;
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // Gestures reach the host for the sound parameters only (tags 0..47).
    void beginEdit(int32_t tag) override;
    void endEdit(int32_t tag) override;

    // DrellEditorEvents: any thread.
    void setParameter(std::int32_t index, float value) override;
    void onProgramSelect() override;
    void onTempoChanged(float tempo) override;

    // The control with `tag` while the window is open, else null. User-interface thread.
    VSTGUI::CControl* getControl(int32_t tag) const;
    bool isLinked() const { return link.load(std::memory_order_relaxed); }
    // The clock all timing follows (null: the monotonic clock). Set before open.
    void setClock(const TickClock* newClock) { clock = newClock ? newClock : &monotonic; }

private:
    // The scale of the next window: the settings' "uiscale" (1 or 2) as read at the start,
    // if set, else what the screen's resolution asks for.
    int32_t chooseScale();
    void createControls();

    // The square-law controls (delay times, LFO rate, tempo) show the root of their value.
    static float rootOf(float value) { return value > 0.0f ? std::sqrt(value) : 0.0f; }

    // Value flow from the controls: sound parameters, then the editor's own controls.
    void soundValueChanged(VSTGUI::CControl* control, int32_t index, float value);
    void ownValueChanged(VSTGUI::CControl* control, int32_t tag, float value);
    void linkedValueChanged(VSTGUI::CControl* control, int32_t index, float value);
    void delayModeChanged(int32_t index, float value);
    void delayRangeChanged(VSTGUI::CControl* control, int32_t index, float value);
    void delayTimeChanged(VSTGUI::CControl* control, int32_t index, float value);
    void bypassChanged(VSTGUI::CControl* control, float value);
    void linkChanged(VSTGUI::CControl* control, float value);
    void showLineTime(int32_t side);
    void lineSettingChanged(int32_t index, int32_t side, float value);
    void markDirty(VSTGUI::CControl* control) const;
    void setControl(int32_t tag, float value) const;
    void automate(int32_t index, float value);
    void notifyParameter(int32_t index, float value);
    bool isFree(int32_t modeIndex);
    float getParam(int32_t index);
    void stepButton(int32_t tag, float multiplier);
    void stepChoice(int32_t index, float multiplier, int32_t partner);
    void linkLines();

    // Idle parts.
    void applyPendingEvents();
    void updateNumericDisplay(uint32_t now);
    void showNumber();
    void showNoteValue();
    void updateLevelBars(uint32_t now);
    void updateActiveLamp();
    int32_t displayedIndex() const;
    void setFrame(int32_t tag, int32_t frameIndex) const;

    VSTGUI::CControl* controls[kNumEditorTags] = {};
    bool scaleChosen = false;
    const bool hostIsAdapter;
    std::atomic<bool> link{false};

    TickClock monotonic;
    const TickClock* clock = &monotonic;
    bool displayVisible = true;
    uint32_t lastBlinkTick = 0;
    uint32_t lastIdleTick = 0;
    int32_t digits = 0;
    int32_t point = 0;
    bool isSigned = false;
    int32_t kind = 0;
    int32_t num = 0;
    int32_t den = 0;
    float peakLeft = 0.0f;
    float peakRight = 0.0f;

    // Handed over from any thread to the next idle: the latest value per sound parameter
    // with one bit per parameter that changed, the tempo, and a program selection.
    std::atomic<float> pendingValue[kNumParams] = {};
    std::atomic<uint64_t> pendingMask{0};
    std::atomic<float> pendingTempo{0.0f};
    std::atomic<bool> tempoPending{false};
    std::atomic<bool> unlinkPending{false};
};
