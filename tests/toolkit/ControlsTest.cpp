// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitTestSupport.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CHorizontalSwitch.h"
#include "toolkit/CKickButton.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CSplashScreen.h"
#include "toolkit/CVerticalSwitch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace toolkit_test;

namespace {

using Strings = std::vector<std::string>;
using Floats = std::vector<float>;

struct ControlsTest : testing::Test {
    RecordingOwner owner;
    RecordingListener listener;
    std::unique_ptr<CFrame> frame;
    int32_t scale = 1;

    void openFrame(int32_t frameScale = 1) {
        scale = frameScale;
        frame = std::make_unique<CFrame>(panelRect(), nullptr, &owner, frameScale);
    }
    template <typename T>
    T* add(T* control) {
        if (!frame) openFrame();
        frame->addView(control);
        return control;
    }
    // The bitmap, with the creator's reference handed to the control that takes it.
    static CBitmap* bitmap(int32_t id) { return new CBitmap(id); }
    template <typename T>
    T* addWith(int32_t bitmapId, auto&&... args) {
        CBitmap* b = bitmap(bitmapId);
        T* control = add(new T(args..., b));
        b->forget();
        return control;
    }
    void click(const CPoint& p, int32_t buttons = kLButton) {
        frame->mouseDown(p, buttons);
        frame->mouseUp(p, buttons & ~kMouseButtons);
    }
};

TEST_F(ControlsTest, FilmstripsShowTheNearestFrameOfTheValueAtBothScales) {
    struct Case {
        float value;
        int32_t knobFrame;  // of 101
        int32_t lampFrame;  // of 2
        int32_t meterFrame; // of 21
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {{0.0f, 0, 0, 0},   {1.0f, 100, 1, 20}, {0.5f, 50, 1, 10},
                          {0.004f, 0, 0, 0}, {0.006f, 1, 0, 0},  {0.49f, 49, 0, 10},
                          {0.024f, 2, 0, 0}, {2.0f, 100, 1, 20}, {-1.0f, 0, 0, 0},
                          {nan, 0, 0, 0}};
    for (int32_t s : {1, 2}) {
        openFrame(s);
        auto* knob =
            addWith<CAnimKnob>(fake::kKnobStrip, CRect{10, 10, 47, 46}, &listener, 3, 101, 36);
        auto* lamp =
            addWith<CMovieBitmap>(fake::kTwoFrames, CRect{100, 10, 125, 32}, &listener, 51, 2, 22);
        auto* meter = addWith<CMovieBitmap>(fake::kFiveFrames, CRect{200, 10, 216, 23}, &listener,
                                            68, 21, 13);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "value " << c.value << " scale " << s);
            knob->setValue(c.value);
            lamp->setValue(c.value);
            meter->setValue(c.value);
            frame->idle();
            EXPECT_EQ(knob->getFrameIndex(), c.knobFrame);
            EXPECT_EQ(lamp->getFrameIndex(), c.lampFrame);
            EXPECT_EQ(meter->getFrameIndex(), c.meterFrame);
            EXPECT_EQ(pixelAt(*frame, 30, 30), rgb(fake::framePixel(130, c.knobFrame, s)));
            EXPECT_EQ(pixelAt(*frame, 110, 20), rgb(fake::framePixel(144, c.lampFrame, s)));
        }
    }
}

// The knob's value for a pointer's angle, which the editor's circular drag follows.
TEST_F(ControlsTest, KnobValueFollowsThePointersAngleAndTheGapBelongsToTheNearerEnd) {
    auto* knob = add(new CKnob({0, 0, 40, 40}, &listener, 5, nullptr, nullptr));
    EXPECT_NEAR(knob->valueFromPoint({20, 0}), 0.5f, 1e-6f) << "top";
    EXPECT_NEAR(knob->valueFromPoint({0, 20}), 1.0f / 6.0f, 1e-6f) << "left";
    EXPECT_NEAR(knob->valueFromPoint({40, 20}), 5.0f / 6.0f, 1e-6f) << "right";
    EXPECT_EQ(knob->valueFromPoint({18, 40}), 0.0f) << "left of the gap belongs to the start";
    EXPECT_EQ(knob->valueFromPoint({22, 40}), 1.0f) << "right of the gap to the end";
}

TEST_F(ControlsTest, WheelStepsByTheIncrementATenthWithShiftAndStopsAtTheEnds) {
    auto* knob = addWith<CAnimKnob>(fake::kKnobStrip, CRect{0, 0, 37, 36}, &listener, 3, 101, 36);
    knob->setWheelInc(0.125f);
    knob->setValue(0.5f);
    frame->mouseWheel({5, 5}, 1.0f, 0);
    frame->mouseWheel({5, 5}, -1.0f, kShift);
    for (int i = 0; i < 10; ++i) frame->mouseWheel({5, 5}, 1.0f, 0);
    Floats values = listener.values();
    ASSERT_EQ(values.size(), 6u) << "no notification once the end is reached";
    EXPECT_FLOAT_EQ(values[0], 0.625f);
    EXPECT_FLOAT_EQ(values[1], 0.6125f);
    EXPECT_FLOAT_EQ(values.back(), 1.0f);
    EXPECT_EQ(owner.edits.size(), 12u) << "each step is one gesture";
}

