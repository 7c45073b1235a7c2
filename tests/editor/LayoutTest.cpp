// SPDX-License-Identifier: GPL-3.0-or-later
// The panel as it opens: every control built from its row of the layout table, in creation
// order, answering at its place and suiting its parameter; drawn frames at both ends; the
// lamp; reopening; the scales.
#include "EditorFixture.h"

#include "editor/CAbout.h"
#include "editor/CAnimKnob2.h"
#include "editor/CInvisableKnob.h"
#include "editor/CPSKickButton.h"
#include "editor/CPSOnOffButton.h"
#include "editor/CPSRockerSwitch.h"
#include "editor/CSaveLoadButton.h"
#include "editor/DrellKickButton.h"
#include "editor/DrellOnOffButton.h"
#include "editor/DrellSwitch.h"
#include "editor/HintLine.h"
#include "editor/PanelLayout.h"
#include "platform/FileSettingsStore.h"
#include "platform/SettingsKeys.h"
#include "support/TempFolder.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CTextEdit.h"

#include <cmath>
#include <set>
#include <typeinfo>

using namespace VSTGUI;

namespace {

// Whether the control's area of the framebuffer shows frame `index` of its filmstrip.
bool showsFrame(const CFrame& frame, CControl& control, int index, int frameHeight) {
    const ImageData* art = control.getBackground()->getImage(1);
    const CRect& r = control.getViewSize();
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const size_t at =
                size_t(index * frameHeight + y - r.top) * size_t(art->width) + size_t(x - r.left);
            const uint32_t want =
                art->indices.empty() ? art->argb[at] : art->palette[art->indices[at]];
            if ((frame.getFramebuffer().pixel(x, y) ^ want) & 0xFFFFFF) return false;
        }
    return true;
}

// The class each kind of row builds.
const std::type_info& classOf(panel::Kind kind) {
    switch (kind) {
    case panel::Kind::Knob:
        return typeid(CAnimKnob2);
    case panel::Kind::OnOff:
        return typeid(DrellOnOffButton);
    case panel::Kind::HSwitch:
        return typeid(DrellSwitch);
    case panel::Kind::VSwitch:
        return typeid(DrellSwitchVert);
    case panel::Kind::Movie:
        return typeid(CMovieBitmap);
    case panel::Kind::Kick:
        return typeid(DrellKickButton);
    case panel::Kind::Invisible:
        return typeid(CInvisableKnob);
    case panel::Kind::About:
        return typeid(CAbout);
    case panel::Kind::TextField:
        return typeid(CTextEdit);
    case panel::Kind::Menu:
        return typeid(COptionMenu);
    case panel::Kind::Rocker:
        return typeid(CPSRockerSwitch);
    case panel::Kind::FileButton:
        return typeid(CSaveLoadButton);
    case panel::Kind::TextDisplay:
        return typeid(CParamDisplay);
    case panel::Kind::Hint:
        return typeid(HintLine);
    case panel::Kind::Toggle:
        return typeid(CPSOnOffButton);
    case panel::Kind::PushButton:
        return typeid(CPSKickButton);
    }
    return typeid(void);
}

