#include "editor/Editor.h"

#include "editor/CAbout.h"
#include "editor/CAnimKnob2.h"
#include "editor/CInvisableKnob.h"
#include "editor/DrellKickButton.h"
#include "editor/DrellOnOffButton.h"
#include "editor/DrellSwitch.h"
#include "editor/DrellSwitchVert.h"
#include "editor/MyFrame.h"
#include "engine/Drell.h"
#include "engine/TempoSync.h"
#include "platform/SettingsKeys.h"
#include "platform/SettingsStore.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/DisplayScale.h"

#include <algorithm>
#include <cmath>
#include <map>

using namespace VSTGUI;

namespace {

constexpr int32_t kBackgroundBitmap = 128;
constexpr int32_t kAboutBitmap = 129;
constexpr float kKnobWheel = 1.0f / 32.0f;
constexpr float kNone = -1.0f; // no default or wheel increment of its own

enum class Kind { knob, onOff, hSwitch, vSwitch, movie, kick, invisible, about };
// Where a control's value comes from when the window opens.
enum class Initial { none, zero, param, sqrtParam, linkFlag, activeLamp, sqrtTempo };

struct ControlRow {
    int32_t tag;
    Kind kind;
    CRect rect; // bitmap controls: only the top-left corner; the bitmap gives the size
    int32_t bitmap;
    int32_t frames; // filmstrip frames, or switch positions
    Initial initial;
    float defaultValue;
    float wheel;
};

constexpr float k11of111 = 11.0f / 111.0f;

// Every control of the panel in creation order, which is drawing order.
const ControlRow kControls[] = {
    {3, Kind::knob, {162, 29, 0, 0}, 130, 101, Initial::param, 0.0f, kKnobWheel},
    {5, Kind::knob, {209, 29, 0, 0}, 130, 101, Initial::param, 0.0f, kKnobWheel},
    {4, Kind::knob, {162, 93, 0, 0}, 131, 101, Initial::param, 0.0f, kKnobWheel},
    {6, Kind::knob, {209, 93, 0, 0}, 131, 101, Initial::param, 1.0f, kKnobWheel},
    {16, Kind::knob, {486, 29, 0, 0}, 132, 101, Initial::param, 0.0f, kKnobWheel},
    {15, Kind::knob, {440, 28, 0, 0}, 133, 101, Initial::param, 1.0f, kKnobWheel},
    {13, Kind::knob, {533, 29, 0, 0}, 134, 101, Initial::param, 0.5f, kKnobWheel},
    {11, Kind::knob, {392, 93, 0, 0}, 135, 101, Initial::param, 0.5f, kKnobWheel},
    {12, Kind::knob, {439, 93, 0, 0}, 136, 101, Initial::param, 1.0f, kKnobWheel},
    {47, Kind::knob, {486, 93, 0, 0}, 137, 101, Initial::param, k11of111, kKnobWheel},
    {22, Kind::knob, {532, 93, 0, 0}, 137, 101, Initial::param, k11of111, kKnobWheel},
    {21, Kind::knob, {600, 29, 0, 0}, 138, 101, Initial::param, 0.0f, kKnobWheel},
    {0, Kind::knob, {672, 29, 0, 0}, 139, 101, Initial::param, 0.5f, kKnobWheel},
    {2, Kind::knob, {719, 29, 0, 0}, 139, 101, Initial::param, 0.5f, kKnobWheel},
    {1, Kind::knob, {766, 29, 0, 0}, 139, 101, Initial::param, 0.5f, kKnobWheel},
    {17, Kind::knob, {599, 93, 0, 0}, 140, 101, Initial::param, 0.5f, kKnobWheel},
    {18, Kind::knob, {646, 93, 0, 0}, 141, 101, Initial::param, 0.5f, kKnobWheel},
    {39, Kind::knob, {758, 93, 0, 0}, 142, 101, Initial::param, 0.5f, kKnobWheel},
    {40, Kind::knob, {805, 93, 0, 0}, 143, 101, Initial::param, 0.0f, kKnobWheel},
    {41, Kind::onOff, {814, 44, 0, 0}, 144, 2, Initial::param, kNone, kNone},
    {50, Kind::onOff, {67, 70, 0, 0}, 149, 2, Initial::linkFlag, 1.0f, kNone},
    {19, Kind::onOff, {258, 54, 0, 0}, 145, 2, Initial::param, 0.0f, kNone},
    {20, Kind::onOff, {258, 118, 0, 0}, 146, 2, Initial::param, 0.0f, kNone},
    {7, Kind::onOff, {258, 27, 0, 0}, 147, 2, Initial::param, 0.0f, kNone},
    {8, Kind::onOff, {258, 91, 0, 0}, 148, 2, Initial::param, 0.0f, kNone},
    {24, Kind::hSwitch, {87, 25, 0, 0}, 150, 2, Initial::param, 0.0f, kNone},
    {25, Kind::hSwitch, {87, 89, 0, 0}, 150, 2, Initial::param, 0.0f, kNone},
    {30, Kind::hSwitch, {122, 25, 0, 0}, 153, 3, Initial::param, 1.0f, kNone},
    {31, Kind::hSwitch, {122, 89, 0, 0}, 153, 3, Initial::param, 1.0f, kNone},
    {32, Kind::hSwitch, {321, 89, 0, 0}, 151, 2, Initial::param, 0.0f, kNone},
    {23, Kind::hSwitch, {397, 25, 0, 0}, 154, 3, Initial::param, 0.0f, kNone},
    {14, Kind::hSwitch, {397, 55, 0, 0}, 154, 3, Initial::param, 0.0f, kNone},
    {37, Kind::hSwitch, {721, 89, 0, 0}, 152, 2, Initial::param, 0.0f, kNone},
    {38, Kind::hSwitch, {721, 120, 0, 0}, 152, 2, Initial::param, 0.0f, kNone},
    {42, Kind::onOff, {382, 19, 0, 0}, 158, 2, Initial::param, kNone, kNone},
    {43, Kind::onOff, {585, 19, 0, 0}, 157, 2, Initial::param, kNone, kNone},
    {51, Kind::movie, {657, 18, 0, 0}, 159, 2, Initial::activeLamp, kNone, kNone},
    {44, Kind::onOff, {290, 82, 0, 0}, 160, 2, Initial::param, kNone, kNone},
    {45, Kind::onOff, {584, 83, 0, 0}, 155, 2, Initial::param, kNone, kNone},
    {46, Kind::onOff, {697, 82, 0, 0}, 161, 2, Initial::param, kNone, kNone},
    {52, Kind::movie, {298, 26, 0, 0}, 165, 13, Initial::none, kNone, kNone},
    {53, Kind::movie, {314, 26, 0, 0}, 164, 11, Initial::none, kNone, kNone},
    {54, Kind::movie, {330, 26, 0, 0}, 164, 11, Initial::none, kNone, kNone},
    {55, Kind::movie, {347, 26, 0, 0}, 164, 11, Initial::none, kNone, kNone},
    {56, Kind::movie, {311, 40, 0, 0}, 163, 2, Initial::none, kNone, kNone},
    {57, Kind::movie, {327, 40, 0, 0}, 163, 2, Initial::none, kNone, kNone},
    {58, Kind::movie, {343, 40, 0, 0}, 163, 2, Initial::none, kNone, kNone},
    {59, Kind::movie, {311, 30, 0, 0}, 166, 2, Initial::none, kNone, kNone},
    {60, Kind::movie, {327, 30, 0, 0}, 166, 2, Initial::none, kNone, kNone},
    {61, Kind::movie, {344, 30, 0, 0}, 166, 2, Initial::none, kNone, kNone},
    {62, Kind::kick, {91, 50, 0, 0}, 168, 2, Initial::none, kNone, kNone},
    {63, Kind::kick, {127, 50, 0, 0}, 167, 2, Initial::none, kNone, kNone},
    {64, Kind::kick, {91, 114, 0, 0}, 170, 2, Initial::none, kNone, kNone},
    {65, Kind::kick, {128, 114, 0, 0}, 169, 2, Initial::none, kNone, kNone},
    {66, Kind::kick, {305, 114, 0, 0}, 172, 2, Initial::none, kNone, kNone},
    {10, Kind::invisible, {324, 114, 341, 133}, 0, 0, Initial::sqrtParam, 0.5f, 1.0f / 128.0f},
    {67, Kind::kick, {341, 114, 0, 0}, 171, 2, Initial::none, kNone, kNone},
    {9, Kind::vSwitch, {370, 81, 0, 0}, 174, 5, Initial::param, kNone, kNone},
    {35, Kind::invisible, {113, 48, 124, 70}, 0, 0, Initial::sqrtParam, kNone, 0.0008f},
    {36, Kind::invisible, {113, 112, 124, 134}, 0, 0, Initial::sqrtParam, kNone, 0.0008f},
    {49, Kind::invisible, {293, 21, 364, 46}, 0, 0, Initial::sqrtTempo, kNone, 1.0f / 925.0f},
    {68, Kind::movie, {43, 23, 0, 0}, 173, 21, Initial::zero, kNone, kNone},
    {69, Kind::movie, {43, 87, 0, 0}, 173, 21, Initial::zero, kNone, kNone},
    {70, Kind::about, {307, 51, 352, 75}, kAboutBitmap, 1, Initial::none, kNone, kNone},
};

// step(v, n): the choice index 0..n-1 of a value.
int32_t choiceOf(float value, int32_t count) {
    const float scaled = std::floor(float(count) * value);
    if (!(scaled > 0.0f)) return 0;
    return std::min(int32_t(scaled), count - 1);
}

float safeSqrt(float value) {
    return value > 0.0f ? std::sqrt(value) : 0.0f;
}

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

Editor::Editor(Drell* effect)
    : CPresetSystemEditor(effect), hostIsAdapter(effect != nullptr && effect->isHostAdapter()) {
    setSize(kWidth, kHeight);
    setKnobMode(kLinearMode);
    lastBlinkTick = lastIdleTick = clock->now();
    if (drell != nullptr) drell->setEditorEvents(this);
}

Editor::~Editor() {
    close();
    if (drell != nullptr) drell->setEditorEvents(nullptr);
}

bool Editor::getRect(ERect** rect) {
    if (frame == nullptr && !scaleChosen && !isScaleFixed()) {
        applyScale(chooseScale());
        scaleChosen = true;
    }
    return AEffGUIEditor::getRect(rect);
}

int32_t Editor::chooseScale() const {
    if (drell != nullptr) {
        const SettingsStore& settings = drell->settingsStore();
        if (auto number = settings.readDword(kSettingsKeyPath, kUiScaleValue))
            if (*number == 1 || *number == 2) return int32_t(*number);
        if (auto text = settings.readString(kSettingsKeyPath, kUiScaleValue))
            if (*text == "1" || *text == "2") return (*text)[0] - '0';
    }
    return detectDisplayScale();
}

VSTGUI::CControl* Editor::getControl(int32_t tag) const {
    return tag >= 0 && tag < kNumEditorTags ? controls[tag] : nullptr;
}

bool Editor::open(void* parentWindow) {
    if (frame != nullptr) close();
    if (!scaleChosen && !isScaleFixed()) applyScale(chooseScale());
    scaleChosen = true;
    AEffGUIEditor::open(parentWindow);

    // Values change from here on reach the controls through the pending events; what came
    // before is read afresh below.
    pendingMask.exchange(0, std::memory_order_acq_rel);
    tempoPending.store(false, std::memory_order_relaxed);
    unlinkPending.store(false, std::memory_order_relaxed);
    clearEditedIndex();
    displayVisible = true;
    lastBlinkTick = lastIdleTick = clock->now();

    CBitmap* background = new CBitmap(kBackgroundBitmap);
    frame = new MyFrame(CRect(0, 0, kWidth, kHeight), parentWindow, this, getScale());
    frame->setBackground(background);
    background->forget();
    // A parent that no window could be made in (no X server, a parent that is not a
    // window): the host learns there is no editor instead of showing an empty frame.
    if (parentWindow != nullptr && !frame->hasWindow()) {
        close();
        return false;
    }

    createControls();
    CPresetSystemEditor::open(parentWindow);
    updateActiveLamp();
    frame->idle();
    return true;
}

void Editor::createControls() {
    std::map<int32_t, CBitmap*> bitmaps;
    auto bitmap = [&bitmaps](int32_t id) {
        CBitmap*& b = bitmaps[id];
        if (b == nullptr) b = new CBitmap(id);
        return b;
    };
    const float bypass = getParam(kMainBypass);

    for (const ControlRow& row : kControls) {
        CBitmap* art = row.bitmap != 0 ? bitmap(row.bitmap) : nullptr;
        CRect rect = row.rect;
        if (art != nullptr && row.kind != Kind::about) {
            rect.right = rect.left + art->getWidth();
            rect.bottom = rect.top + art->getHeight() / std::max(1, row.frames);
        }
        const int32_t frameHeight = art != nullptr ? art->getHeight() / row.frames : 0;
        CControl* control = nullptr;
        switch (row.kind) {
        case Kind::knob:
            control =
                new CAnimKnob2(rect, this, row.tag, row.frames, frameHeight, art, this, {}, clock);
            break;
        case Kind::onOff:
            control = new DrellOnOffButton(rect, this, row.tag, art);
            break;
        case Kind::hSwitch:
            control =
                new DrellSwitch(rect, this, row.tag, row.frames, frameHeight, row.frames, art);
            break;
        case Kind::vSwitch:
            control =
                new DrellSwitchVert(rect, this, row.tag, row.frames, frameHeight, row.frames, art);
            break;
        case Kind::movie:
            control = new CMovieBitmap(rect, this, row.tag, row.frames, frameHeight, art);
            break;
        case Kind::kick:
            control = new DrellKickButton(rect, this, row.tag, frameHeight, art);
            break;
        case Kind::invisible:
            control = new CInvisableKnob(rect, this, row.tag, this);
            break;
        case Kind::about:
            control = new CAbout(rect, this, row.tag, art, CRect(0, 0, kWidth, kHeight));
            break;
        }
        frame->addView(control);
        controls[row.tag] = control;

        switch (row.initial) {
        case Initial::none:
            break;
        case Initial::zero:
            control->setValue(0.0f);
            break;
        case Initial::param:
            control->setValue(getParam(row.tag));
            break;
        case Initial::sqrtParam:
            control->setValue(safeSqrt(getParam(row.tag)));
            break;
        case Initial::linkFlag:
            control->setValue(isLinked() ? 1.0f : 0.0f);
            break;
        case Initial::activeLamp:
            control->setValue(choiceOf(bypass, 2) == 0 ? 1.0f : 0.0f);
            break;
        case Initial::sqrtTempo:
            control->setValue(safeSqrt(drell != nullptr ? drell->getTempo() : 0.0f));
            break;
        }
        if (row.defaultValue != kNone) control->setDefaultValue(row.defaultValue);
        if (row.wheel != kNone) control->setWheelInc(row.wheel);
    }
    for (auto& entry : bitmaps) entry.second->forget();
}

void Editor::close() {
    CPresetSystemEditor::close();
    std::fill(std::begin(controls), std::end(controls), nullptr);
    AEffGUIEditor::close();
    clearEditedIndex();
    // The next open asks the screen and the settings again.
    scaleChosen = false;
}

void Editor::beginEdit(int32_t tag) {
    if (tag >= 0 && tag < kNumParams) AEffGUIEditor::beginEdit(tag);
}

void Editor::endEdit(int32_t tag) {
    if (tag >= 0 && tag < kNumParams) AEffGUIEditor::endEdit(tag);
}

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
        setControl(kTempoTag, safeSqrt(std::clamp(temposync::normOfTempo(tempo), 0.0f, 1.0f)));
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
            setControl(index, safeSqrt(value));
            break;
        case kMainBypass:
            setControl(kMainBypass, value);
            setControl(kActiveLampTag, choiceOf(value, 2) == 0 ? 1.0f : 0.0f);
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
    return choiceOf(getParam(modeIndex), 2) == 0;
}