TEST_F(ControlsTest, SwitchPositionsKeepTheEndsBeyondTheirEdgesAndFramesFollowTheValue) {
    auto* across = addWith<CHorizontalSwitch>(fake::kThreeFrames, CRect{0, 0, 30, 13}, &listener,
                                              30, 3, 13, 3);
    auto* down =
        addWith<CVerticalSwitch>(fake::kFiveFrames, CRect{100, 0, 116, 56}, &listener, 9, 5, 56, 5);
    auto* kick = addWith<CKickButton>(fake::kTwoFrames, CRect{200, 0, 225, 22}, &listener, 62, 22);
    const std::pair<int32_t, int32_t> acrossAt[] = {{5, 0}, {15, 1}, {29, 2}, {500, 2}, {-50, 0}};
    for (auto [x, position] : acrossAt) EXPECT_EQ(across->positionAt({x, 5}), position) << x;
    const std::pair<int32_t, int32_t> downAt[] = {{0, 0},  {12, 1}, {23, 2},
                                                  {34, 3}, {55, 4}, {90, 4}};
    for (auto [y, position] : downAt) EXPECT_EQ(down->positionAt({105, y}), position) << y;
    across->setValue(0.5f);
    kick->setValue(1.0f);
    frame->idle();
    EXPECT_EQ(pixelAt(*frame, 1, 1), rgb(fake::framePixel(153, 1, 1)));
    EXPECT_EQ(pixelAt(*frame, 205, 5), rgb(fake::framePixel(144, 1, 1)));
}

TEST_F(ControlsTest, OnOffButtonTogglesOnEachLeftClickAndShowsTheLowerFrameWhenOn) {
    auto* button = addWith<COnOffButton>(fake::kTwoFrames, CRect{0, 0, 25, 22}, &listener, 41);
    click({3, 3});
    frame->idle();
    EXPECT_EQ(pixelAt(*frame, 3, 3), rgb(fake::framePixel(144, 1, 1)));
    click({3, 3});
    click({3, 3}, kRButton);
    frame->idle();
    EXPECT_EQ(pixelAt(*frame, 3, 3), rgb(fake::framePixel(144, 0, 1)));
    EXPECT_EQ(listener.values(), (Floats{1.0f, 0.0f}));
    EXPECT_EQ(owner.edits, (Strings{"b41", "e41", "b41", "e41"}));
    EXPECT_EQ(frame->getMouseTrackingView(), nullptr) << "no drag follows a toggle";
    button->setMouseEnabled(false);
    click({3, 3});
    EXPECT_EQ(listener.calls.size(), 2u);
}

TEST_F(ControlsTest, SplashScreenOpensItsPictureAsModalViewAndAClickClosesIt) {
    auto* about = new CBitmap(fake::kAbout);
    auto* splash = add(new CSplashScreen({307, 51, 352, 75}, &listener, 70, about, panelRect()));
    about->forget();
    click({310, 60});
    ASSERT_NE(frame->getModalView(), nullptr);
    EXPECT_TRUE(splash->isSplashed());
    EXPECT_EQ(frame->getModalView()->getViewSize(), panelRect());
    frame->idle();
    EXPECT_EQ(pixelAt(*frame, 600, 100), rgb(fake::patternPixel(600, 100, 1)));
    click({600, 100}, kRButton);
    EXPECT_TRUE(splash->isSplashed()) << "only a left click closes it";
    click({600, 100});
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FALSE(splash->isSplashed());
    EXPECT_EQ(listener.values(), (Floats{1.0f, 0.0f}));

    click({310, 60});
    EXPECT_TRUE(frame->keyDown({0, kVKeyEscape, 0}));
    EXPECT_EQ(frame->getModalView(), nullptr);
    click({310, 60});
    frame.reset(); // closing while the picture is shown
    EXPECT_EQ(listener.values(), (Floats{1.0f, 0.0f, 1.0f, 0.0f, 1.0f}));
}

TEST_F(ControlsTest, ParamDisplayShowsTheBackgroundBehindItAndTheConvertedValue) {
    openFrame(2);
    auto* panel = bitmap(fake::kBackground);
    auto* display = add(new CParamDisplay({727, 158, 813, 168}, panel, kNoFrame));
    panel->forget();
    display->setBackOffset({727, 158});
    display->setFont(fake::kSmallFont);
    display->setFontColor({76, 76, 72, 255});
    display->setHoriAlign(kLeftText);
    display->setStringConvert([](float v) { return v > 0.5f ? std::string("CC 7") : ""; });
    frame->idle();
    EXPECT_EQ(pixelAt(*frame, 730, 160), rgb(fake::patternPixel(2 * 730, 2 * 160, 2)))
        << "the panel's own pixels behind the display";
    display->setValue(0.9f);
    frame->idle();
    EXPECT_EQ(pixelAt(*frame, 729, 161), 0x4C4C48u) << "text from the left margin";
    EXPECT_EQ(display->valueText(0.25f), "");
    display->setStringConvert(nullptr);
    EXPECT_EQ(display->valueText(0.25f), "0.25");
}

} // namespace
