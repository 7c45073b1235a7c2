// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitTestSupport.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

#include <gtest/gtest.h>

using namespace toolkit_test;

namespace {

// A view that fills itself with one colour and records what reaches it.
struct ProbeView : CView {
    uint32_t colour;
    int draws = 0;
    MouseResult answer = MouseResult::tracking;
    std::vector<std::string> log;
    bool* deleted = nullptr;

    ProbeView(const CRect& r, uint32_t colour) : CView(r), colour(colour) {}
    ~ProbeView() override {
        if (deleted) *deleted = true;
    }
    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), 255});
        context->fillRect(size);
    }
    static std::string at(const char* what, const CPoint& p, int32_t buttons) {
        return std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y) + " " +
               std::to_string(buttons);
    }
    MouseResult onMouseDown(CDrawContext*, const CPoint& p, int32_t b) override {
        log.push_back(at("down", p, b));
        return answer;
    }
    MouseResult onMouseMoved(CDrawContext*, const CPoint& p, int32_t b) override {
        log.push_back(at("moved", p, b));
        return MouseResult::tracking;
    }
    MouseResult onMouseUp(CDrawContext*, const CPoint& p, int32_t b) override {
        log.push_back(at("up", p, b));
        return MouseResult::handled;
    }
    void onMouseCancel() override { log.push_back("cancel"); }
    bool onWheel(CDrawContext*, const CPoint&, float distance, int32_t) override {
        log.push_back("wheel " + std::to_string(int(distance)));
        return true;
    }
    bool onKeyDown(const KeyCode& key) override {
        log.push_back("key " + std::to_string(key.character));
        return key.character == 'x';
    }
};

struct FrameTest : testing::Test {
    RecordingOwner owner;
    CFrame* frame = new CFrame(panelRect(), nullptr, &owner);
    ~FrameTest() override { delete frame; }
    ProbeView* add(const CRect& r, uint32_t colour) {
        auto* v = new ProbeView(r, colour);
        frame->addView(v);
        return v;
    }
};

TEST_F(FrameTest, LaterViewsLieAboveEarlierOnesAndAreFoundFirst) {
    ProbeView* lower = add({10, 10, 50, 50}, 0x112233);
    ProbeView* upper = add({30, 30, 70, 70}, 0x445566);
    frame->idle();
    EXPECT_EQ(frame->getView(0), lower);
    EXPECT_EQ(frame->getView(1), upper);
    EXPECT_EQ(pixelAt(*frame, 20, 20), 0x112233u);
    EXPECT_EQ(pixelAt(*frame, 40, 40), 0x445566u) << "the later view is drawn on top";
    EXPECT_EQ(frame->getViewAt({40, 40}), upper);
    EXPECT_EQ(frame->getViewAt({20, 20}), lower);
    EXPECT_EQ(frame->getViewAt({80, 80}), nullptr);
}

TEST_F(FrameTest, IdleRedrawsOnlyDirtyViewsAndWhatOverlapsThem) {
    ProbeView* a = add({0, 0, 10, 10}, 0x010101);
    ProbeView* b = add({5, 5, 15, 15}, 0x020202);
    ProbeView* far = add({100, 100, 110, 110}, 0x030303);
    frame->setBackground(nullptr);
    frame->idle();
    EXPECT_EQ(a->draws + b->draws + far->draws, 3) << "the first pass draws everything";
    frame->idle();
    EXPECT_EQ(a->draws + b->draws + far->draws, 3) << "nothing dirty, nothing drawn";
    a->setDirty();
    frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 2) << "overlaps the dirty view, so it is drawn again above it";
    EXPECT_EQ(far->draws, 1);
    EXPECT_EQ(pixelAt(*frame, 7, 7), 0x020202u) << "order kept in a partial redraw";
}

