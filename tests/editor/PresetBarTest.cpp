// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar in an open editor (no parent window): programs through the rocker, the
// menu and the name field, learn and clear mode, the controller display, hover frames and
// the file buttons against scripted dialogs.
#include "PresetBarFixture.h"
#include "editor/PresetBarFrames.h"
#include "platform/SettingsKeys.h"
#include "presets/PresetFileCommands.h"
#include "support/MidiEvents.h"
#include "support/TempFolder.h"
#include "toolkit/CParamDisplay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace VSTGUI;

namespace {

using Strings = std::vector<std::string>;

const CPoint kLoadBank = at(panel::kLoadBankTag), kSaveBank = at(panel::kSaveBankTag);
const CPoint kDefaultBank = at(panel::kDefaultBankTag), kLoadPreset = at(panel::kLoadPresetTag);
const CPoint kSavePreset = at(panel::kSavePresetTag), kLoadMidi = at(panel::kLoadMidiTag);
const CPoint kSaveMidi = at(panel::kSaveMidiTag), kStore = at(panel::kStoreMidiTag);
const CPoint kLearn = at(panel::kLearnTag), kClear = at(panel::kClearTag);
const CPoint kNameField = at(panel::kProgramNameTag), kMenu = at(panel::kProgramMenuTag);
const CPoint kRockerLeft = rockerHalf(-1), kRockerRight = rockerHalf(+1);
const CPoint kDrvGainKnob = at(kDrvGain), kLogo = at(panel::kAboutTag);

class PresetBar : public PresetBarFixture {
protected:
    void SetUp() override { openAt(1); }

