// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric display (the value under the pointer, or the tempo), the input level bars
// and the active lamp, updated at each idle.
#include "editor/CAnimKnob2.h"
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

void Editor::setFrame(int32_t tag, int32_t frameIndex) const {
    const panel::Control* row = panel::find(tag);
    const int32_t frames = row != nullptr ? panel::framesOf(*row) : 0;
    if (frames < 2) return;
    frameIndex = std::clamp(frameIndex, 0, frames - 1);
    setControl(tag, float(frameIndex) / float(frames - 1));
}

int32_t Editor::displayedIndex() const {
    if (getEditedIndex() != -1) return getEditedIndex();
    CPoint where{-1, -1};
    frame->getCurrentMouseLocation(where);
    const int32_t x = where.x, y = where.y;
    if (panel::kLfoRateZone.contains(x, y)) return kModLfoRate;
    if (panel::kDelayLTimeZone.contains(x, y)) return kDlyLTime;
    if (panel::kDelayRTimeZone.contains(x, y)) return kDlyRTime;
    if (auto* knob = dynamic_cast<CAnimKnob2*>(frame->getViewAt(where))) return knob->getTag();
    return kTempoTag;
}

void Editor::updateNumericDisplay(uint32_t now) {
    for (int32_t k = 0; k < 3; ++k) {
        setFrame(kFirstPointTag + k, 0);
        setFrame(kFirstMarkTag + k, 0);
    }
    for (int32_t k = 0; k < 4; ++k) setFrame(kFirstDigitTag + k, 0);
    num = 0;

    auto query = [this](int32_t index) {
        int d = 0, p = 0, k = 0, n = num, m = den;
        bool s = false;
        drell->getDisplayValue(&d, &p, index, &s, &k, &n, &m);
        digits = d, point = p, isSigned = s, kind = k, num = n, den = m;
    };
    auto blink = [this, now](int which) {
        if (!drell->isSyncOutOfRange(which)) {
            displayVisible = true;
        } else if (now - lastBlinkTick > kBlinkMs) {
            displayVisible = !displayVisible;
            lastBlinkTick = now;
        }
    };

    const int32_t index = displayedIndex();
    isSigned = false;
    if (drell == nullptr) return;
    switch (index) {
    case kModLfoRate:
        if (isFree(kModLfoMode)) {
            displayVisible = true;
            query(kModLfoRate);
        } else {
            query(kModLfoNum);
            blink(4);
        }
        break;
    case kDlyLTime:
    case kDlyRTime: {
        const int32_t side = index - kDlyLTime;
        if (isFree(kDlyLMode + side)) {
            displayVisible = true;
            query(index);
        } else {
            query(kDlyLNum + side);
            blink(side + 1);
        }
        break;
    }
    default:
        // A knob shows its own value, the rest the tempo; any other control leaves the
        // digits as the last query left them.
        if (index == kTempoTag ||
            (panel::find(index) != nullptr && panel::find(index)->kind == panel::Kind::Knob)) {
            displayVisible = true;
            query(index == kTempoTag ? kNumParams + 1 : index);
        }
        break;
    }

    if (num == 0)
        showNumber();
    else if (displayVisible)
        showNoteValue();
}

void Editor::showNumber() {
    int32_t rest = 0;
    int32_t pointAt = point;
    if (!isSigned) {
        setFrame(kFirstDigitTag, digits / 1000 + 1);
        rest = digits % 1000;
    } else {
        const int32_t shown = digits / 10;
        pointAt = point + 1 > 3 ? 0 : point + 1;
        setFrame(kFirstDigitTag, shown < 0 ? 11 : 12);
        rest = std::abs(shown) % 1000;
    }
    rest = std::abs(rest);
    setFrame(kFirstDigitTag + 1, rest / 100 + 1);
    setFrame(kFirstDigitTag + 2, rest % 100 / 10 + 1);
    setFrame(kFirstDigitTag + 3, rest % 10 + 1);
    if (kind >= 1 && kind <= 3) setFrame(kFirstMarkTag + kind - 1, 1);
    if (pointAt >= 1 && pointAt <= 3) setFrame(kFirstPointTag + pointAt - 1, 1);
}

void Editor::showNoteValue() {
    setFrame(kFirstDigitTag, num + 1);
    setFrame(kFirstMarkTag + 1, 1);
    if (den < 10) {
        setFrame(kFirstDigitTag + 3, den + 1);
    } else {
        setFrame(kFirstDigitTag + 2, den / 10 % 10 + 1);
        setFrame(kFirstDigitTag + 3, den % 10 + 1);
    }
}

void Editor::updateLevelBars(uint32_t now) {
    if (drell == nullptr) return;
    drell->readInputPeaks(&peakLeft, &peakRight);
    const float floorLevel = std::pow(10.0f, kBarFloorDb / 20.0f);
    const float fall = float(now - lastIdleTick) / kBarFallMs;
    const float peaks[2] = {peakLeft, peakRight};
    for (int32_t side = 0; side < 2; ++side) {
        CControl* bar = getControl(kLevelLeftTag + side);
        if (bar == nullptr) continue;
        const float level = peaks[side];
        const float db =
            level > floorLevel ? std::min(20.0f * std::log10(level), 0.0f) : kBarFloorDb;
        const float target = db / -kBarFloorDb + 1.0f;
        const float fallen = std::max(bar->getValue() - fall, 0.0f);
        bar->setValue(fallen <= target ? target : fallen);
    }
}

void Editor::updateActiveLamp() {
    setControl(kActiveLampTag, step(getParam(kMainBypass), 2) == 0 ? 1.0f : 0.0f);
}
