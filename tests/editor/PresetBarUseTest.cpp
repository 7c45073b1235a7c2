// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar as a musician meets it, at both scales, in an open editor (no parent
// window): a hint for every control that fits the hint line, the learn and clear texts, the
// wheel and arrow keys over and beside the program controls, and a name selection that
// stands out.
#include "PresetBarFixture.h"
#include "editor/ControlHints.h"
#include "editor/HintLine.h"
#include "toolkit/FontCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>

using namespace VSTGUI;

namespace {

const CPoint kNameField = at(panel::kProgramNameTag), kMenu = at(panel::kProgramMenuTag);
const CPoint kRockerRight = rockerHalf(+1), kLoadBank = at(panel::kLoadBankTag);
const CPoint kStore = at(panel::kStoreMidiTag), kLearn = at(panel::kLearnTag);
const CPoint kClear = at(panel::kClearTag), kLogo = at(panel::kAboutTag);

class PresetBarUse : public PresetBarFixture, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override { openAt(GetParam()); }

    HintLine& hintLine() { return *dynamic_cast<HintLine*>(control(panel::kHintLineTag)); }
    std::string hintAt(const CPoint& where) {
        pointAt(where);
        return hintLine().getText();
    }
    // A click and the idle after it.
    void clickAndIdle(const CPoint& where) {
        click(where);
        editor->idle();
    }
    void wheel(const CPoint& where, float distance) {
        frame().mouseMoved(where, 0);
        frame().mouseWheel(where, distance, 0);
    }
    int32_t current() { return drell->getCurrentProgramIndex(); }
    int32_t textWidth(std::string_view text) {
        const FontData* font = fonts.get(kNormalFontVerySmall, GetParam());
        return font != nullptr ? FontCache::textWidth(*font, text) : 1 << 20;
    }

    FontCache fonts;
};

} // namespace

// Every control the pointer can rest on names what it does, in a line that shows whole.
TEST_P(PresetBarUse, EveryControlHasAHintThatFitsTheLine) {
    const int32_t room = (panel::rectOf(panel::kHintLineTag).width() - 4) * GetParam();
    std::set<std::string> seen;
    int32_t controls = 0;
    for (int32_t i = 0; i < frame().getNbViews(); ++i) {
        auto* control = dynamic_cast<CControl*>(frame().getView(i));
        if (control == nullptr || control == &hintLine()) continue;
        ++controls;
        const std::string_view hint = hints::forControl(control->getTag());
        EXPECT_FALSE(hint.empty()) << "no hint for tag " << control->getTag();
        EXPECT_LE(textWidth(hint), room) << hint;
        seen.insert(std::string(hint));
        if (control->getMouseEnabled() && !control->getViewSize().isEmpty()) {
            const CRect r = control->getViewSize();
            const CPoint centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            if (frame().getViewAt(centre) == control) {
                EXPECT_EQ(hintAt(centre), hint);
            }
        }
    }
    EXPECT_GE(controls, 70);
    EXPECT_GE(seen.size(), 60u) << "hints should tell the controls apart";
    for (std::string_view text : {hints::kLearnStart, hints::kClear})
        EXPECT_LE(textWidth(text), room) << text;
    for (int32_t i = 0; i < kNumParams; ++i) {
        char name[64] = {};
        drell->getParameterName(i, name);
        EXPECT_LE(textWidth(hints::learnText(name)), room) << name;
    }
    EXPECT_TRUE(hints::forControl(48).empty());
    EXPECT_TRUE(hints::forControl(-1).empty());
}

TEST_P(PresetBarUse, LineSaysWhatTheModeExpectsAndIsEmptyElsewhere) {
    EXPECT_EQ(hintAt(kLoadBank), "Load a bank file");
    EXPECT_EQ(hintAt(kStore), "Store the MIDI map for new instances");
    EXPECT_EQ(hintAt(kEmptyPanel), "") << "the panel's own text shows";
    frame().mouseExited();
    editor->idle();
    EXPECT_EQ(hintLine().getText(), "");

    clickAndIdle(kLearn);
    EXPECT_EQ(hintAt(kEmptyPanel), "Learn: click a control, then move a controller");
    drell->setParameterAutomated(kDlyLFb, 0.3f); // the control the user moves
    EXPECT_EQ(hintAt(kLoadBank), "Learn: move a controller for DlyL Fb");
    clickAndIdle(kLearn);
    EXPECT_EQ(hintAt(kEmptyPanel), "");
    clickAndIdle(kClear);
    EXPECT_EQ(hintAt(kLoadBank), hints::kClear);
    clickAndIdle(kClear);

    hintAt(kLoadBank);
    clickAndIdle(kLogo); // the about picture covers the bar: the line keeps still
    EXPECT_EQ(hintAt(kStore), "Load a bank file");
}

