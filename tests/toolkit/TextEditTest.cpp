// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitTestSupport.h"
#include "toolkit/CTextEdit.h"

#include <gtest/gtest.h>

using namespace toolkit_test;

namespace {

KeyCode ch(char c) {
    return {c, 0, 0};
}
KeyCode vk(int32_t virt, int32_t modifiers = 0) {
    return {0, virt, modifiers};
}

struct TextEditTest : testing::Test {
    RecordingOwner owner;
    RecordingListener listener;
    std::unique_ptr<CFrame> frame = std::make_unique<CFrame>(panelRect(), nullptr, &owner);
    CTextEdit* field = new CTextEdit({127, 158, 238, 168}, &listener, 71, "Init");

    TextEditTest() {
        field->setFont(fake::kSmallFont);
        frame->addView(field);
    }
    void click(const CPoint& p) {
        frame->mouseDown(p, kLButton);
        frame->mouseUp(p, 0);
    }
    void type(std::initializer_list<KeyCode> keys) {
        for (const KeyCode& k : keys) EXPECT_TRUE(frame->keyDown(k));
    }
};

TEST_F(TextEditTest, FirstClickTakesTheFocusAndSelectsEverything) {
    EXPECT_FALSE(frame->keyDown(ch('a'))) << "keys are not the field's before a click";
    click({130, 160});
    EXPECT_EQ(frame->getFocusView(), field);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->getSelectionStart(), 0u);
    EXPECT_EQ(field->getSelectionEnd(), 4u);
    type({ch('Z')});
    EXPECT_EQ(field->getEditText(), "Z") << "typing replaces the selection";
}

TEST_F(TextEditTest, EditingKeysWorkOnTheCaretAndTheSelection) {
    struct Case {
        const char* name;
        std::vector<KeyCode> keys;
        const char* text;
        size_t caret;
    };
    const Case cases[] = {
        {"end then backspace", {vk(kVKeyEnd), vk(kVKeyBack)}, "Ini", 3},
        {"home then delete", {vk(kVKeyHome), vk(kVKeyDelete)}, "nit", 0},
        {"left collapses the selection", {vk(kVKeyLeft), ch('>')}, ">Init", 1},
        {"right collapses to the end", {vk(kVKeyRight), ch('!')}, "Init!", 5},
        {"arrows move one place",
         {vk(kVKeyEnd), vk(kVKeyLeft), vk(kVKeyLeft), ch('-')},
         "In-it",
         3},
        {"shift selects",
         {vk(kVKeyHome), vk(kVKeyRight, kShift), vk(kVKeyRight, kShift), vk(kVKeyBack)},
         "it",
         0},
        {"backspace at the start does nothing", {vk(kVKeyHome), vk(kVKeyBack)}, "Init", 0},
        {"delete at the end does nothing", {vk(kVKeyEnd), vk(kVKeyDelete)}, "Init", 4},
        {"control A selects all", {vk(kVKeyEnd), {'a', 0, kControl}, ch('x')}, "x", 1},
        {"space key types a space", {vk(kVKeyEnd), vk(kVKeySpace)}, "Init ", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        click({130, 160});
        for (const KeyCode& k : c.keys) frame->keyDown(k);
        EXPECT_EQ(field->getEditText(), c.text);
        EXPECT_EQ(field->getCaret(), c.caret);
        frame->keyDown(vk(kVKeyEscape));
        EXPECT_EQ(field->getText(), "Init");
    }
}

TEST_F(TextEditTest, OnlyPrintableAsciiUpToTheMaximumLengthIsTaken) {
    field->setMaxLength(6);
    click({130, 160});
    frame->keyDown(vk(kVKeyEnd));
    for (char c : std::string("abcdef")) frame->keyDown(ch(c));
    EXPECT_EQ(field->getEditText(), "Initab");
    EXPECT_FALSE(frame->keyDown({'\t', kVKeyTab, 0})) << "Tab is left to the host";
    frame->keyDown(vk(kVKeyBack));
    frame->keyDown(ch(char(0xE9)));
    frame->keyDown(ch('\x07'));
    frame->keyDown({'q', 0, kControl});
    EXPECT_EQ(field->getEditText(), "Inita");
    field->setText("a\nb\xff"
                   "cdefghij");
    EXPECT_EQ(field->getText(), "abcdef") << "set text is cleaned and cut too";
}

TEST_F(TextEditTest, ReturnAcceptsAndNotifiesEscapeRestoresAndAClickElsewhereAccepts) {
    click({130, 160});
    type({ch('A'), ch('b'), vk(kVKeyReturn)});
    EXPECT_EQ(field->getText(), "Ab");
    EXPECT_EQ(frame->getFocusView(), nullptr);
    ASSERT_EQ(listener.calls.size(), 1u);
    EXPECT_EQ(listener.calls[0].tag, 71);
    EXPECT_EQ(owner.edits, (std::vector<std::string>{"b71", "e71"}));

    click({130, 160});
    type({ch('Q'), vk(kVKeyEscape)});
    EXPECT_EQ(field->getText(), "Ab");
    EXPECT_EQ(listener.calls.size(), 1u) << "a cancelled edit tells nobody";

    click({130, 160});
    type({ch('C')});
    click({500, 50});
    EXPECT_EQ(field->getText(), "C");
    EXPECT_EQ(listener.calls.size(), 2u);

    click({130, 160});
    frame->keyDown(vk(kVKeyEnter));
    EXPECT_EQ(listener.calls.size(), 2u) << "accepting an unchanged text is no change";
}

TEST_F(TextEditTest, ASecondClickPlacesTheCaretAndADragSelects) {
    field->setHoriAlign(kLeftText);
    click({130, 160}); // focus; the text starts 2 pixels in, 4 pixels a character
    frame->mouseDown({134, 160}, kLButton);
    EXPECT_EQ(field->getCaret(), 1u);
    frame->mouseMoved({146, 160}, kLButton);
    frame->mouseUp({146, 160}, 0);
    EXPECT_EQ(field->getSelectionStart(), 1u);
    EXPECT_EQ(field->getSelectionEnd(), 4u);
    frame->idle(); // drawing while editing, with a selection
    frame->mouseDown({300, 160}, kLButton);
    EXPECT_FALSE(field->hasFocus());
}

TEST_F(TextEditTest, ClosingTheFrameWhileEditingNotifiesNobody) {
    click({130, 160});
    type({ch('X')});
    frame.reset();
    EXPECT_TRUE(listener.calls.empty());
}

} // namespace
