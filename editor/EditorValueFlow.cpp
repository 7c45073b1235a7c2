// SPDX-License-Identifier: GPL-3.0-or-later
// The flow of values: the effect's events handed to the next idle, and the controls' changes
// turned into parameter changes (with the linked lines, the modes that make a delay time or
// the LFO rate follow the tempo, and the step buttons).
#include "editor/DrellKickButton.h"
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "engine/TempoSync.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace {

// A free LFO rate steps by this many hertz.
constexpr double kLfoStepHz = 0.001;

// The right line's parameter for a left one, or the left's for a right one.
int32_t partnerOf(int32_t index) {
    switch (index) {
    case kDlyLFb:
        return kDlyRFb;
    case kDlyRFb:
        return kDlyLFb;
    case kDlyLFbPan:
        return kDlyRFbPan;
    case kDlyRFbPan:
        return kDlyLFbPan;
    case kDlyLFbInv:
        return kDlyRFbInv;
    case kDlyRFbInv:
        return kDlyLFbInv;
    case kDlyLDlyInv:
        return kDlyRDlyInv;
    case kDlyRDlyInv:
        return kDlyLDlyInv;
    case kDlyLMode:
        return kDlyRMode;
    case kDlyRMode:
        return kDlyLMode;
    case kDlyLRange:
        return kDlyRRange;
    case kDlyRRange:
        return kDlyLRange;
    case kDlyLTime:
        return kDlyRTime;
    case kDlyRTime:
        return kDlyLTime;
    case kDlyLNum:
        return kDlyRNum;
    case kDlyRNum:
        return kDlyLNum;
    case kDlyLDen:
        return kDlyRDen;
    case kDlyRDen:
        return kDlyLDen;
    default:
        return -1;
    }
}

} // namespace

// ---- Events from the effect (any thread) ----

void Editor::setParameter(std::int32_t index, float value) {
    if (index < 0 || index >= kNumParams) return;
    pendingValue[index].store(value, std::memory_order_relaxed);
    pendingMask.fetch_or(uint64_t(1) << index, std::memory_order_release);
}

void Editor::onProgramSelect() {
    link.store(false, std::memory_order_relaxed);
    unlinkPending.store(true, std::memory_order_release);
}

void Editor::onTempoChanged(float tempo) {
    pendingTempo.store(tempo, std::memory_order_relaxed);
    tempoPending.store(true, std::memory_order_release);
}

void Editor::applyPendingEvents() {
    if (unlinkPending.exchange(false, std::memory_order_acquire)) setControl(kLinkTag, 0.0f);
    if (tempoPending.exchange(false, std::memory_order_acquire)) {
        const float tempo = pendingTempo.load(std::memory_order_relaxed);
        setControl(kTempoTag, rootOf(std::clamp(temposync::normOfTempo(tempo), 0.0f, 1.0f)));
    }
    uint64_t mask = pendingMask.exchange(0, std::memory_order_acquire);
    while (mask != 0) {
        const int32_t index = __builtin_ctzll(mask);
        mask &= mask - 1;
        const float value = pendingValue[index].load(std::memory_order_relaxed);
        switch (index) {
        case kDlyLFb:
        case kDlyRFb:
        case kDlyLFbPan:
        case kDlyRFbPan:
        case kFltMod:
        case kFltCutoff:
        case kFltRes:
            setControl(index, getParam(index));
            break;
        case kModLfoRate:
        case kDlyLTime:
        case kDlyRTime:
            setControl(index, rootOf(value));
            break;
        case kMainBypass:
            setControl(kMainBypass, value);
            setControl(kActiveLampTag, step(value, 2) == 0 ? 1.0f : 0.0f);
            break;
        case kDlyLNum:
        case kDlyRNum:
        case kDlyLDen:
        case kDlyRDen:
        case kModLfoNum:
        case kModLfoDen:
            break; // shown on the numeric display only
        default:
            setControl(index, value);
            break;
        }
    }
}

// ---- Value flow from the controls (user-interface thread) ----

float Editor::getParam(int32_t index) {
    return drell != nullptr ? drell->getParameter(index) : 0;
}

void Editor::markDirty(CControl* control) const {
    if (control != nullptr && !hostIsAdapter) control->setDirty(true);
}

