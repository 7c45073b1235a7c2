// SPDX-License-Identifier: GPL-3.0-or-later
// The panel: every control's rectangle, tag, class, bitmap, frame count, opening value,
// default and wheel step, in creation order, which is drawing order. The editor builds its
// controls from this table, the art generator draws each bitmap behind the place the table
// gives it, and the tests check the open panel against it.
//
// Rectangles are in scale-1 pixels of the 875 x 171 panel. A bitmap control's rectangle is
// one frame of its filmstrip, so the bitmap is rect.width() wide and rect.height() * frames
// high.
#pragma once

#include "engine/Parameters.h"

#include <cstdint>
#include <optional>

namespace panel {

inline constexpr int32_t kWidth = 875;
inline constexpr int32_t kHeight = 171;

inline constexpr int32_t kBackgroundBitmap = 128;
inline constexpr int32_t kAboutBitmap = 129;

// Tags 0..47 are the sound parameters their controls are bound to; the rest follow.
enum Tag : int32_t {
    kTempoTag = 49,
    kLinkTag = 50,
    kActiveLampTag = 51,
    kFirstDigitTag = 52, // 52..55, digit positions 1..4
    kFirstPointTag = 56, // 56..58, decimal points after positions 1..3
    kFirstMarkTag = 59,  // 59..61, separator marks after positions 1..3
    kDelayLDownTag = 62, // step buttons
    kDelayLUpTag = 63,
    kDelayRDownTag = 64,
    kDelayRUpTag = 65,
    kLfoDownTag = 66,
    kLfoUpTag = 67,
    kLevelLeftTag = 68,
    kLevelRightTag = 69,
    kAboutTag = 70,
    // The preset bar.
    kProgramNameTag = 71,
    kProgramRockerTag = 72,
    kLoadBankTag = 73,
    kSaveBankTag = 74,
    kLoadPresetTag = 75,
    kSavePresetTag = 76,
    kControllerDisplayTag = 77,
    kLearnTag = 78,
    kLoadMidiTag = 79,
    kSaveMidiTag = 80,
    kStoreMidiTag = 81,
    kClearTag = 82,
    kProgramMenuTag = 83,
    kDefaultBankTag = 84,
    kHintLineTag = 85,
    kNumTags
};

enum class Kind {
    Knob,      // filmstrip knob
    OnOff,     // two-frame button
    HSwitch,   // switch stepping through its positions left to right
    VSwitch,   // the same, top to bottom
    Movie,     // display only: a filmstrip showing one frame
    Kick,      // step button
    Invisible, // knob without art, over a printed scale
    About,     // the logo, which opens the about picture over the whole panel
    // The preset bar's controls.
    TextField,   // the program name
    Menu,        // the program list
    Rocker,      // previous / next program
    FileButton,  // loads or saves a file
    TextDisplay, // the controller of the last touched parameter
    Hint,        // the hint line: what the control under the pointer does
    Toggle,      // learn and clear mode
    PushButton,  // store the controller map
};

// Where a control's value comes from when the window opens.
enum class Opening { None, Zero, Param, SqrtParam, LinkFlag, ActiveLamp, SqrtTempo };

struct Rect {
    int32_t left, top, right, bottom;
    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr bool operator==(const Rect&) const = default;
};

// Every bitmap of the panel: its size at scale 1 (the height of the whole strip) and the
// number of frames in the strip.
struct Bitmap {
    int32_t id;
    int32_t width;
    int32_t height;
    int32_t frames;
};

// clang-format off
inline constexpr Bitmap kBitmaps[] = {
        {128, 875, 171, 1},   {129, 875, 171, 1},   {130, 37, 3636, 101}, {131, 37, 3636, 101},
        {132, 36, 3636, 101}, {133, 36, 3737, 101}, {134, 36, 3636, 101}, {135, 36, 3737, 101},
        {136, 36, 3737, 101}, {137, 37, 3737, 101}, {138, 36, 3636, 101}, {139, 37, 3636, 101},
        {140, 36, 3636, 101}, {141, 36, 3636, 101}, {142, 37, 3636, 101}, {143, 36, 3636, 101},
        {144, 25, 44, 2},     {145, 24, 40, 2},     {146, 24, 40, 2},     {147, 24, 40, 2},
        {148, 24, 40, 2},     {149, 24, 40, 2},     {150, 27, 26, 2},     {151, 22, 24, 2},
        {152, 23, 24, 2},     {153, 30, 39, 3},     {154, 31, 33, 3},     {155, 8, 52, 2},
        {157, 7, 50, 2},      {158, 6, 50, 2},      {159, 7, 70, 2},      {160, 8, 52, 2},
        {161, 7, 52, 2},      {163, 3, 4, 2},       {164, 13, 176, 11},   {165, 13, 208, 13},
        {166, 3, 16, 2},      {167, 20, 38, 2},     {168, 19, 38, 2},     {169, 19, 38, 2},
        {170, 19, 38, 2},     {171, 19, 38, 2},     {172, 19, 38, 2},     {173, 7, 945, 21},
        {174, 16, 280, 5},    {989, 25, 42, 3},     {990, 14, 42, 3},     {991, 25, 42, 3},
        {992, 25, 42, 3},     {993, 25, 42, 3},     {994, 25, 42, 3},     {995, 25, 42, 3},
        {996, 14, 42, 3},     {997, 24, 55, 5},     {998, 25, 42, 3},     {999, 25, 42, 3},
};
// clang-format on

inline constexpr float kNone = -1.0f; // no default or wheel step of its own

struct Control {
    int32_t tag;
    Kind kind;
    Rect rect;      // bitmap controls: the top-left corner only, the bitmap gives the size
    int32_t bitmap; // 0: none; its frames are the control's frames or switch positions
    Opening opening;
    float defaultValue;
    float wheel;
};

inline constexpr float kKnobWheel = 1.0f / 32.0f;
inline constexpr float k11of111 = 11.0f / 111.0f;

// clang-format off
inline constexpr Control kControls[] = {
    {kDlyLFb, Kind::Knob, {162, 29, 0, 0}, 130, Opening::Param, 0.0f, kKnobWheel},
    {kDlyLFbPan, Kind::Knob, {209, 29, 0, 0}, 130, Opening::Param, 0.0f, kKnobWheel},
    {kDlyRFb, Kind::Knob, {162, 93, 0, 0}, 131, Opening::Param, 0.0f, kKnobWheel},
    {kDlyRFbPan, Kind::Knob, {209, 93, 0, 0}, 131, Opening::Param, 1.0f, kKnobWheel},
    {kFltRes, Kind::Knob, {486, 29, 0, 0}, 132, Opening::Param, 0.0f, kKnobWheel},
    {kFltCutoff, Kind::Knob, {440, 28, 0, 0}, 133, Opening::Param, 1.0f, kKnobWheel},
    {kFltMod, Kind::Knob, {533, 29, 0, 0}, 134, Opening::Param, 0.5f, kKnobWheel},
    {kModLfoOffset, Kind::Knob, {392, 93, 0, 0}, 135, Opening::Param, 0.5f, kKnobWheel},
    {kModSource, Kind::Knob, {439, 93, 0, 0}, 136, Opening::Param, 1.0f, kKnobWheel},
    {kModSens, Kind::Knob, {486, 93, 0, 0}, 137, Opening::Param, k11of111, kKnobWheel},
    {kModEnvSpeed, Kind::Knob, {532, 93, 0, 0}, 137, Opening::Param, k11of111, kKnobWheel},
    {kDrvGain, Kind::Knob, {600, 29, 0, 0}, 138, Opening::Param, 0.0f, kKnobWheel},
    {kMainIn, Kind::Knob, {672, 29, 0, 0}, 139, Opening::Param, 0.5f, kKnobWheel},
    {kMainMix, Kind::Knob, {719, 29, 0, 0}, 139, Opening::Param, 0.5f, kKnobWheel},
    {kMainOut, Kind::Knob, {766, 29, 0, 0}, 139, Opening::Param, 0.5f, kKnobWheel},
    {kVcoManual, Kind::Knob, {599, 93, 0, 0}, 140, Opening::Param, 0.5f, kKnobWheel},
    {kVcoMod, Kind::Knob, {646, 93, 0, 0}, 141, Opening::Param, 0.5f, kKnobWheel},
    {kRvbDamp, Kind::Knob, {758, 93, 0, 0}, 142, Opening::Param, 0.5f, kKnobWheel},
    {kRvbAmt, Kind::Knob, {805, 93, 0, 0}, 143, Opening::Param, 0.0f, kKnobWheel},
    {kMainBypass, Kind::OnOff, {814, 44, 0, 0}, 144, Opening::Param, kNone, kNone},
    {kLinkTag, Kind::OnOff, {67, 70, 0, 0}, 149, Opening::LinkFlag, 1.0f, kNone},
    {kDlyLDlyInv, Kind::OnOff, {258, 54, 0, 0}, 145, Opening::Param, 0.0f, kNone},
    {kDlyRDlyInv, Kind::OnOff, {258, 118, 0, 0}, 146, Opening::Param, 0.0f, kNone},
    {kDlyLFbInv, Kind::OnOff, {258, 27, 0, 0}, 147, Opening::Param, 0.0f, kNone},
    {kDlyRFbInv, Kind::OnOff, {258, 91, 0, 0}, 148, Opening::Param, 0.0f, kNone},
    {kDlyLMode, Kind::HSwitch, {87, 25, 0, 0}, 150, Opening::Param, 0.0f, kNone},
    {kDlyRMode, Kind::HSwitch, {87, 89, 0, 0}, 150, Opening::Param, 0.0f, kNone},
    {kDlyLRange, Kind::HSwitch, {122, 25, 0, 0}, 153, Opening::Param, 1.0f, kNone},
    {kDlyRRange, Kind::HSwitch, {122, 89, 0, 0}, 153, Opening::Param, 1.0f, kNone},
    {kModLfoMode, Kind::HSwitch, {321, 89, 0, 0}, 151, Opening::Param, 0.0f, kNone},
    {kFltMode, Kind::HSwitch, {397, 25, 0, 0}, 154, Opening::Param, 0.0f, kNone},
    {kFltType, Kind::HSwitch, {397, 55, 0, 0}, 154, Opening::Param, 0.0f, kNone},
    {kRvbMode, Kind::HSwitch, {721, 89, 0, 0}, 152, Opening::Param, 0.0f, kNone},
    {kRvbType, Kind::HSwitch, {721, 120, 0, 0}, 152, Opening::Param, 0.0f, kNone},
    {kFltOn, Kind::OnOff, {382, 19, 0, 0}, 158, Opening::Param, kNone, kNone},
    {kDrvOn, Kind::OnOff, {585, 19, 0, 0}, 157, Opening::Param, kNone, kNone},
    {kActiveLampTag, Kind::Movie, {657, 18, 0, 0}, 159, Opening::ActiveLamp, kNone, kNone},
    {kModOn, Kind::OnOff, {290, 82, 0, 0}, 160, Opening::Param, kNone, kNone},
    {kVcoOn, Kind::OnOff, {584, 83, 0, 0}, 155, Opening::Param, kNone, kNone},
    {kRvbOn, Kind::OnOff, {697, 82, 0, 0}, 161, Opening::Param, kNone, kNone},
    {kFirstDigitTag, Kind::Movie, {298, 26, 0, 0}, 165, Opening::None, kNone, kNone},
    {kFirstDigitTag + 1, Kind::Movie, {314, 26, 0, 0}, 164, Opening::None, kNone, kNone},
    {kFirstDigitTag + 2, Kind::Movie, {330, 26, 0, 0}, 164, Opening::None, kNone, kNone},
    {kFirstDigitTag + 3, Kind::Movie, {347, 26, 0, 0}, 164, Opening::None, kNone, kNone},
    {kFirstPointTag, Kind::Movie, {311, 40, 0, 0}, 163, Opening::None, kNone, kNone},
    {kFirstPointTag + 1, Kind::Movie, {327, 40, 0, 0}, 163, Opening::None, kNone, kNone},
    {kFirstPointTag + 2, Kind::Movie, {343, 40, 0, 0}, 163, Opening::None, kNone, kNone},
    {kFirstMarkTag, Kind::Movie, {311, 30, 0, 0}, 166, Opening::None, kNone, kNone},
    {kFirstMarkTag + 1, Kind::Movie, {327, 30, 0, 0}, 166, Opening::None, kNone, kNone},
    {kFirstMarkTag + 2, Kind::Movie, {344, 30, 0, 0}, 166, Opening::None, kNone, kNone},
    {kDelayLDownTag, Kind::Kick, {91, 50, 0, 0}, 168, Opening::None, kNone, kNone},
    {kDelayLUpTag, Kind::Kick, {127, 50, 0, 0}, 167, Opening::None, kNone, kNone},
    {kDelayRDownTag, Kind::Kick, {91, 114, 0, 0}, 170, Opening::None, kNone, kNone},
    {kDelayRUpTag, Kind::Kick, {128, 114, 0, 0}, 169, Opening::None, kNone, kNone},
    {kLfoDownTag, Kind::Kick, {305, 114, 0, 0}, 172, Opening::None, kNone, kNone},
    {kModLfoRate, Kind::Invisible, {324, 114, 341, 133}, 0, Opening::SqrtParam, 0.5f, 1.0f / 128.0f},
    {kLfoUpTag, Kind::Kick, {341, 114, 0, 0}, 171, Opening::None, kNone, kNone},
    {kModLfoWave, Kind::VSwitch, {370, 81, 0, 0}, 174, Opening::Param, kNone, kNone},
    {kDlyLTime, Kind::Invisible, {113, 48, 124, 70}, 0, Opening::SqrtParam, kNone, 0.0008f},
    {kDlyRTime, Kind::Invisible, {113, 112, 124, 134}, 0, Opening::SqrtParam, kNone, 0.0008f},
    {kTempoTag, Kind::Invisible, {293, 21, 364, 46}, 0, Opening::SqrtTempo, kNone, 1.0f / 925.0f},
    {kLevelLeftTag, Kind::Movie, {43, 23, 0, 0}, 173, Opening::Zero, kNone, kNone},
    {kLevelRightTag, Kind::Movie, {43, 87, 0, 0}, 173, Opening::Zero, kNone, kNone},
    {kAboutTag, Kind::About, {307, 51, 352, 75}, kAboutBitmap, Opening::None, kNone, kNone},
    // The preset bar, along the bottom edge.
    {kProgramNameTag, Kind::TextField, {127, 158, 238, 168}, 0, Opening::None, kNone, kNone},
    {kProgramMenuTag, Kind::Menu, {239, 158, 250, 168}, 0, Opening::None, kNone, kNone},
    {kProgramRockerTag, Kind::Rocker, {255, 158, 0, 0}, 997, Opening::None, kNone, kNone},
    {kLoadBankTag, Kind::FileButton, {334, 156, 0, 0}, 993, Opening::None, kNone, kNone},
    {kSaveBankTag, Kind::FileButton, {360, 156, 384, 170}, 994, Opening::None, kNone, kNone},
    {kDefaultBankTag, Kind::FileButton, {386, 156, 0, 0}, 989, Opening::None, kNone, kNone},
    {kLoadPresetTag, Kind::FileButton, {69, 156, 0, 0}, 998, Opening::None, kNone, kNone},
    {kSavePresetTag, Kind::FileButton, {95, 156, 0, 0}, 999, Opening::None, kNone, kNone},
    {kControllerDisplayTag, Kind::TextDisplay, {727, 158, 813, 168}, 0, Opening::None, kNone, kNone},
    {kHintLineTag, Kind::Hint, {414, 158, 618, 168}, 0, Opening::None, kNone, kNone},
    {kLearnTag, Kind::Toggle, {822, 156, 0, 0}, 996, Opening::None, kNone, kNone},
    {kLoadMidiTag, Kind::FileButton, {649, 156, 0, 0}, 991, Opening::None, kNone, kNone},
    {kSaveMidiTag, Kind::FileButton, {675, 156, 0, 0}, 992, Opening::None, kNone, kNone},
    {kStoreMidiTag, Kind::PushButton, {701, 156, 0, 0}, 995, Opening::None, kNone, kNone},
    {kClearTag, Kind::Toggle, {839, 156, 0, 0}, 990, Opening::None, kNone, kNone},
};
// clang-format on

constexpr const Bitmap* findBitmap(int32_t id) {
    for (const Bitmap& bitmap : kBitmaps)
        if (bitmap.id == id) return &bitmap;
    return nullptr;
}

// The frames of a control's bitmap (switch positions for a switch), 0 without one.
constexpr int32_t framesOf(const Control& control) {
    const Bitmap* art = findBitmap(control.bitmap);
    return art != nullptr ? art->frames : 0;
}

// Where a control sits: its rectangle, or one frame of its bitmap at its corner.
constexpr Rect rectOf(const Control& control) {
    const Rect& r = control.rect;
    if (r.right != 0) return r;
    const Bitmap* art = findBitmap(control.bitmap);
    if (art == nullptr) return r;
    return {r.left, r.top, r.left + art->width, r.top + art->height / art->frames};
}

// The row of a tag, if the panel has one.
constexpr const Control* find(int32_t tag) {
    for (const Control& control : kControls)
        if (control.tag == tag) return &control;
    return nullptr;
}

// The rectangle of a tag that the panel has (an empty one for any other).
constexpr Rect rectOf(int32_t tag) {
    const Control* control = find(tag);
    return control != nullptr ? rectOf(*control) : Rect{0, 0, 0, 0};
}

// Where the pointer makes the numeric display show the LFO rate or a delay time: the
// control with its step buttons and switches around it.
inline constexpr Rect kLfoRateZone{302, 81, 365, 137};
inline constexpr Rect kDelayLTimeZone{88, 19, 151, 75};
inline constexpr Rect kDelayRTimeZone{88, 82, 151, 138};

} // namespace panel