CRect toRect(const panel::Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TEST_F(EditorFixture, EveryControlIsBuiltFromItsRowInOrder) {
    // Distinct values, so each control shows which parameter it took.
    for (int i = 0; i < kNumParams; ++i) drell->setParameter(i, float(i + 1) / 64.0f);
    drell->setParameter(kDlyLMode, 0.0f);
    drell->setParameter(kDlyRMode, 0.0f);
    drell->setTempo(0.25f);
    open();

    // The rows are in creation order, which is drawing order.
    ASSERT_EQ(frame().getNbViews(), int(std::size(panel::kControls)));
    for (size_t i = 0; i < std::size(panel::kControls); ++i) {
        const panel::Control& row = panel::kControls[i];
        SCOPED_TRACE("tag " + std::to_string(row.tag));
        auto* view = dynamic_cast<CControl*>(frame().getView(int(i)));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->getTag(), row.tag) << "creation order";
        if (row.tag < Editor::kNumEditorTags) {
            EXPECT_EQ(view, editor->getControl(row.tag));
        }
        EXPECT_EQ(typeid(*view), classOf(row.kind));
        EXPECT_EQ(view->getViewSize(), toRect(panel::rectOf(row)));
        // The text fields draw over the panel behind them.
        const bool overPanel = row.kind == panel::Kind::TextField ||
                               row.kind == panel::Kind::TextDisplay ||
                               row.kind == panel::Kind::Hint;
        EXPECT_EQ(view->getBackground() ? view->getBackground()->getResourceId() : 0,
                  overPanel ? panel::kBackgroundBitmap : row.bitmap);
        if (row.defaultValue != panel::kNone) {
            EXPECT_FLOAT_EQ(view->getDefaultValue(), row.defaultValue);
        }
        if (row.wheel != panel::kNone) {
            EXPECT_FLOAT_EQ(view->getWheelInc(), row.wheel);
        }

        const float p = drell->getParameter(row.tag < kNumParams ? row.tag : 0);
        const float lamp = drell->getParameter(kMainBypass) < 0.5f ? 1.0f : 0.0f;
        switch (row.opening) {
        case panel::Opening::Param:
            EXPECT_FLOAT_EQ(view->getValue(), p);
            break;
        case panel::Opening::SqrtParam:
            EXPECT_FLOAT_EQ(view->getValue(), std::sqrt(p));
            break;
        case panel::Opening::Zero:
        case panel::Opening::LinkFlag:
            EXPECT_FLOAT_EQ(view->getValue(), 0.0f);
            break;
        case panel::Opening::ActiveLamp:
            EXPECT_FLOAT_EQ(view->getValue(), lamp);
            break;
        case panel::Opening::SqrtTempo:
            EXPECT_FLOAT_EQ(view->getValue(), 0.5f);
            break;
        case panel::Opening::None:
            break;
        }
    }
    EXPECT_EQ(editor->getControl(48), nullptr) << "tag 48 is not used";
}

TEST_F(EditorFixture, EveryControlAnswersAtItsPlaceAndEveryParameterHasOne) {
    open();
    std::set<int> tags;
    for (const panel::Control& row : panel::kControls) {
        SCOPED_TRACE("tag " + std::to_string(row.tag));
        EXPECT_TRUE(tags.insert(row.tag).second) << "a tag used twice";
        const panel::Rect r = panel::rectOf(row);
        EXPECT_GT(r.width(), 0);
        EXPECT_GT(r.height(), 0);
        EXPECT_LE(r.right, panel::kWidth);
        EXPECT_LE(r.bottom, panel::kHeight);
        if (row.kind == panel::Kind::Movie) continue; // display only, beneath nothing
        const CPoint middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        auto* view = dynamic_cast<CControl*>(frame().getViewAt(middle));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->getTag(), row.tag) << "another control covers its middle";
    }
    // Note values are set with the step buttons and shown on the display only.
    for (int i = 0; i < kNumParams; ++i) {
        if (kParameterTable[i].display != DisplayForm::NoteValue) {
            EXPECT_TRUE(tags.count(i)) << "parameter " << i << " has no control";
        }
    }
}

TEST(PanelLayout, EveryControlSuitsItsParameter) {
    for (const panel::Control& row : panel::kControls) {
        if (row.tag >= kNumParams) continue;
        SCOPED_TRACE(kParameterTable[row.tag].name);
        const ParameterInfo& info = kParameterTable[row.tag];
        switch (info.kind) {
        case StepKind::Switch:
            EXPECT_TRUE(row.kind == panel::Kind::OnOff || row.kind == panel::Kind::HSwitch);
            EXPECT_EQ(panel::framesOf(row), 2);
            break;
        case StepKind::Choice:
            EXPECT_TRUE(row.kind == panel::Kind::HSwitch || row.kind == panel::Kind::VSwitch);
            EXPECT_EQ(panel::framesOf(row), info.steps);
            break;
        default:
            EXPECT_TRUE(row.kind == panel::Kind::Knob || row.kind == panel::Kind::Invisible);
            break;
        }
    }
}

TEST(PanelLayout, EveryBitmapControlFitsItsBitmap) {
    for (const panel::Control& row : panel::kControls) {
        if (row.bitmap == 0) continue;
        SCOPED_TRACE("tag " + std::to_string(row.tag));
        const panel::Bitmap* art = panel::findBitmap(row.bitmap);
        ASSERT_NE(art, nullptr);
        EXPECT_EQ(art->height % art->frames, 0);
        const panel::Rect r = panel::rectOf(row);
        if (row.kind == panel::Kind::About) continue; // the picture covers the panel
        EXPECT_LE(r.width(), art->width);
        EXPECT_EQ(r.height(), art->height / art->frames);
    }
}