void Editor::setControl(int32_t tag, float value) const {
    if (CControl* control = getControl(tag)) control->setValue(value);
}

void Editor::automate(int32_t index, float value) {
    if (drell != nullptr) drell->setParameterAutomated(index, value);
}

void Editor::notifyParameter(int32_t index, float value) {
    if (drell != nullptr) drell->setParameterAndNotify(index, value);
}

bool Editor::isFree(int32_t modeIndex) {
    return step(getParam(modeIndex), 2) == 0;
}

void Editor::valueChanged(CDrawContext* context, CControl* control) {
    CPresetSystemEditor::valueChanged(context, control);
    if (control == nullptr) return;
    const int32_t tag = control->getTag();
    if (tag < 0 || tag >= kNumEditorTags) return;
    if (tag < kNumParams)
        soundValueChanged(control, tag, control->getValue());
    else
        ownValueChanged(control, tag, control->getValue());
}

void Editor::soundValueChanged(CControl* control, int32_t index, float value) {
    switch (index) {
    case kDlyLFb:
    case kDlyRFb:
    case kDlyLFbPan:
    case kDlyRFbPan:
    case kDlyLFbInv:
    case kDlyRFbInv:
    case kDlyLDlyInv:
    case kDlyRDlyInv:
        linkedValueChanged(control, index, value);
        break;
    case kModLfoRate:
        if (isFree(kModLfoMode)) {
            markDirty(control);
            automate(kModLfoRate, value * value);
        } else {
            control->setValue(rootOf(getParam(kModLfoRate))); // the rate follows the tempo
        }
        break;
    case kDlyLMode:
    case kDlyRMode:
        delayModeChanged(index, value);
        break;
    case kDlyLRange:
    case kDlyRRange:
        delayRangeChanged(control, index, value);
        break;
    case kDlyLTime:
    case kDlyRTime:
        delayTimeChanged(control, index, value);
        break;
    case kMainBypass:
        bypassChanged(control, value);
        break;
    default:
        automate(index, value);
        markDirty(control);
        break;
    }
}

void Editor::ownValueChanged(CControl* control, int32_t tag, float value) {
    switch (tag) {
    case kTempoTag:
        if (drell != nullptr) drell->setTempo(value * value);
        markDirty(control);
        break;
    case kLinkTag:
        linkChanged(control, value);
        break;
    default:
        if (tag >= kFirstStepTag && tag <= kLastStepTag && value != 0.0f) {
            auto* button = dynamic_cast<DrellKickButton*>(control);
            stepButton(tag, button != nullptr ? button->getStepMultiplier() : 1.0f);
            if (tag != panel::kDelayLUpTag) markDirty(control);
        }
        break; // display-only controls and the about control
    }
}

// A parameter of one delay line: with the lines linked, the other line's follows (the
// feedback pan mirrored).
void Editor::linkedValueChanged(CControl* control, int32_t index, float value) {
    automate(index, value);
    markDirty(control);
    if (!isLinked()) return;
    const bool mirrored = index == kDlyLFbPan || index == kDlyRFbPan;
    notifyParameter(partnerOf(index), mirrored ? 1.0f - value : value);
}

// Shows a line's time knob at the time its mode and range now give.
void Editor::showLineTime(int32_t side) {
    setControl(kDlyLTime + side, rootOf(getParam(kDlyLTime + side)));
}

// A line's mode or range changed: its time knob follows, and with the lines linked the
// other line takes the same setting.
void Editor::lineSettingChanged(int32_t index, int32_t side, float value) {
    showLineTime(side);
    if (!isLinked()) return;
    notifyParameter(partnerOf(index), value);
    showLineTime(1 - side);
}

void Editor::delayModeChanged(int32_t index, float value) {
    const int32_t side = index == kDlyLMode ? 0 : 1;
    automate(index, value);
    setControl(kDlyLRange + side, getParam(kDlyLRange + side));
    lineSettingChanged(index, side, value);
}

void Editor::delayRangeChanged(CControl* control, int32_t index, float value) {
    const int32_t side = index == kDlyLRange ? 0 : 1;
    if (!isFree(kDlyLMode + side)) {
        control->setValue(getParam(index)); // note mode: the range does not apply
        return;
    }
    automate(index, value);
    if (side == 0)
        control->setDirty(true);
    else
        markDirty(control);
    lineSettingChanged(index, side, value);
}

