// SPDX-License-Identifier: GPL-3.0-or-later
// The idle update: the numeric display (which value, its digits, sign, point, separator
// and note values), blinking, the level bars' fall, and the about picture that stops it.
#include "EditorFixture.h"

#include "engine/TempoSync.h"
#include "toolkit/CMovieBitmap.h"

#include <cmath>

using namespace VSTGUI;

namespace {

// The display as text: digit frames as characters (' ' blank, '0'..'9', '-' and '+' for
// the signs), '.' after a position with its decimal point, ':' with its separator mark.
std::string displayText(Editor& editor) {
    std::string text;
    for (int k = 0; k < 4; ++k) {
        auto* digit = dynamic_cast<CMovieBitmap*>(editor.getControl(Editor::kFirstDigitTag + k));
        const int f = digit->getFrameIndex();
        text += f == 0 ? ' ' : f <= 10 ? char('0' + f - 1) : f == 11 ? '-' : '+';
        if (k == 3) break;
        auto lit = [&](int tag) {
            return dynamic_cast<CMovieBitmap*>(editor.getControl(tag))->getFrameIndex() == 1;
        };
        if (lit(Editor::kFirstPointTag + k)) text += '.';
        if (lit(Editor::kFirstMarkTag + k)) text += ':';
    }
    return text;
}

} // namespace

TEST_F(EditorFixture, DisplayShowsTheValueUnderThePointerOrBeingDragged) {
    drell->setParameter(kMainIn, std::sqrt(0.125f)); // gain 0.5
    drell->setParameter(kDlyLMode, 0.0f);
    drell->setParameter(kDlyLRange, 1.0f); // 5000 ms
    drell->setParameter(kDlyLTime, 0.2469f);
    drell->setParameter(kFltCutoff, 1.0f);
    drell->setParameter(kMainMix, 0.3f);
    drell->setTempo(temposync::normOfTempo(120.0f));
    open();
    struct Row {
        const char* what;
        CPoint where;
        const char* text;
    };
    const Row rows[] = {
        {"input gain over its knob", centre(kMainIn), "-6.02"},
        {"left delay time over its area", {100, 30}, "1235"},
        {"cutoff", centre(kFltCutoff), "16.00"},
        {"a split of two percentages", centre(kMainMix), "70:30"},
        {"tempo over an empty part", {20, 150}, "120.0"},
        {"tempo with the pointer outside", {-1, -1}, "120.0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.where.x < 0)
            frame().mouseExited();
        else
            hover(row.where);
        editor->idle();
        EXPECT_EQ(displayText(*editor), row.text);
    }
    // A dragged knob stays on the display wherever the pointer goes.
    press(centre(kMainIn));
    move({20, 150});
    editor->idle();
    EXPECT_EQ(displayText(*editor).substr(0, 1), "-");
    release({20, 150});
    editor->idle();
    EXPECT_EQ(displayText(*editor), "120.0");
}

TEST_F(EditorFixture, NoteValuesShowAndBlinkJustOverAQuarterSecondOutOfRange) {
    drell->setParameter(kDlyLMode, 1.0f);
    drell->setParameter(kDlyLNum, 0.9f);  // the longest numerator
    drell->setParameter(kDlyLDen, 0.02f); // the first denominator
    drell->setTempo(0.0f);                // 30 bpm: far beyond 5000 ms
    ASSERT_TRUE(drell->isSyncOutOfRange(1));
    clock.ms = 1000;
    open();
    hover({100, 30});
    idleAt(1000);
    const std::string shown = displayText(*editor);
    EXPECT_EQ(shown.find(':'), 2u) << shown << ": separator after position 2";
    // Toggles only once more than 250 ms have passed since the last toggle.
    struct Tick {
        std::uint32_t ms;
        bool visible;
    };
    const Tick ticks[] = {{1200, true},  {1250, true}, {1251, false}, {1400, false},
                          {1501, false}, {1502, true}, {2000, false}};
    for (const Tick& t : ticks) {
        idleAt(t.ms);
        EXPECT_EQ(displayText(*editor) != "    ", t.visible) << t.ms << " ms";
    }
    // Back in range: shown steadily.
    drell->setTempo(1.0f);
    drell->setParameter(kDlyLNum, 0.1f);
    ASSERT_FALSE(drell->isSyncOutOfRange(1));
    for (std::uint32_t ms : {2300u, 2600u, 2900u}) {
        idleAt(ms);
        EXPECT_NE(displayText(*editor), "    ") << ms;
    }
}

TEST_F(EditorFixture, LevelBarsJumpUpAndFallWithinHalfASecond) {
    host.outputLatency = 1;             // the meter lags the input by one sample
    drell->setParameter(kMainIn, 0.5f); // unity input gain
    resumeAt(*drell, 44100.0f);
    open();
    idleAt(1000);
    auto& left = dynamic_cast<CMovieBitmap&>(control(Editor::kLevelLeftTag));
    auto& right = dynamic_cast<CMovieBitmap&>(control(Editor::kLevelRightTag));
    std::vector<float> loud(256, 1.0f), quiet(256, 0.0f), out(256);
    std::vector<float> half(256, std::pow(10.0f, -12.0f / 20.0f)); // -12 dB
    run(*drell, loud.data(), half.data(), 256, out.data(), out.data());
    idleAt(1010);
    EXPECT_FLOAT_EQ(left.getValue(), 1.0f);
    EXPECT_NEAR(right.getValue(), 0.5f, 1e-4f);
    struct Tick {
        std::uint32_t ms;
        float left;
    };
    // The input stops: the bar falls by full scale per 500 ms, however often idle runs.
    const Tick ticks[] = {{1060, 0.9f}, {1061, 0.898f}, {1260, 0.5f}, {1510, 0.0f}, {3000, 0.0f}};
    for (const Tick& t : ticks) {
        run(*drell, quiet.data(), quiet.data(), 256, out.data(), out.data());
        idleAt(t.ms);
        EXPECT_NEAR(left.getValue(), t.left, 1e-4f) << t.ms << " ms";
    }
    EXPECT_EQ(right.getFrameIndex(), 0);
}

TEST_F(EditorFixture, AboutPictureStopsTheIdleUpdateUntilItCloses) {
    drell->setTempo(temposync::normOfTempo(120.0f));
    open();
    hover({20, 150});
    editor->idle();
    ASSERT_EQ(displayText(*editor), "120.0");
    click(Editor::kAboutTag);
    ASSERT_NE(frame().getModalView(), nullptr);
    EXPECT_EQ(control(Editor::kAboutTag).getValue(), 1.0f);
    drell->setTempo(temposync::normOfTempo(90.0f));
    hover({20, 150});
    editor->idle();
    EXPECT_EQ(displayText(*editor), "120.0") << "not updated under the picture";
    click(Editor::kAboutTag); // a click on the picture closes it
    EXPECT_EQ(frame().getModalView(), nullptr);
    editor->idle();
    EXPECT_EQ(displayText(*editor), "90.00");
}