TEST_F(FrameTest, ControlIsRedrawnWhenItsValueChangedWithoutBeingMarked) {
    struct Counting : CControl {
        int draws = 0;
        using CControl::CControl;
        void draw(CDrawContext*) override { ++draws; }
    };
    auto* control = new Counting({0, 0, 10, 10});
    frame->addView(control);
    frame->idle();
    frame->idle();
    EXPECT_EQ(control->draws, 1);
    control->setValue(0.25f);
    EXPECT_TRUE(control->isDirty());
    frame->idle();
    EXPECT_EQ(control->draws, 2);
    EXPECT_FALSE(control->isDirty());
    control->setValue(0.25f);
    frame->idle();
    EXPECT_EQ(control->draws, 2) << "the same value again is not a change";
}

TEST_F(FrameTest, PressGoesToTheTopMostEnabledViewThatTakesIt) {
    ProbeView* lower = add({0, 0, 50, 50}, 1);
    ProbeView* passing = add({0, 0, 50, 50}, 2);
    ProbeView* disabled = add({0, 0, 50, 50}, 3);
    passing->answer = MouseResult::notHandled;
    disabled->setMouseEnabled(false);
    frame->mouseDown({5, 6}, kLButton | kShift);
    EXPECT_TRUE(disabled->log.empty());
    EXPECT_EQ(passing->log, std::vector<std::string>{"down 5,6 9"});
    EXPECT_EQ(lower->log, std::vector<std::string>{"down 5,6 9"});
    EXPECT_EQ(frame->getMouseTrackingView(), lower);
}

TEST_F(FrameTest, TrackingViewGetsMotionOtherButtonsAndTheReleaseEvenOutside) {
    ProbeView* v = add({0, 0, 50, 50}, 1);
    ProbeView* other = add({60, 0, 100, 50}, 2);
    frame->mouseDown({5, 5}, kLButton);
    frame->mouseMoved({70, 10}, kLButton);
    frame->mouseDown({71, 10}, kLButton | kRButton);
    frame->mouseUp({72, 10}, kLButton);
    frame->mouseMoved({-20, 300}, kLButton);
    frame->mouseUp({-20, 300}, 0);
    frame->mouseMoved({10, 10}, 0);
    EXPECT_EQ(v->log,
              (std::vector<std::string>{"down 5,5 1", "moved 70,10 1", "moved 71,10 5",
                                        "moved 72,10 1", "moved -20,300 1", "up -20,300 0"}));
    EXPECT_TRUE(other->log.empty());
    EXPECT_EQ(frame->getMouseTrackingView(), nullptr);
}

TEST_F(FrameTest, RemovingOrClosingDuringAPressCancelsTheTracking) {
    ProbeView* v = add({0, 0, 50, 50}, 1);
    v->remember();
    frame->mouseDown({5, 5}, kLButton);
    frame->removeView(v);
    EXPECT_EQ(v->log.back(), "cancel");
    frame->mouseUp({5, 5}, 0);
    EXPECT_EQ(v->log.back(), "cancel") << "the release finds nobody";
    v->forget();

    // A control in the middle of a gesture when the frame closes ends it with the host.
    struct Dragged : CControl {
        using CControl::CControl;
        MouseResult onMouseDown(CDrawContext*, const CPoint&, int32_t) override {
            beginEdit();
            return MouseResult::tracking;
        }
    };
    frame->addView(new Dragged({0, 0, 10, 10}, nullptr, 7));
    frame->mouseDown({1, 1}, kLButton);
    delete frame;
    frame = nullptr;
    EXPECT_EQ(owner.edits, (std::vector<std::string>{"b7", "e7"}));
}

