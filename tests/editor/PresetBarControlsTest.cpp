// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's own controls on a bare frame: what each click, drag and release does to
// the value, the listener, the file commands and the host's edit gestures.
#include "editor/CPSKickButton.h"
#include "editor/CPSOnOffButton.h"
#include "editor/CPSRockerSwitch.h"
#include "editor/CSaveLoadButton.h"
#include "editor/PresetBarFrames.h"
#include "support/RecordingControls.h"
#include "support/RecordingFileCommands.h"
#include "toolkit/CFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace VSTGUI;

namespace {

using Floats = std::vector<float>;
using Strings = std::vector<std::string>;

struct PresetBarControlsTest : testing::Test {
    RecordingOwner owner;
    RecordingListener listener;
    RecordingFileCommands commands;
    std::unique_ptr<CFrame> frame =
        std::make_unique<CFrame>(CRect{0, 0, 875, 171}, nullptr, &owner);

    template <class Control, class... Args>
    Control* add(Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)...);
        frame->addView(control);
        return control;
    }
};

TEST_F(PresetBarControlsTest, FileButtonsRunTheirKindsCommandAndHoldThePressedFrame) {
    struct Case {
        int32_t kind;
        int32_t buttons;
        const char* command;
    };
    const Case cases[] = {
        {0, kLButton, "loadBank"},
        {1, kLButton, "saveBank"},
        {2, kLButton, "loadPreset"},
        {3, kLButton, "savePreset"},
        {4, kLButton, "loadMidiSettings"},
        {5, kLButton, "saveMidiSettings"},
        {6, kLButton, "selectDefaultBank"},
        {6, kLButton | kControl, "clearDefaultBank"},
        {6, kLButton | kControl | kShift, "selectDefaultBank"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        commands.calls.clear();
        owner.edits.clear();
        auto* button = add<CSaveLoadButton>(CRect{386, 156, 411, 170}, &listener, 84, 14, nullptr,
                                            c.kind, &commands);
        frame->mouseDown({390, 160}, c.buttons);
        EXPECT_EQ(commands.calls, std::vector<std::string_view>{c.command});
        EXPECT_EQ(button->getValue(), presetbar::kPressedValue);
        frame->mouseMoved({500, 20}, c.buttons);
        EXPECT_EQ(button->getValue(), presetbar::kPressedValue) << "held while the button is down";
        frame->mouseUp({500, 20}, 0);
        EXPECT_EQ(button->getValue(), 0.0f);
        EXPECT_EQ(owner.edits, (Strings{"b84", "e84"}));
        frame->removeView(button);
    }
    EXPECT_TRUE(listener.calls.empty()) << "file buttons never notify";

    auto* button =
        add<CSaveLoadButton>(CRect{0, 0, 25, 14}, &listener, 73, 14, nullptr, 0, &commands);
    commands.calls.clear();
    frame->mouseDown({5, 5}, kRButton);
    frame->mouseDown({5, 5}, kLButton);
    frame->mouseMoved({5, 5}, kLButton | kRButton); // another button: released
    EXPECT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(commands.calls, std::vector<std::string_view>{"loadBank"});
}

TEST_F(PresetBarControlsTest, StoreButtonNotifiesThePressOnlyAndReturnsToRest) {
    auto* button = add<CPSKickButton>(CRect{701, 156, 726, 170}, &listener, 81, 14, nullptr);
    frame->mouseDown({705, 160}, kLButton);
    frame->mouseMoved({100, 100}, kLButton);
    EXPECT_EQ(button->getValue(), presetbar::kPressedValue);
    frame->mouseUp({100, 100}, 0);
    EXPECT_EQ(listener.values(), Floats{presetbar::kPressedValue});
    EXPECT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(owner.edits, (Strings{"b81", "e81"}));
}

TEST_F(PresetBarControlsTest, OnOffSwitchTogglesFromRestOrHoverToOnAndBackOff) {
    auto* button = add<CPSOnOffButton>(CRect{822, 156, 836, 170}, &listener, 78, 14, nullptr);
    button->setValue(presetbar::kHoverValue);
    frame->mouseDown({825, 160}, kLButton);
    EXPECT_TRUE(button->isSwitchedOn());
    frame->mouseUp({825, 160}, 0);
    frame->mouseDown({825, 160}, kLButton);
    frame->mouseUp({825, 160}, 0);
    frame->mouseDown({825, 160}, kRButton);
    EXPECT_EQ(listener.values(), (Floats{presetbar::kOnValue, 0.0f}));
    EXPECT_EQ(frame->getMouseTrackingView(), nullptr);
}

TEST_F(PresetBarControlsTest, RockerFollowsTheHalfUnderThePointerAndRestsSilentlyAtRelease) {
    auto* rocker = add<CPSRockerSwitch>(CRect{255, 158, 279, 169}, &listener, 72, 11, nullptr);
    rocker->setValue(presetbar::kRockerHoverRight);
    frame->mouseDown({270, 160}, kLButton);  // right half
    frame->mouseMoved({258, 160}, kLButton); // left half
    frame->mouseMoved({258, 100}, kLButton); // outside: the value from before the press
    frame->mouseMoved({258, 161}, kLButton);
    frame->mouseUp({258, 161}, 0);
    EXPECT_EQ(listener.values(), (Floats{1.0f, -1.0f, 0.5f, -1.0f}));
    EXPECT_EQ(rocker->getValue(), 0.0f);
    EXPECT_EQ(owner.edits, (Strings{"b72", "e72"}));
}

TEST(PresetBarFrames, ValuesChooseTheirFrames) {
    EXPECT_EQ(presetbar::buttonFrame(0.0f), 0);
    EXPECT_EQ(presetbar::buttonFrame(presetbar::kHoverValue), 1);
    EXPECT_EQ(presetbar::buttonFrame(presetbar::kPressedValue), 2);
    EXPECT_EQ(presetbar::buttonFrame(presetbar::kOnValue), 2);
    const Floats rocker = {0.0f, -0.5f, 0.5f, -1.0f, 1.0f};
    for (int32_t frame = 0; frame < 5; ++frame)
        EXPECT_EQ(presetbar::rockerFrame(rocker[size_t(frame)]), frame);
}

} // namespace
