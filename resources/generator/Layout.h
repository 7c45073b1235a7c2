// SPDX-License-Identifier: GPL-3.0-or-later
// The panel as the generator needs it, read from the editor's layout table: the size and
// frame count of every bitmap, where each bitmap control sits, and the areas without a
// bitmap that the background prints scales and fields into. The generator bakes the panel
// behind each bitmap from its first place, checks that every other place shows the same
// panel, and composes the preview from it.
#pragma once

#include "editor/PanelLayout.h"

#include <vector>

namespace gen {

constexpr int kPanelWidth = panel::kWidth;
constexpr int kPanelHeight = panel::kHeight;

struct BitmapShape {
    int id;
    int width;
    int height; // of the whole strip
    int frames;
};

struct Placement {
    int bitmap;
    int left;
    int top;
    int previewFrame; // the frame the preview shows
};

struct Rect {
    double left, top, right, bottom;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    double cx() const { return (left + right) / 2; }
    double cy() const { return (top + bottom) / 2; }
};

inline const std::vector<BitmapShape>& bitmapShapes() {
    static const std::vector<BitmapShape> shapes = [] {
        std::vector<BitmapShape> list;
        for (const panel::Bitmap& b : panel::kBitmaps)
            list.push_back({b.id, b.width, b.height, b.frames});
        return list;
    }();
    return shapes;
}

// The frame of a control the preview shows (the first one where none is given): a typical
// setting, with the numeric display showing "120.0".
inline int previewFrameOf(int tag) {
    struct Shown {
        int tag, frame;
    };
    static constexpr Shown kShown[] = {
        {kDlyLFb, 62},
        {kDlyLFbPan, 30},
        {kDlyRFb, 45},
        {kDlyRFbPan, 100},
        {kFltRes, 20},
        {kFltCutoff, 85},
        {kFltMod, 50},
        {kModLfoOffset, 50},
        {kModSource, 100},
        {kModSens, 10},
        {kModEnvSpeed, 10},
        {kDrvGain, 35},
        {kMainIn, 50},
        {kMainMix, 65},
        {kMainOut, 50},
        {kVcoManual, 50},
        {kVcoMod, 70},
        {kRvbDamp, 50},
        {kRvbAmt, 25},
        {panel::kLinkTag, 1},
        {kDlyLFbInv, 1},
        {kDlyRMode, 1},
        {kDlyLRange, 1},
        {kDlyRRange, 2},
        {kFltType, 1},
        {kRvbType, 1},
        {kFltOn, 1},
        {panel::kActiveLampTag, 1},
        {kModOn, 1},
        {kVcoOn, 1},
        {kRvbOn, 1},
        {panel::kFirstDigitTag, 2},
        {panel::kFirstDigitTag + 1, 3},
        {panel::kFirstDigitTag + 2, 1},
        {panel::kFirstDigitTag + 3, 1},
        {panel::kFirstPointTag + 2, 1},
        {panel::kDelayRUpTag, 1},
        {kModLfoWave, 2},
        {panel::kLevelLeftTag, 16},
        {panel::kLevelRightTag, 12},
        {panel::kSavePresetTag, 1},
        {panel::kSaveMidiTag, 2},
        {panel::kLearnTag, 2},
    };
    for (const Shown& s : kShown)
        if (s.tag == tag) return s.frame;
    return 0;
}

// Every bitmap control of the panel at its top-left corner (the about picture excepted).
inline const std::vector<Placement>& placements() {
    static const std::vector<Placement> list = [] {
        std::vector<Placement> places;
        for (const panel::Control& c : panel::kControls)
            if (c.bitmap != 0 && c.kind != panel::Kind::About)
                places.push_back({c.bitmap, c.rect.left, c.rect.top, previewFrameOf(c.tag)});
        return places;
    }();
    return list;
}

// The rectangle of a control without a bitmap, for the background's printed scales.
inline Rect areaOf(int tag) {
    const panel::Rect r = panel::rectOf(tag);
    return {double(r.left), double(r.top), double(r.right), double(r.bottom)};
}

inline const Rect kLfoRateArea = areaOf(kModLfoRate);
inline const Rect kDelayLTimeArea = areaOf(kDlyLTime);
inline const Rect kDelayRTimeArea = areaOf(kDlyRTime);
inline const Rect kTempoArea = areaOf(panel::kTempoTag);
inline const Rect kLogoArea = areaOf(panel::kAboutTag);
inline const Rect kNameField = areaOf(panel::kProgramNameTag);
inline const Rect kMenuButton = areaOf(panel::kProgramMenuTag);
inline const Rect kControllerField = areaOf(panel::kControllerDisplayTag);

} // namespace gen