void Editor::valueChanged(CDrawContext* context, CControl* control) {
    CPresetSystemEditor::valueChanged(context, control);
    if (control == nullptr) return;
    const int32_t tag = control->getTag();
    if (tag < 0 || tag >= kNumEditorTags) return;
    const float v = control->getValue();
    const bool linked = isLinked();

    switch (tag) {
    case kMainIn:
    case kMainOut:
    case kMainMix:
    case kModLfoOffset:
    case kModSource:
    case kFltMod:
    case kFltCutoff:
    case kFltRes:
    case kVcoManual:
    case kVcoMod:
    case kDrvGain:
    case kModEnvSpeed:
    case kRvbDamp:
    case kRvbAmt:
    case kModSens:
        markDirty(control);
        automate(tag, v);
        break;
    case kDlyLFb:
    case kDlyRFb:
    case kDlyLFbInv:
    case kDlyRFbInv:
    case kDlyLDlyInv:
    case kDlyRDlyInv:
        automate(tag, v);
        markDirty(control);
        if (linked) notifyParameter(partnerOf(tag), v);
        break;
    case kDlyLFbPan:
    case kDlyRFbPan:
        markDirty(control);
        automate(tag, v);
        if (linked) notifyParameter(partnerOf(tag), 1.0f - v); // mirrored
        break;
    case kModLfoWave:
    case kModLfoMode:
    case kFltOn:
    case kDrvOn:
    case kModOn:
    case kVcoOn:
    case kRvbOn:
    case kFltType:
    case kFltMode:
    case kDlyLNum:
    case kDlyRNum:
    case kDlyLDen:
    case kDlyRDen:
    case kModLfoNum:
    case kModLfoDen:
    case kRvbMode:
    case kRvbType:
        automate(tag, v);
        markDirty(control);
        break;
    case kModLfoRate:
        if (isFree(kModLfoMode)) {
            markDirty(control);
            automate(kModLfoRate, v * v);
        } else {
            control->setValue(safeSqrt(getParam(kModLfoRate))); // the rate follows the tempo
        }
        break;
    case kDlyLMode:
    case kDlyRMode: {
        const int32_t side = tag == kDlyLMode ? 0 : 1;
        automate(tag, v);
        setControl(kDlyLRange + side, getParam(kDlyLRange + side));
        setControl(kDlyLTime + side, safeSqrt(getParam(kDlyLTime + side)));
        if (linked) {
            notifyParameter(partnerOf(tag), v);
            const int32_t other = kDlyLTime + 1 - side;
            setControl(other, safeSqrt(getParam(other)));
        }
        break;
    }
    case kDlyLRange:
    case kDlyRRange: {
        const int32_t side = tag == kDlyLRange ? 0 : 1;
        if (isFree(kDlyLMode + side)) {
            automate(tag, v);
            if (side == 0)
                control->setDirty(true);
            else
                markDirty(control);
            setControl(kDlyLTime + side, safeSqrt(getParam(kDlyLTime + side)));
            if (linked) {
                notifyParameter(partnerOf(tag), v);
                const int32_t other = kDlyLTime + 1 - side;
                setControl(other, safeSqrt(getParam(other)));
            }
        } else {
            control->setValue(getParam(tag)); // note mode: the range does not apply
        }
        break;
    }
    case kDlyLTime:
    case kDlyRTime: {
        const int32_t side = tag == kDlyLTime ? 0 : 1;
        if (isFree(kDlyLMode + side)) {
            const float t = std::floor(v * v * 1000.0f) / 1000.0f;
            automate(tag, t);
            markDirty(control);
            if (linked) {
                notifyParameter(partnerOf(tag), t);
                setControl(partnerOf(tag), v);
            }
        } else {
            control->setValue(safeSqrt(getParam(tag))); // the time follows the tempo
        }
        break;
    }
    case kMainBypass:
        automate(kMainBypass, v);
        markDirty(control);
        setControl(kActiveLampTag, choiceOf(v, 2) == 0 ? 1.0f : 0.0f);
        markDirty(getControl(kActiveLampTag));
        break;
    case kTempoTag:
        if (drell != nullptr) drell->setTempo(v * v);
        markDirty(control);
        break;
    case kLinkTag:
        // The button also reports its unchanged value at the press: only a change of the
        // link acts, so unlinking never copies.
        if (v == 0.0f) {
            link.store(false, std::memory_order_relaxed);
        } else if (!linked) {
            link.store(true, std::memory_order_relaxed);
            linkLines();
        }
        markDirty(control);
        break;
    default:
        if (tag >= kFirstStepTag && tag <= kLastStepTag && v != 0.0f) {
            auto* button = dynamic_cast<DrellKickButton*>(control);
            stepButton(tag, button != nullptr ? button->getStepMultiplier() : 1.0f);
            if (tag != kFirstStepTag + 1) markDirty(control);
        }
        break; // display-only controls and the about control
    }
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
    case 62:
    case 63:
    case 64:
    case 65: {
        const int32_t side = tag < 64 ? 0 : 1;
        const bool up = tag == 63 || tag == 65;
        if (isFree(kDlyLMode + side)) {
            const int32_t time = kDlyLTime + side;
            float t = getParam(time) + (up ? multiplier : -multiplier) / 1000.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            notifyParameter(time, t);
            if (linked) notifyParameter(partnerOf(time), t);
        } else if (up) {
            stepChoice(kDlyLDen + side, 13, multiplier, linked ? partnerOf(kDlyLDen + side) : -1);
        } else {
            stepChoice(kDlyLNum + side, 5, multiplier, linked ? partnerOf(kDlyLNum + side) : -1);
        }
        break;
    }
    case 66:
    case 67: {
        const bool up = tag == 67;
        if (isFree(kModLfoMode)) {
            // The rate in Hz steps by 0.001 within 0.01..15 Hz.
            double r = std::pow(16.0, double(getParam(kModLfoRate))) - 1.0;
            r = up ? std::min(r + 0.001, 15.0) : std::max(r - 0.001, 0.01);
            notifyParameter(kModLfoRate, float(std::log(r + 1.0) / std::log(16.0)));
        } else {
            stepChoice(up ? kModLfoDen : kModLfoNum, up ? 13 : 5, multiplier, -1);
        }
        break;
    }
    default:
        break;
    }
}

