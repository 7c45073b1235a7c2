// The panel as it opens: every control where the layout puts it, with its art, value and
// default, in creation order; drawn frames at both ends; the lamp; reopening; the scales.
#include "EditorFixture.h"

#include "editor/CAbout.h"
#include "editor/CAnimKnob2.h"
#include "editor/CInvisableKnob.h"
#include "editor/DrellKickButton.h"
#include "editor/DrellOnOffButton.h"
#include "editor/DrellSwitch.h"
#include "editor/DrellSwitchVert.h"
#include "platform/FileSettingsStore.h"
#include "platform/SettingsKeys.h"
#include "support/TempFolder.h"
#include "toolkit/CMovieBitmap.h"

#include <cmath>
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

} // namespace

TEST_F(EditorFixture, EveryControlHasItsClassPlaceArtAndOpeningValue) {
    // Distinct values, so each control shows which parameter it took.
    for (int i = 0; i < kNumParams; ++i) drell->setParameter(i, float(i + 1) / 64.0f);
    drell->setParameter(kDlyLMode, 0.0f);
    drell->setParameter(kDlyRMode, 0.0f);
    drell->setTempo(0.25f);
    open();

    enum Init { P, SQRT, NONE, ZERO, LINK, LAMP, TEMPO };
    struct Row {
        int tag;
        const std::type_info& type;
        CRect rect;
        int bitmap;
        Init init;
    };
    const auto& knob = typeid(CAnimKnob2);
    const auto& onOff = typeid(DrellOnOffButton);
    const auto& sw = typeid(DrellSwitch);
    const auto& movie = typeid(CMovieBitmap);
    const auto& kick = typeid(DrellKickButton);
    const auto& invisible = typeid(CInvisableKnob);
    const Row rows[] = {
        {3, knob, {162, 29, 199, 65}, 130, P},
        {5, knob, {209, 29, 246, 65}, 130, P},
        {4, knob, {162, 93, 199, 129}, 131, P},
        {6, knob, {209, 93, 246, 129}, 131, P},
        {16, knob, {486, 29, 522, 65}, 132, P},
        {15, knob, {440, 28, 476, 65}, 133, P},
        {13, knob, {533, 29, 569, 65}, 134, P},
        {11, knob, {392, 93, 428, 130}, 135, P},
        {12, knob, {439, 93, 475, 130}, 136, P},
        {47, knob, {486, 93, 523, 130}, 137, P},
        {22, knob, {532, 93, 569, 130}, 137, P},
        {21, knob, {600, 29, 636, 65}, 138, P},
        {0, knob, {672, 29, 709, 65}, 139, P},
        {2, knob, {719, 29, 756, 65}, 139, P},
        {1, knob, {766, 29, 803, 65}, 139, P},
        {17, knob, {599, 93, 635, 129}, 140, P},
        {18, knob, {646, 93, 682, 129}, 141, P},
        {39, knob, {758, 93, 795, 129}, 142, P},
        {40, knob, {805, 93, 841, 129}, 143, P},
        {41, onOff, {814, 44, 839, 66}, 144, P},
        {50, onOff, {67, 70, 91, 90}, 149, LINK},
        {19, onOff, {258, 54, 282, 74}, 145, P},
        {20, onOff, {258, 118, 282, 138}, 146, P},
        {7, onOff, {258, 27, 282, 47}, 147, P},
        {8, onOff, {258, 91, 282, 111}, 148, P},
        {24, sw, {87, 25, 114, 38}, 150, P},
        {25, sw, {87, 89, 114, 102}, 150, P},
        {30, sw, {122, 25, 152, 38}, 153, P},
        {31, sw, {122, 89, 152, 102}, 153, P},
        {32, sw, {321, 89, 343, 101}, 151, P},
        {23, sw, {397, 25, 428, 36}, 154, P},
        {14, sw, {397, 55, 428, 66}, 154, P},
        {37, sw, {721, 89, 744, 101}, 152, P},
        {38, sw, {721, 120, 744, 132}, 152, P},
        {42, onOff, {382, 19, 388, 44}, 158, P},
        {43, onOff, {585, 19, 592, 44}, 157, P},
        {51, movie, {657, 18, 664, 53}, 159, LAMP},
        {44, onOff, {290, 82, 298, 108}, 160, P},
        {45, onOff, {584, 83, 592, 109}, 155, P},
        {46, onOff, {697, 82, 704, 108}, 161, P},
        {52, movie, {298, 26, 311, 42}, 165, NONE},
        {53, movie, {314, 26, 327, 42}, 164, NONE},
        {54, movie, {330, 26, 343, 42}, 164, NONE},
        {55, movie, {347, 26, 360, 42}, 164, NONE},
        {56, movie, {311, 40, 314, 42}, 163, NONE},
        {57, movie, {327, 40, 330, 42}, 163, NONE},
        {58, movie, {343, 40, 346, 42}, 163, NONE},
        {59, movie, {311, 30, 314, 38}, 166, NONE},
        {60, movie, {327, 30, 330, 38}, 166, NONE},
        {61, movie, {344, 30, 347, 38}, 166, NONE},
        {62, kick, {91, 50, 110, 69}, 168, NONE},
        {63, kick, {127, 50, 147, 69}, 167, NONE},
        {64, kick, {91, 114, 110, 133}, 170, NONE},
        {65, kick, {128, 114, 147, 133}, 169, NONE},
        {66, kick, {305, 114, 324, 133}, 172, NONE},
        {10, invisible, {324, 114, 341, 133}, 0, SQRT},
        {67, kick, {341, 114, 360, 133}, 171, NONE},
        {9, typeid(DrellSwitchVert), {370, 81, 386, 137}, 174, P},
        {35, invisible, {113, 48, 124, 70}, 0, SQRT},
        {36, invisible, {113, 112, 124, 134}, 0, SQRT},
        {49, invisible, {293, 21, 364, 46}, 0, TEMPO},
        {68, movie, {43, 23, 50, 68}, 173, ZERO},
        {69, movie, {43, 87, 50, 132}, 173, ZERO},
        {70, typeid(CAbout), {307, 51, 352, 75}, 129, NONE},
    };

    // The rows are in creation order, which is drawing order; the preset bar follows.
    ASSERT_GE(frame().getNbViews(), int(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE("tag " + std::to_string(row.tag));
        auto* view = dynamic_cast<CControl*>(frame().getView(int(i)));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->getTag(), row.tag) << "creation order";
        EXPECT_EQ(view, editor->getControl(row.tag));
        EXPECT_EQ(typeid(*view), row.type);
        EXPECT_EQ(view->getViewSize(), row.rect);
        EXPECT_EQ(view->getBackground() ? view->getBackground()->getResourceId() : 0, row.bitmap);
        const float p = drell->getParameter(row.tag < kNumParams ? row.tag : 0);
        const float lamp = drell->getParameter(kMainBypass) < 0.5f ? 1.0f : 0.0f;
        const float expected[] = {p, std::sqrt(p), 0.0f, 0.0f, 0.0f, lamp, 0.5f};
        EXPECT_FLOAT_EQ(view->getValue(), expected[row.init]);
        if (row.type == knob) {
            EXPECT_FLOAT_EQ(view->getWheelInc(), 1.0f / 32.0f);
        }
    }
    EXPECT_FLOAT_EQ(control(kDlyLFbPan).getDefaultValue(), 0.0f);
    EXPECT_FLOAT_EQ(control(kDlyRFbPan).getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ(control(kModSens).getDefaultValue(), 11.0f / 111.0f);
    EXPECT_FLOAT_EQ(control(kDlyLRange).getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ(control(Editor::kLinkTag).getDefaultValue(), 1.0f);
    EXPECT_FLOAT_EQ(control(kModLfoRate).getWheelInc(), 1.0f / 128.0f);
    EXPECT_FLOAT_EQ(control(kDlyLTime).getWheelInc(), 0.0008f);
    EXPECT_FLOAT_EQ(control(Editor::kTempoTag).getWheelInc(), 1.0f / 925.0f);
    EXPECT_EQ(editor->getControl(48), nullptr) << "tag 48 is not used";
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