TEST_F(FrameTest, ModalViewTakesEveryEventUntilClearedAndThenIsReleased) {
    ProbeView* below = add({0, 0, 875, 171}, 1);
    bool deleted = false;
    auto* modal = new ProbeView({100, 50, 200, 100}, 2);
    modal->deleted = &deleted;
    modal->answer = MouseResult::handled;
    EXPECT_TRUE(frame->setModalView(modal));
    auto* refused = new ProbeView({0, 0, 1, 1}, 3);
    EXPECT_FALSE(frame->setModalView(refused)) << "one modal view at a time";
    EXPECT_FALSE(frame->isChild(refused));
    refused->forget(); // a refused view stays the caller's
    EXPECT_EQ(frame->getModalView(), modal);
    frame->mouseDown({10, 10}, kLButton);
    frame->mouseMoved({120, 60}, 0);
    frame->mouseUp({10, 10}, 0);
    frame->mouseWheel({10, 10}, 1.0f, 0);
    EXPECT_TRUE(frame->keyDown({'x', 0, 0}));
    EXPECT_TRUE(below->log.empty());
    EXPECT_EQ(modal->log, (std::vector<std::string>{"down 10,10 1", "moved 120,60 0", "up 10,10 0",
                                                    "wheel 1", "key 120"}));
    EXPECT_EQ(frame->getViewAt({150, 75}), modal);
    frame->setModalView(nullptr);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(frame->isChild(modal));
    frame->mouseDown({10, 10}, kLButton);
    EXPECT_EQ(below->log.size(), 1u);
}

TEST_F(FrameTest, WheelGoesToTheFocusViewElseToTheViewUnderThePointer) {
    ProbeView* a = add({0, 0, 10, 10}, 1);
    ProbeView* b = add({20, 0, 30, 10}, 2);
    frame->mouseWheel({25, 5}, -1.0f, 0);
    EXPECT_EQ(b->log, std::vector<std::string>{"wheel -1"});
    frame->setFocusView(a);
    frame->mouseWheel({25, 5}, 1.0f, 0);
    EXPECT_EQ(a->log, std::vector<std::string>{"wheel 1"});
    frame->mouseWheel({500, 100}, 1.0f, 0);
    EXPECT_EQ(a->log.size(), 2u);
}

TEST_F(FrameTest, KeysGoToTheFocusViewAndUnusedKeysAreReported) {
    ProbeView* a = add({0, 0, 10, 10}, 1);
    EXPECT_FALSE(frame->keyDown({'x', 0, 0})) << "no focus view: the host may use the key";
    frame->setFocusView(a);
    EXPECT_TRUE(frame->keyDown({'x', 0, 0}));
    EXPECT_FALSE(frame->keyDown({'y', 0, 0}));
    frame->mouseDown({100, 100}, kLButton);
    EXPECT_EQ(frame->getFocusView(), nullptr) << "a click elsewhere takes the focus away";
}

TEST_F(FrameTest, MousePositionFollowsEventsAndIsOutsideAfterThePointerLeft) {
    CPoint where;
    frame->mouseMoved({12, 34}, kShift);
    frame->getCurrentMouseLocation(where);
    EXPECT_EQ(where, CPoint(12, 34));
    EXPECT_EQ(frame->getCurrentMouseButtons(), kShift);
    EXPECT_EQ(frame->getDrawContext()->getMouseButtons(), kShift);
    frame->mouseExited();
    frame->getCurrentMouseLocation(where);
    EXPECT_EQ(where, CPoint(-1, -1));
}

TEST_F(FrameTest, ClosingReleasesEveryViewAndTheBackground) {
    bool viewDeleted = false;
    ProbeView* v = add({0, 0, 10, 10}, 1);
    v->deleted = &viewDeleted;
    auto* background = new CBitmap(fake::kBackground);
    frame->setBackground(background);
    EXPECT_EQ(background->getNbReference(), 2);
    background->remember();
    delete frame;
    frame = nullptr;
    EXPECT_TRUE(viewDeleted);
    EXPECT_EQ(background->getNbReference(), 2);
    background->forget();
    background->forget();
}

TEST(Frame, AtScaleTwoDrawsTwiceAsLargeFromTheLargeArtWithTheSameCoordinates) {
    CFrame frame(panelRect(), nullptr, nullptr, 2);
    auto* background = new CBitmap(fake::kBackground);
    frame.setBackground(background);
    background->forget();
    frame.idle();
    EXPECT_EQ(frame.getFramebuffer().width(), 1750);
    EXPECT_EQ(frame.getFramebuffer().height(), 342);
    EXPECT_EQ(frame.getFramebuffer().pixel(601, 203), rgb(fake::patternPixel(601, 203, 2)));
    EXPECT_EQ(frame.getViewSize(), panelRect());
}

} // namespace