void Editor::stepChoice(int32_t index, int32_t count, float multiplier, int32_t partner) {
    int32_t i = choiceOf(getParam(index), count);
    i += multiplier <= 1.0f ? 1 : -1;
    if (i >= count) i = 0;
    if (i < 0) i = count - 1;
    const float value = (float(i) + 0.5f) / float(count);
    notifyParameter(index, value);
    if (partner >= 0) notifyParameter(partner, value);
}

// ---- Idle (user-interface thread) ----

void Editor::idle() {
    if (frame != nullptr) {
        applyPendingEvents();
        CControl* about = getControl(kAboutTag);
        if (about == nullptr || about->getValue() == 0.0f) {
            const uint32_t now = clock->now();
            updateNumericDisplay(now);
            updateLevelBars(now);
            updateActiveLamp();
            lastIdleTick = now;
        }
    }
    AEffGUIEditor::idle();
    CPresetSystemEditor::idle();
}

void Editor::setFrame(int32_t tag, int32_t frameIndex, int32_t frames) const {
    frameIndex = std::clamp(frameIndex, 0, frames - 1);
    setControl(tag, float(frameIndex) / float(frames - 1));
}

int32_t Editor::displayedIndex() const {
    if (getEditedIndex() != -1) return getEditedIndex();
    CPoint where{-1, -1};
    frame->getCurrentMouseLocation(where);
    const int32_t x = where.x, y = where.y;
    if (x >= 302 && x <= 364 && y >= 81 && y <= 136) return kModLfoRate;
    if (x >= 88 && x <= 150 && y >= 19 && y <= 74) return kDlyLTime;
    if (x >= 88 && x <= 150 && y >= 82 && y <= 137) return kDlyRTime;
    if (auto* knob = dynamic_cast<CAnimKnob2*>(frame->getViewAt(where))) return knob->getTag();
    return kTempoTag;
}