TEST_P(PresetBarUse, LineDrawsItsHintOverThePrintedText) {
    const CRect r = hintLine().getViewSize();
    const Framebuffer& pixels = frame().getFramebuffer();
    const int32_t s = GetParam();
    auto area = [&] {
        std::vector<uint32_t> copy;
        for (int32_t y = r.top * s; y < r.bottom * s; ++y)
            for (int32_t x = r.left * s; x < r.right * s; ++x) copy.push_back(pixels.pixel(x, y));
        return copy;
    };
    // The line follows the pointer in one idle and is drawn in the next.
    hintAt(kEmptyPanel);
    editor->idle();
    const auto printed = area();
    hintAt(kLoadBank);
    editor->idle();
    EXPECT_NE(area(), printed);
    hintAt(kEmptyPanel);
    editor->idle();
    EXPECT_EQ(area(), printed) << "the printed text comes back whole";
}

TEST_P(PresetBarUse, WheelOverTheProgramControlsStepsPrograms) {
    drell->selectProgram(10);
    editor->idle();
    for (const CPoint& over : {kNameField, kMenu, kRockerRight}) {
        wheel(over, 1.0f);
        EXPECT_EQ(current(), 11);
        wheel(over, -1.0f);
        EXPECT_EQ(current(), 10);
    }
    EXPECT_EQ(nameField().getText(), std::string(drell->getProgramAt(10)->name()));
    drell->selectProgram(60);
    wheel(kNameField, 1.0f);
    EXPECT_EQ(current(), 60) << "stops at the last program";
    drell->selectProgram(0);
    wheel(kMenu, -2.0f);
    EXPECT_EQ(current(), 0) << "stops at the first program";
    wheel(kLoadBank, 1.0f);
    wheel(kEmptyPanel, 1.0f);
    EXPECT_EQ(current(), 0) << "elsewhere the wheel leaves the program alone";

    clickAndIdle(kNameField); // editing the name: the wheel no longer steps
    wheel(kNameField, 1.0f);
    EXPECT_EQ(current(), 0);
}

TEST_P(PresetBarUse, ArrowKeysStepProgramsUnlessTheNameIsBeingEdited) {
    drell->selectProgram(20);
    EXPECT_EQ(key(0, kVKeyRight), 1);
    EXPECT_EQ(key(0, kVKeyUp), 1);
    EXPECT_EQ(current(), 22);
    EXPECT_EQ(key(0, kVKeyLeft), 1);
    EXPECT_EQ(key(0, kVKeyDown), 1);
    EXPECT_EQ(current(), 20);
    editor->idle();
    EXPECT_EQ(nameField().getText(), std::string(drell->getProgramAt(20)->name()));
    EXPECT_EQ(key(0, kVKeyRight, MODIFIER_SHIFT), 0) << "keys with modifiers stay the host's";
    EXPECT_EQ(key(0, kVKeyHome), 0);
    EXPECT_EQ(current(), 20);

    clickAndIdle(kNameField); // the arrows move the text cursor now
    EXPECT_EQ(key(0, kVKeyRight), 1);
    EXPECT_EQ(current(), 20);
    EXPECT_EQ(key(0, kVKeyReturn), 1);
    EXPECT_EQ(key(0, kVKeyLeft), 1);
    EXPECT_EQ(current(), 19) << "after Return the arrows step again";
}

namespace {

double luminance(uint32_t pixel) {
    auto channel = [](uint32_t c) {
        const double v = double(c & 255) / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(pixel >> 16) + 0.7152 * channel(pixel >> 8) + 0.0722 * channel(pixel);
}

double contrast(uint32_t a, uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// The first click on the name selects it whole: the selection's colour must be plain to see
// against the field, and the name must stay readable on it.
TEST_P(PresetBarUse, NameSelectionStandsOutAndStaysReadable) {
    drell->renameCurrentProgram("Wide Echo");
    editor->idle();
    clickAndIdle(kNameField);
    editor->idle();
    const CRect r = nameField().getViewSize();
    const int32_t s = GetParam();
    const Framebuffer& pixels = frame().getFramebuffer();
    std::map<uint32_t, int> counts;
    for (int32_t y = r.top * s + 1; y < r.bottom * s - 1; ++y)
        for (int32_t x = r.left * s + 1; x < r.right * s - 1; ++x)
            ++counts[pixels.pixel(x, y) & 0xFFFFFFu];
    const uint32_t field = 0xD7D6CC, ink = 0x4C4C48;
    uint32_t selection = field;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (colour != field && colour != ink && count > most) most = count, selection = colour;
    ASSERT_NE(selection, field);
    EXPECT_GE(most, 40 * s * s) << "the selection covers the name";
    int difference = 0;
    for (int shift : {0, 8, 16})
        difference = std::max(
            difference, std::abs(int((selection >> shift) & 255) - int((field >> shift) & 255)));
    EXPECT_GE(difference, 60) << std::hex << selection << " is too close to the field";
    EXPECT_GE(contrast(selection, ink), 3.0) << "the name on the selection";
}

INSTANTIATE_TEST_SUITE_P(Scales, PresetBarUse, ::testing::Values(1, 2));