    void type(const std::string& text) {
        for (char c : text) key(c);
    }
    Strings allNames() {
        Strings names;
        for (int32_t i = 0; i < kNumPrograms; ++i) names.push_back(programName(i));
        return names;
    }
    std::string displayed() {
        CControl* display = control(CPresetSystemEditor::kControllerDisplayTag);
        return dynamic_cast<CParamDisplay*>(display)->valueText(display->getValue());
    }
};

TEST_F(PresetBar, RockerStepsOneProgramAndStopsAtTheFirstAndLast) {
    struct Case {
        int32_t start;
        CPoint half;
        int32_t expected;
    };
    const Case cases[] = {
        {0, kRockerLeft, 0}, {60, kRockerRight, 60}, {5, kRockerRight, 6}, {5, kRockerLeft, 4}};
    for (const Case& c : cases) {
        drell->selectProgram(c.start);
        click(c.half);
        EXPECT_EQ(drell->getCurrentProgramIndex(), c.expected) << "from " << c.start;
    }
    EXPECT_EQ(menu().getCurrent(), 4);
    EXPECT_EQ(nameField().getText(), programName(4));
    EXPECT_EQ(control(CPresetSystemEditor::kProgramRockerTag)->getValue(), 0.0f);
}

TEST_F(PresetBar, MenuChoiceAndNameFieldRenameOnlyTheCurrentProgram) {
    ASSERT_EQ(menu().getNbEntries(), kNumPrograms);
    click(kMenu);
    ASSERT_TRUE(menu().isOpen());
    CRect area = menu().getPopup()->getViewSize();
    EXPECT_TRUE(area.top >= 0 && area.bottom <= 171 && area.right <= 875) << "inside the window";
    EXPECT_EQ(menu().getPopup()->entryRect(16).top, menu().getPopup()->entryRect(0).top)
        << "16 entries per column";
    CRect entry = menu().getPopup()->entryRect(37);
    click({(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
    EXPECT_FALSE(menu().isOpen());
    EXPECT_EQ(drell->getCurrentProgramIndex(), 37);
    EXPECT_EQ(nameField().getText(), programName(37));

    Strings before = allNames();
    click(kNameField);
    type("Dub Spring");
    key(0, kVKeyReturn);
    Strings expected = before;
    expected[37] = "Dub Spring";
    EXPECT_EQ(allNames(), expected);
    EXPECT_EQ(menu().getEntry(37), "Dub Spring");

    click(kMenu);
    click({30, 100}); // closes the menu without a choice
    EXPECT_EQ(drell->getCurrentProgramIndex(), 37);
    EXPECT_EQ(allNames(), expected);
}

// The field's editing keys are the toolkit's (tests/toolkit/TextEditTest.cpp); here the
// name's length and that only an accepted edit renames the program.
TEST_F(PresetBar, NameFieldKeepsTwentyFourCharactersAndEscapeKeepsTheName) {
    click(kNameField);
    type(std::string(30, 'x'));
    key(0, kVKeyReturn);
    EXPECT_EQ(programName(0), std::string(24, 'x'));
    click(kNameField);
    key('Q');
    key(0, kVKeyEscape);
    EXPECT_EQ(programName(0), std::string(24, 'x'));
}

TEST_F(PresetBar, OpeningTheWindowSwitchesLearnAndClearOff) {
    for (bool learn : {true, false}) {
        click(learn ? kLearn : kClear);
        EXPECT_EQ(learn ? drell->isLearning() : drell->isClearing(), true);
        editor->close();
        ASSERT_TRUE(editor->open(nullptr));
        EXPECT_FALSE(drell->isLearning());
        EXPECT_FALSE(drell->isClearing());
        EXPECT_EQ(control(learn ? CPresetSystemEditor::kLearnTag : CPresetSystemEditor::kClearTag)
                      ->getValue(),
                  0.0f);
    }
}

TEST_F(PresetBar, LearnBindsTheNextControllerToTheMovedControlAndSwitchesOff) {
    click(kLearn);
    ASSERT_TRUE(drell->isLearning());
    EXPECT_EQ(control(CPresetSystemEditor::kLearnTag)->getValue(), presetbar::kOnValue);
    drell->setParameterAutomated(kDrvGain, 0.25f); // the control the user moves
    MidiEventList<> controller({{0xB3, 5, 100}});
    drell->processEvents(controller.events());
    EXPECT_EQ(drell->getControllerOfParameter(kDrvGain), 5);
    EXPECT_FALSE(drell->isLearning());
    pointAt(kEmptyPanel);
    EXPECT_EQ(control(CPresetSystemEditor::kLearnTag)->getValue(), 0.0f)
        << "the switch goes off at the next idle";
}

TEST_F(PresetBar, ClearAndLearnExcludeEachOtherAndClearUnbindsTheTouchedParameter) {
    click(kClear);
    EXPECT_TRUE(drell->isClearing());
    click(kLearn);
    pointAt(kEmptyPanel);
    EXPECT_TRUE(drell->isLearning());
    EXPECT_FALSE(drell->isClearing());
    EXPECT_EQ(control(CPresetSystemEditor::kClearTag)->getValue(), 0.0f);
    click(kClear);
    pointAt(kEmptyPanel);
    EXPECT_FALSE(drell->isLearning());
    EXPECT_EQ(control(CPresetSystemEditor::kLearnTag)->getValue(), 0.0f);
    EXPECT_EQ(control(CPresetSystemEditor::kClearTag)->getValue(), presetbar::kOnValue);

    drell->setParameterAutomated(3, 0.5f);
    EXPECT_EQ(drell->getControllerOfParameter(3), kNotAssigned);
    EXPECT_FALSE(drell->isClearing());
    pointAt(kEmptyPanel);
    EXPECT_EQ(control(CPresetSystemEditor::kClearTag)->getValue(), 0.0f);
}

TEST_F(PresetBar, DisplayShowsTheControllerOfThePointedControl) {
    pointAt(kDrvGainKnob);
    EXPECT_EQ(displayed(), "control 52");
    drell->unassignParameter(kDrvGain);
    pointAt(kDrvGainKnob);
    EXPECT_EQ(displayed(), "not assigned");
    for (CPoint nothing : {kEmptyPanel, kLoadBank}) {
        pointAt(nothing);
        EXPECT_EQ(displayed(), "");
    }
    pointAt(kDrvGainKnob);
    frame().mouseExited();
    editor->idle();
    EXPECT_EQ(displayed(), "");

    drell->assignController(kDrvGain, 1);
    pointAt(kDrvGainKnob);
    click(kLogo); // the logo: the about picture covers the panel
    pointAt(kEmptyPanel);
    EXPECT_EQ(displayed(), "modulation") << "the about picture keeps the display as it was";
}

TEST_F(PresetBar, HoverFramesFollowThePointerAndSpareSwitchedOnControls) {
    pointAt(kLoadBank);
    EXPECT_EQ(control(CPresetSystemEditor::kLoadBankTag)->getValue(), presetbar::kHoverValue);
    pointAt(kStore);
    EXPECT_EQ(control(CPresetSystemEditor::kLoadBankTag)->getValue(), 0.0f);
    EXPECT_EQ(control(CPresetSystemEditor::kStoreMidiTag)->getValue(), presetbar::kHoverValue);
    pointAt(kRockerLeft);
    EXPECT_EQ(control(CPresetSystemEditor::kProgramRockerTag)->getValue(),
              presetbar::kRockerHoverLeft);
    pointAt(kRockerRight);
    EXPECT_EQ(control(CPresetSystemEditor::kProgramRockerTag)->getValue(),
              presetbar::kRockerHoverRight);
    click(kLearn);
    pointAt(kLearn);
    EXPECT_EQ(control(CPresetSystemEditor::kLearnTag)->getValue(), presetbar::kOnValue);
    pointAt(kEmptyPanel);
    EXPECT_EQ(control(CPresetSystemEditor::kLearnTag)->getValue(), presetbar::kOnValue);
    EXPECT_EQ(control(CPresetSystemEditor::kProgramRockerTag)->getValue(), 0.0f);
    EXPECT_EQ(control(CPresetSystemEditor::kStoreMidiTag)->getValue(), 0.0f);
}

TEST_F(PresetBar, ControlClickOnTheDefaultBankButtonClearsTheDefaultBank) {
    fakes.settings.writeValues(kSettingsKeyPath, {{std::string(kDefaultBankDirValue), "/x/"},
                                                  {std::string(kDefaultBankFileValue), "b.dlb"}});
    click(kDefaultBank, kLButton | kControl);
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kDefaultBankFileValue), "");
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kDefaultBankDirValue), "");
    EXPECT_TRUE(fakes.dialogs.requests.empty());
    click(kDefaultBank);
    ASSERT_EQ(fakes.dialogs.requests.size(), 1u);
    EXPECT_EQ(fakes.dialogs.requests[0].title, "Select default bank...");
}