void Editor::delayTimeChanged(CControl* control, int32_t index, float value) {
    const int32_t side = index == kDlyLTime ? 0 : 1;
    if (!isFree(kDlyLMode + side)) {
        control->setValue(rootOf(getParam(index))); // the time follows the tempo
        return;
    }
    const float time = std::floor(value * value * 1000.0f) / 1000.0f;
    automate(index, time);
    markDirty(control);
    if (isLinked()) {
        notifyParameter(partnerOf(index), time);
        setControl(partnerOf(index), value);
    }
}

void Editor::bypassChanged(CControl* control, float value) {
    automate(kMainBypass, value);
    markDirty(control);
    setControl(kActiveLampTag, step(value, 2) == 0 ? 1.0f : 0.0f);
    markDirty(getControl(kActiveLampTag));
}

void Editor::linkChanged(CControl* control, float value) {
    // The button also reports its unchanged value at the press: only a change of the link
    // acts, so unlinking never copies.
    if (value == 0.0f) {
        link.store(false, std::memory_order_relaxed);
    } else if (!isLinked()) {
        link.store(true, std::memory_order_relaxed);
        linkLines();
    }
    markDirty(control);
}

void Editor::linkLines() {
    notifyParameter(kDlyRFb, getParam(kDlyLFb));
    notifyParameter(kDlyRFbPan, 1.0f - getParam(kDlyLFbPan));
    notifyParameter(kDlyRFbInv, getParam(kDlyLFbInv));
    notifyParameter(kDlyRDlyInv, getParam(kDlyLDlyInv));
    notifyParameter(kDlyRMode, getParam(kDlyLMode));
    notifyParameter(kDlyRRange, getParam(kDlyLRange));
    notifyParameter(kDlyRNum, getParam(kDlyLNum));
    notifyParameter(kDlyRDen, getParam(kDlyLDen));
    notifyParameter(kDlyRTime, getParam(kDlyLTime));
}

void Editor::stepButton(int32_t tag, float multiplier) {
    const bool linked = isLinked();
    switch (tag) {
    case panel::kDelayLDownTag:
    case panel::kDelayLUpTag:
    case panel::kDelayRDownTag:
    case panel::kDelayRUpTag: {
        const int32_t side = tag < panel::kDelayRDownTag ? 0 : 1;
        const bool up = tag == panel::kDelayLUpTag || tag == panel::kDelayRUpTag;
        if (isFree(kDlyLMode + side)) {
            const int32_t time = kDlyLTime + side;
            float t = getParam(time) + (up ? multiplier : -multiplier) / 1000.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            notifyParameter(time, t);
            if (linked) notifyParameter(partnerOf(time), t);
        } else {
            // Up steps the denominator, down the numerator.
            const int32_t index = (up ? kDlyLDen : kDlyLNum) + side;
            stepChoice(index, multiplier, linked ? partnerOf(index) : -1);
        }
        break;
    }
    case panel::kLfoDownTag:
    case panel::kLfoUpTag: {
        const bool up = tag == panel::kLfoUpTag;
        if (isFree(kModLfoMode)) {
            using namespace temposync;
            double hz = lfoHzOf(double(getParam(kModLfoRate)));
            hz = up ? std::min(hz + kLfoStepHz, double(kMaxLfoHz))
                    : std::max(hz - kLfoStepHz, double(kMinLfoHz));
            notifyParameter(kModLfoRate, float(lfoValueOf(hz)));
        } else {
            stepChoice(up ? kModLfoDen : kModLfoNum, multiplier, -1);
        }
        break;
    }
    default:
        break;
    }
}

// Steps a note-value choice on by one (back by one with the step multiplier above one),
// wrapping around.
void Editor::stepChoice(int32_t index, float multiplier, int32_t partner) {
    const int32_t count = kParameterTable[index].steps;
    int32_t i = step(getParam(index), count);
    i += multiplier <= 1.0f ? 1 : -1;
    if (i >= count) i = 0;
    if (i < 0) i = count - 1;
    const float value = centre(i, count);
    notifyParameter(index, value);
    if (partner >= 0) notifyParameter(partner, value);
}