TEST_F(EditorFixture, ControlsAtZeroAndOneShowTheFirstAndLastFrame) {
    for (float v : {0.0f, 1.0f}) {
        for (int i = 0; i < kNumParams; ++i) drell->setParameter(i, v);
        open();
        SCOPED_TRACE(v);
        for (int tag : {3, 15, 0, 40}) {
            auto& knob = dynamic_cast<CAnimKnob2&>(control(tag));
            EXPECT_TRUE(showsFrame(frame(), knob, v == 0 ? 0 : 100, knob.getHeightOfOneImage()))
                << "knob " << tag;
        }
        for (int tag : {24, 30, 9}) {
            auto& sw = dynamic_cast<CSwitchBase&>(control(tag));
            const int last = sw.getMaxPositions() - 1;
            EXPECT_TRUE(showsFrame(frame(), sw, v == 0 ? 0 : last, sw.getHeightOfOneImage()))
                << "switch " << tag;
        }
        auto& button = control(kDlyLFbInv);
        EXPECT_TRUE(showsFrame(frame(), button, v == 0 ? 0 : 1, button.getHeight())) << "button";
        editor->close();
    }
}

TEST_F(EditorFixture, ActiveLampIsLitWhileNotBypassed) {
    open();
    auto& lamp = dynamic_cast<CMovieBitmap&>(control(Editor::kActiveLampTag));
    EXPECT_EQ(lamp.getFrameIndex(), 1);
    drell->setParameter(kMainBypass, 1.0f);
    editor->idle();
    EXPECT_EQ(lamp.getFrameIndex(), 0);
    EXPECT_TRUE(showsFrame(frame(), lamp, 0, 35));
    click(kMainBypass); // 1.0 counts as on: the click turns it off
    EXPECT_FLOAT_EQ(drell->getParameter(kMainBypass), 0.0f);
    EXPECT_EQ(lamp.getFrameIndex(), 1);
    click(kMainBypass); // on again, as 0.5
    EXPECT_EQ(lamp.getFrameIndex(), 0) << "a bypass of 0.5 is on";
    editor->idle();
    EXPECT_EQ(lamp.getFrameIndex(), 0);
}

TEST_F(EditorFixture, ReopeningBuildsTheControlsAfreshAndKeepsTheLink) {
    open();
    const int views = frame().getNbViews();
    click(Editor::kLinkTag);
    ASSERT_TRUE(editor->isLinked());
    editor->close();
    EXPECT_EQ(editor->getControl(kMainIn), nullptr);
    drell->setParameter(kMainIn, 0.25f); // while closed: nothing to show it on
    editor->idle();
    open();
    open(); // a second open without close replaces the window
    EXPECT_EQ(frame().getNbViews(), views);
    EXPECT_FLOAT_EQ(control(kMainIn).getValue(), 0.25f);
    EXPECT_FLOAT_EQ(control(Editor::kLinkTag).getValue(), 1.0f);
}

TEST_F(EditorFixture, ScaleTwoDoublesTheRectangleAndTheFramebuffer) {
    ERect* rect = nullptr;
    for (int scale : {1, 2}) {
        editor->setScale(scale);
        ASSERT_TRUE(editor->getRect(&rect));
        EXPECT_EQ(rect->right, 875 * scale);
        EXPECT_EQ(rect->bottom, 171 * scale);
        open();
        EXPECT_EQ(frame().getFramebuffer().width(), 875 * scale);
        EXPECT_EQ(frame().getFramebuffer().height(), 171 * scale);
        EXPECT_EQ(control(kMainIn).getViewSize(), (CRect{672, 29, 709, 65})) << "scale 1 units";
        ASSERT_TRUE(editor->getRect(&rect));
        EXPECT_EQ(rect->right, 875 * scale);
        editor->close();
    }
}

TEST(EditorScale, SettingsValueChoosesTheScale) {
    TempFolder folder;
    FileSettingsStore store(folder.path());
    EffectHost host;
    PlatformServices services;
    services.settings = &store;
    for (const auto& [value, expected] : std::vector<std::pair<SettingsValue::Value, int>>{
             {std::uint32_t(2), 2}, {std::string("1"), 1}, {std::string("2"), 2}}) {
        ASSERT_EQ(store.writeValues(kSettingsKeyPath, {{std::string(kUiScaleValue), value}}),
                  SettingsWriteStatus::ok);
        auto drell = host.make(services);
        Editor editor(drell.get());
        ERect* rect = nullptr;
        ASSERT_TRUE(editor.getRect(&rect));
        EXPECT_EQ(rect->right, 875 * expected);
        ASSERT_TRUE(editor.open(nullptr));
        EXPECT_EQ(editor.getFrame()->getScale(), expected);
        editor.close();
    }
}