TEST_F(PresetBar, FileButtonsRunTheirCommandsThroughTheDialogAndTheIdle) {
    TempFolder folder;
    fakes.dialogs.pollsBeforeResult = 1;
    const std::string bank = folder / "all.dlb", preset = folder / "one.dlp",
                      midi = folder / "map.dlm";
    struct Step {
        CPoint button;
        std::string path;
        const char* title;
    };
    drell->selectProgram(3);
    drell->renameCurrentProgram("Saved Three");
    const Step saves[] = {{kSaveBank, bank, "Save bank as..."},
                          {kSavePreset, preset, "Save preset as..."},
                          {kSaveMidi, midi, "Save midi settings as..."}};
    for (const Step& s : saves) {
        fakes.choose(s.path);
        click(s.button);
        EXPECT_TRUE(editor->fileCommands().busy()) << s.title << ": the click does not wait";
        editor->idle();
        editor->idle();
        EXPECT_FALSE(editor->fileCommands().busy());
        EXPECT_EQ(fakes.dialogs.requests.back().title, s.title);
    }
    EXPECT_EQ(std::filesystem::file_size(bank), 13181u);
    EXPECT_EQ(std::filesystem::file_size(preset), 221u);
    EXPECT_EQ(std::filesystem::file_size(midi), 197u);

    drell->renameCurrentProgram("Changed");
    drell->getProgramAt(40)->setName("Changed too");
    drell->unassignParameter(kDrvGain);
    const Step loads[] = {{kLoadPreset, preset, "Select preset to load..."},
                          {kLoadMidi, midi, "Select midi settings to load..."},
                          {kLoadBank, bank, "Select bank to load..."}};
    for (const Step& s : loads) {
        fakes.choose(s.path);
        click(s.button);
        editor->idle();
        editor->idle();
        EXPECT_EQ(fakes.dialogs.requests.back().title, s.title);
    }
    EXPECT_EQ(programName(3), "Saved Three");
    EXPECT_NE(programName(40), "Changed too");
    EXPECT_EQ(drell->getControllerOfParameter(kDrvGain), 52);
    EXPECT_EQ(drell->getCurrentProgramIndex(), 0) << "a loaded bank starts at program 0";
    EXPECT_EQ(nameField().getText(), programName(0));
    EXPECT_EQ(menu().getEntry(3), "Saved Three");
    EXPECT_EQ(menu().getCurrent(), 0);
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(PresetBar, DialogOpenWhenTheWindowClosesOrTheEffectEndsIsCancelled) {
    TempFolder folder;
    const std::string bank = folder / "late.dlb";
    fakes.dialogs.pollsBeforeResult = 1000;
    fakes.choose(bank);
    click(kSaveBank);
    ASSERT_TRUE(fakes.dialogs.running());
    editor->close();
    EXPECT_FALSE(fakes.dialogs.running()) << "closing the window ends the dialog";
    EXPECT_FALSE(editor->fileCommands().busy());
    ASSERT_TRUE(editor->open(nullptr));
    editor->idle();
    EXPECT_FALSE(std::filesystem::exists(bank)) << "nothing of the dropped command is applied";

    fakes.choose(bank);
    click(kSaveBank);
    ASSERT_TRUE(fakes.dialogs.running());
    drell.reset();
    EXPECT_FALSE(fakes.dialogs.running()) << "destroying the effect ends the dialog";
    EXPECT_FALSE(std::filesystem::exists(bank));
}

TEST_F(PresetBar, ProgramNameFromTheHostsThreadAppearsAtTheNextIdle) {
    drell->selectProgram(9);
    click(kMenu);
    click(kMenu);
    std::thread hostThread([this] {
        char name[] = "From The Host";
        drell->setProgramName(name);
    });
    hostThread.join();
    editor->idle();
    EXPECT_EQ(nameField().getText(), "From The Host");
    EXPECT_EQ(menu().getEntry(menu().getCurrent()), "From The Host");
}

} // namespace
