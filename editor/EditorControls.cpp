// SPDX-License-Identifier: GPL-3.0-or-later
// Building the panel's controls from the layout table, each with its opening value.
#include "editor/CAbout.h"
#include "editor/CAnimKnob2.h"
#include "editor/CInvisableKnob.h"
#include "editor/DrellKickButton.h"
#include "editor/DrellOnOffButton.h"
#include "editor/DrellSwitch.h"
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMovieBitmap.h"

#include <map>

using namespace VSTGUI;
using panel::Kind;
using panel::Opening;

namespace {

CRect toRect(const panel::Rect& r) {
    return CRect(r.left, r.top, r.right, r.bottom);
}

} // namespace

void Editor::createControls() {
    std::map<int32_t, CBitmap*> bitmaps;
    auto bitmap = [&bitmaps](int32_t id) {
        CBitmap*& b = bitmaps[id];
        if (b == nullptr) b = new CBitmap(id);
        return b;
    };
    const float bypass = getParam(kMainBypass);

    for (const panel::Control& row : panel::kControls) {
        if (row.tag >= kNumEditorTags) continue; // the preset bar builds its own
        CBitmap* art = row.bitmap != 0 ? bitmap(row.bitmap) : nullptr;
        const CRect rect = toRect(panel::rectOf(row));
        const int32_t frames = panel::framesOf(row);
        const int32_t frameHeight = frames > 0 ? rect.height() : 0;
        CControl* control = nullptr;
        switch (row.kind) {
        case Kind::Knob:
            control =
                new CAnimKnob2(rect, this, row.tag, frames, frameHeight, art, this, {}, clock);
            break;
        case Kind::OnOff:
            control = new DrellOnOffButton(rect, this, row.tag, art);
            break;
        case Kind::HSwitch:
            control = new DrellSwitch(rect, this, row.tag, frames, frameHeight, frames, art);
            break;
        case Kind::VSwitch:
            control = new DrellSwitchVert(rect, this, row.tag, frames, frameHeight, frames, art);
            break;
        case Kind::Movie:
            control = new CMovieBitmap(rect, this, row.tag, frames, frameHeight, art);
            break;
        case Kind::Kick:
            control = new DrellKickButton(rect, this, row.tag, frameHeight, art);
            break;
        case Kind::Invisible:
            control = new CInvisableKnob(rect, this, row.tag, this);
            break;
        case Kind::About:
            control = new CAbout(rect, this, row.tag, art, CRect(0, 0, kWidth, kHeight));
            break;
        default:
            continue; // a preset bar kind
        }
        frame->addView(control);
        controls[row.tag] = control;

        switch (row.opening) {
        case Opening::None:
            break;
        case Opening::Zero:
            control->setValue(0.0f);
            break;
        case Opening::Param:
            control->setValue(getParam(row.tag));
            break;
        case Opening::SqrtParam:
            control->setValue(rootOf(getParam(row.tag)));
            break;
        case Opening::LinkFlag:
            control->setValue(isLinked() ? 1.0f : 0.0f);
            break;
        case Opening::ActiveLamp:
            control->setValue(step(bypass, 2) == 0 ? 1.0f : 0.0f);
            break;
        case Opening::SqrtTempo:
            control->setValue(rootOf(drell != nullptr ? drell->getTempo() : 0.0f));
            break;
        }
        if (row.defaultValue != panel::kNone) control->setDefaultValue(row.defaultValue);
        if (row.wheel != panel::kNone) control->setWheelInc(row.wheel);
    }
    for (auto& entry : bitmaps) entry.second->forget();
}
