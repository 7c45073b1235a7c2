// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitTestSupport.h"
#include "toolkit/COptionMenu.h"

#include <gtest/gtest.h>

using namespace toolkit_test;

namespace {

struct OptionMenuTest : testing::Test {
    RecordingOwner owner;
    RecordingListener listener;
    std::unique_ptr<CFrame> frame = std::make_unique<CFrame>(panelRect(), nullptr, &owner);
    COptionMenu* menu =
        new COptionMenu({239, 158, 250, 168}, &listener, 83, nullptr, kNoTextStyle | kCheckStyle);

    OptionMenuTest() {
        menu->setFont(fake::kSmallFont);
        for (int i = 0; i < 61; ++i) menu->addEntry("Program " + std::to_string(i));
        menu->setNbEntriesPerColumn(16);
        menu->setCurrent(5);
        frame->addView(menu);
    }
    void click(const CPoint& p) {
        frame->mouseDown(p, kLButton);
        frame->mouseUp(p, 0);
    }
    CPoint centreOf(int32_t entry) const {
        CRect r = menu->getPopup()->entryRect(entry);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

TEST_F(OptionMenuTest, OpensInsideTheFrameInColumnsOfSixteenAndAClickChooses) {
    click({244, 163});
    ASSERT_TRUE(menu->isOpen()) << "the release of the opening click chooses nothing";
    COptionMenuPopup* popup = menu->getPopup();
    EXPECT_EQ(frame->getModalView(), popup);
    CRect area = popup->getViewSize();
    EXPECT_GE(area.left, 0);
    EXPECT_GE(area.top, 0);
    EXPECT_LE(area.right, 875);
    EXPECT_LE(area.bottom, 171);
    EXPECT_EQ(popup->entryRect(16).top, popup->entryRect(0).top) << "entry 16 opens column 2";
    EXPECT_GT(popup->entryRect(16).left, popup->entryRect(15).left);
    EXPECT_EQ(popup->entryRect(60).left, popup->entryRect(48).left) << "four columns";
    EXPECT_EQ(popup->getHighlight(), 5) << "the current entry is lit";
    frame->idle();

    CPoint target = centreOf(37);
    EXPECT_EQ(popup->entryAt(target), 37);
    click(target);
    EXPECT_FALSE(menu->isOpen());
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(menu->getCurrent(), 37);
    EXPECT_EQ(menu->getLastResult(), 37);
    EXPECT_EQ(menu->getEntry(menu->getCurrent()), "Program 37");
    ASSERT_EQ(listener.calls.size(), 1u);
    EXPECT_EQ(listener.calls[0].value, 37.0f);
    EXPECT_EQ(owner.edits, (std::vector<std::string>{"b83", "e83"}));
}

TEST_F(OptionMenuTest, AClickOutsideOrEscapeClosesWithoutAChoice) {
    click({244, 163});
    click({5, 5});
    EXPECT_FALSE(menu->isOpen());
    EXPECT_EQ(menu->getLastResult(), -1);
    click({244, 163});
    EXPECT_TRUE(frame->keyDown({0, kVKeyEscape, 0}));
    EXPECT_FALSE(menu->isOpen());
    click({244, 163});
    click({244, 163}); // a second click on the menu closes it as well
    EXPECT_FALSE(menu->isOpen());
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_EQ(menu->getCurrent(), 5);
}

TEST_F(OptionMenuTest, DraggingFromTheMenuOntoAnEntryAndReleasingChooses) {
    frame->mouseDown({244, 163}, kLButton);
    CPoint target = centreOf(20);
    frame->mouseMoved(target, kLButton);
    EXPECT_EQ(menu->getPopup()->getHighlight(), 20);
    frame->mouseUp(target, 0);
    EXPECT_EQ(menu->getCurrent(), 20);
    EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(OptionMenuTest, ArrowKeysMoveTheHighlightAndReturnChooses) {
    click({244, 163});
    for (int32_t virt : {kVKeyDown, kVKeyDown, kVKeyRight, kVKeyUp})
        EXPECT_TRUE(frame->keyDown({0, virt, 0}));
    EXPECT_EQ(menu->getPopup()->getHighlight(), 5 + 2 + 16 - 1);
    frame->keyDown({0, kVKeyReturn, 0});
    EXPECT_EQ(menu->getCurrent(), 22);
}

TEST_F(OptionMenuTest, EntriesAreRenamedAndTheCurrentEntryStaysInRange) {
    EXPECT_TRUE(menu->setEntry(5, "Renamed\x01"));
    EXPECT_EQ(menu->getEntry(5), "Renamed");
    EXPECT_FALSE(menu->setEntry(61, "x"));
    EXPECT_EQ(menu->getEntry(-1), "");
    menu->setValue(1000.0f);
    EXPECT_EQ(menu->getCurrent(), 60);
    EXPECT_FALSE(menu->setCurrent(61));
    click({244, 163});
    frame->removeView(menu);
    EXPECT_EQ(frame->getModalView(), nullptr) << "a removed menu takes its popup along";
}

TEST(OptionMenu, ColumnsTooHighForTheFrameContinueInTheNextColumn) {
    CFrame frame({0, 0, 875, 100}, nullptr, nullptr);
    auto* menu = new COptionMenu({239, 88, 250, 98}, nullptr, 83);
    menu->setFont(fake::kSmallFont);
    for (int i = 0; i < 61; ++i) menu->addEntry("Program " + std::to_string(i));
    menu->setNbEntriesPerColumn(16);
    frame.addView(menu);
    ASSERT_TRUE(menu->openPopup());
    COptionMenuPopup* popup = menu->getPopup();
    CRect inside = frame.getViewSize();
    for (int32_t i = 0; i < 61; ++i) {
        CRect r = popup->entryRect(i);
        EXPECT_EQ(CRect(r).bound(inside), r) << "entry " << i << " lies inside the frame";
    }
    EXPECT_EQ(popup->entryRect(11).left, popup->entryRect(0).left) << "8-pixel rows: 12 fit";
    EXPECT_GT(popup->entryRect(12).left, popup->entryRect(0).left);
}

TEST(OptionMenu, AChosenRowHeightFitsSixteenRowsOfTenPixelsIntoThePanel) {
    CFrame frame(panelRect(), nullptr, nullptr);
    auto* menu = new COptionMenu({239, 158, 250, 168}, nullptr, 83);
    menu->setFont(fake::kSmallFont);
    for (int i = 0; i < 61; ++i) menu->addEntry("Program " + std::to_string(i));
    menu->setNbEntriesPerColumn(16);
    menu->setRowHeight(10);
    frame.addView(menu);
    ASSERT_TRUE(menu->openPopup());
    COptionMenuPopup* popup = menu->getPopup();
    EXPECT_EQ(popup->entryRect(0).height(), 10);
    EXPECT_EQ(popup->entryRect(15).left, popup->entryRect(0).left);
    EXPECT_EQ(popup->entryRect(16).top, popup->entryRect(0).top);
    EXPECT_EQ(CRect(popup->getViewSize()).bound(frame.getViewSize()), popup->getViewSize());
}

} // namespace