void Editor::updateNumericDisplay(uint32_t now) {
    for (int32_t k = 0; k < 3; ++k) {
        setFrame(kFirstPointTag + k, 0, 2);
        setFrame(kFirstMarkTag + k, 0, 2);
    }
    for (int32_t k = 0; k < 4; ++k) setFrame(kFirstDigitTag + k, 0, k == 0 ? 13 : 11);
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
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 11:
    case 12:
    case 13:
    case 15:
    case 16:
    case 17:
    case 18:
    case 21:
    case 22:
    case 39:
    case 40:
    case 47:
    case kTempoTag:
        displayVisible = true;
        query(index == kTempoTag ? kNumParams + 1 : index);
        break;
    default:
        break; // the digits stay as the last query left them
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
        setFrame(kFirstDigitTag, digits / 1000 + 1, 13);
        rest = digits % 1000;
    } else {
        const int32_t shown = digits / 10;
        pointAt = point + 1 > 3 ? 0 : point + 1;
        setFrame(kFirstDigitTag, shown < 0 ? 11 : 12, 13);
        rest = std::abs(shown) % 1000;
    }
    rest = std::abs(rest);
    setFrame(kFirstDigitTag + 1, rest / 100 + 1, 11);
    setFrame(kFirstDigitTag + 2, rest % 100 / 10 + 1, 11);
    setFrame(kFirstDigitTag + 3, rest % 10 + 1, 11);
    if (kind >= 1 && kind <= 3) setFrame(kFirstMarkTag + kind - 1, 1, 2);
    if (pointAt >= 1 && pointAt <= 3) setFrame(kFirstPointTag + pointAt - 1, 1, 2);
}

void Editor::showNoteValue() {
    setFrame(kFirstDigitTag, num + 1, 13);
    setFrame(kFirstMarkTag + 1, 1, 2);
    if (den < 10) {
        setFrame(kFirstDigitTag + 3, den + 1, 11);
    } else {
        setFrame(kFirstDigitTag + 2, den / 10 % 10 + 1, 11);
        setFrame(kFirstDigitTag + 3, den % 10 + 1, 11);
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
    setControl(kActiveLampTag, choiceOf(getParam(kMainBypass), 2) == 0 ? 1.0f : 0.0f);
}
