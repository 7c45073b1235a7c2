// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands end to end: dialog requests, files written, files loaded into the bank,
// the controller map and the default bank, files refused without a change, and no command
// changing the process's current folder.
#include "presets/PresetFileCommands.h"
#include "engine/Drell.h"
#include "platform/SettingsKeys.h"
#include "presets/ProgramMenuEntries.h"
#include "support/FakeServices.h"
#include "support/FileBytes.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <map>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string programName(int i) {
    return "Program " + std::to_string(i);
}

// A value that is exact in a float and lies in [0, 1].
float programValue(int i, int j) {
    return static_cast<float>((i * 48 + j) % 97) / 96.0f;
}

// Files through the codec, whose byte layout FileFormatsTest pins.
ProgramRecord record(int i) {
    ProgramRecord r{programName(i), {}};
    for (int j = 0; j < kNumParams; ++j) r.values[j] = programValue(i, j);
    return r;
}

Bytes bankBytes() {
    BankRecords bank;
    for (int i = 0; i < kNumPrograms; ++i) bank[i] = record(i);
    return encodeBank(bank);
}

Bytes presetBytes(const std::string& name, float firstValue) {
    ProgramRecord r = record(3);
    r.name = name;
    r.values[0] = firstValue;
    return encodePreset(r);
}

Bytes midiBytes(const std::vector<std::int32_t>& controllers) {
    MidiControllerNumbers numbers{};
    std::copy(controllers.begin(), controllers.end(), numbers.begin());
    return encodeMidiSettings(numbers);
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    TempFolder::writeText(path, std::string(bytes.begin(), bytes.end()));
}

Bytes readBytes(const std::string& path) {
    std::string text = TempFolder::readText(path);
    return Bytes(text.begin(), text.end());
}

class MenuRecorder final : public ProgramMenuEntries {
public:
    std::map<int, std::string> entries;
    void setProgramMenuEntry(std::int32_t index, const char* name) override {
        entries[index] = name;
    }
};

class FileCommands : public ::testing::Test {
protected:
    FileCommands()
        : effect(std::make_unique<Drell>(nullptr, fakes.services())),
          fileCommands(std::make_unique<PresetFileCommands>(*effect)) {}
    ~FileCommands() override {
        EXPECT_EQ(std::filesystem::current_path(), start) << "a command changed the folder";
    }

    PresetFileCommands& commands() { return *fileCommands; }
    // Runs a command whose dialog chooses path, and waits for it.
    template <typename Command>
    void run(Command command, const std::string& path) {
        fakes.choose(path);
        (commands().*command)(0);
        commands().waitForDialog();
        EXPECT_FALSE(commands().busy());
    }
    void fillBank() {
        for (int i = 0; i < kNumPrograms; ++i) {
            CProgram* program = effect->getProgramAt(i);
            program->setName(programName(i).c_str());
            for (int j = 0; j < kNumParams; ++j)
                program->setParameter(static_cast<std::uint32_t>(j), programValue(i, j));
        }
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : fakes.messages.shown) texts.push_back(shown.message);
        return texts;
    }

    const std::filesystem::path start = std::filesystem::current_path();
    TempFolder folder;
    FakeServices fakes;
    std::unique_ptr<Drell> effect;
    // As the editor object has them: made with the effect, they load the default bank.
    std::unique_ptr<PresetFileCommands> fileCommands;
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(FileCommands, SavedBankHasTheExactBytesAndLoadsBack) {
    fillBank();
    const std::string path = folder / "all.dlb";
    run(&PresetFileCommands::saveBank, path);
    EXPECT_EQ(readBytes(path), bankBytes()) << "bank file bytes differ";

    effect->initFactoryPrograms();
    effect->selectProgram(9);
    MenuRecorder menu;
    commands().setProgramMenu(&menu);
    run(&PresetFileCommands::loadBank, path);
    EXPECT_TRUE(messages().empty());
    for (int i = 0; i < kNumPrograms; ++i) {
        EXPECT_EQ(std::string(effect->getProgramAt(i)->name()), programName(i));
        EXPECT_EQ(menu.entries[i], programName(i)) << "menu entry " << i;
        for (int j = 0; j < kNumParams; ++j)
            ASSERT_EQ(effect->getProgramAt(i)->getParameter(j), programValue(i, j))
                << "program " << i << " value " << j;
    }
    EXPECT_EQ(effect->getCurrentProgramIndex(), 0) << "loading a bank makes program 0 current";
    EXPECT_EQ(effect->getParameter(5), programValue(0, 5)) << "program 0 was not applied";
}

TEST_F(FileCommands, PresetSavesAndLoadsTheProgramCurrentWhenTheCommandStarted) {
    fillBank();
    effect->selectProgram(3);
    effect->getProgramAt(3)->setParameter(0, 0.25f);
    const std::string path = folder / "one.dlp";
    run(&PresetFileCommands::savePreset, path);
    EXPECT_EQ(readBytes(path), presetBytes(programName(3), 0.25f));

    // A 24-character name without NUL and a value of 1.5 beyond the range, loaded into the
    // program current when the command started while the user browses on.
    const std::string longName = "abcdefghijklmnopqrstuvwx";
    writeBytes(path, presetBytes(longName, 1.5f));
    effect->selectProgram(7);
    EffectSnapshot before(*effect);
    fakes.choose(path);
    fakes.dialogs.pollsBeforeResult = 2;
    commands().loadPreset(0);
    effect->selectProgram(11);
    commands().waitForDialog();
    EXPECT_EQ(std::string(effect->getProgramAt(7)->name()), longName);
    EXPECT_EQ(effect->getProgramAt(7)->getParameter(0), 1.0f) << "1.5 must load as 1.0";
    EXPECT_EQ(effect->getProgramAt(7)->getParameter(9), programValue(3, 9));
    EXPECT_EQ(effect->getParameter(0), 1.0f) << "the loaded preset was not applied";
    EXPECT_EQ(effect->getCurrentProgramIndex(), 7);
    EffectSnapshot after(*effect);
    after.names[7] = before.names[7];
    std::copy_n(before.values.begin() + 7 * kNumParams, kNumParams,
                after.values.begin() + 7 * kNumParams);
    EXPECT_TRUE(after == before) << "another program was touched";
}

TEST_F(FileCommands, MidiSettingsSaveExactlyAndLoadWithoutTouchingTheStore) {
    effect->assignController(0, 1);
    effect->unassignParameter(2);
    const std::string path = folder / "map.dlm";
    run(&PresetFileCommands::saveMidiSettings, path);
    std::vector<std::int32_t> expected(std::begin(kDefaultControllers),
                                       std::end(kDefaultControllers));
    expected[0] = 1;
    expected[2] = 999;
    EXPECT_EQ(readBytes(path), midiBytes(expected));

    std::vector<std::int32_t> loaded(kNumParams, 999);
    loaded[0] = 64;
    loaded[1] = 20;
    loaded[2] = -1; // kept, routes nothing
    writeBytes(path, midiBytes(loaded));
    const auto storedMap = fakes.settings.keys[std::string(kMidiSettingsKeyPath)];
    run(&PresetFileCommands::loadMidiSettings, path);
    EXPECT_EQ(effect->getControllerOfParameter(0), 64);
    EXPECT_EQ(effect->getControllerOfParameter(1), 20);
    EXPECT_EQ(effect->getParameterOfController(20), 1);
    EXPECT_EQ(effect->getControllerOfParameter(2), -1);
    EXPECT_EQ(effect->getParameter(kNumParams + 2), 1.0f);
    for (int p = 3; p < kNumParams; ++p)
        EXPECT_EQ(effect->getControllerOfParameter(p), kNotAssigned) << "param " << p;
    EXPECT_EQ(effect->getParameterOfController(22), kNotAssigned) << "a freed controller routes";
    EXPECT_EQ(fakes.settings.keys[std::string(kMidiSettingsKeyPath)], storedMap)
        << "loading MIDI settings stored the controller map";
}

TEST_F(FileCommands, DialogsAreAskedAsTheUserExpects) {
    struct Case {
        void (PresetFileCommands::*command)(std::uint64_t);
        const char* title;
        FileDialogKind kind;
        const char* filterName;
        const char* pattern;
        const char* extension;
    };
    using P = PresetFileCommands;
    constexpr FileDialogKind open = FileDialogKind::open, save = FileDialogKind::save;
    const Case cases[] = {
        {&P::loadBank, "Select bank to load...", open, "Drell Banks", "*.dlb", "dlb"},
        {&P::saveBank, "Save bank as...", save, "Drell Banks", "*.dlb", "dlb"},
        {&P::selectDefaultBank, "Select default bank...", open, "Drell Banks", "*.dlb", "dlb"},
        {&P::loadPreset, "Select preset to load...", open, "Drell Presets", "*.dlp", "dlp"},
        {&P::savePreset, "Save preset as...", save, "Drell Presets", "*.dlp", "dlp"},
        {&P::loadMidiSettings, "Select midi settings to load...", open, "Drell Midi", "*.dlm",
         "dlm"},
        {&P::saveMidiSettings, "Save midi settings as...", save, "Drell Midi", "*.dlm", "dlm"},
    };
    for (const Case& c : cases) {
        (commands().*c.command)(0x1234);
        commands().waitForDialog(); // cancelled
        ASSERT_FALSE(fakes.dialogs.requests.empty());
        const FileDialogRequest& r = fakes.dialogs.requests.back();
        EXPECT_EQ(r.title, c.title);
        EXPECT_EQ(r.kind, c.kind) << c.title;
        ASSERT_EQ(r.filters.size(), 2u) << c.title;
        EXPECT_EQ(r.filters[0].name + r.filters[0].pattern, "All Files*.*");
        EXPECT_EQ(r.filters[1].name + r.filters[1].pattern, std::string(c.filterName) + c.pattern);
        EXPECT_EQ(r.selectedFilter, 1u) << c.title;
        EXPECT_EQ(r.defaultExtension, c.extension) << c.title;
        EXPECT_EQ(r.parentWindow, 0x1234u);
    }
    EXPECT_TRUE(messages().empty()) << "a cancelled dialog should say nothing";
    EXPECT_EQ(fakes.dialogs.requests.size(), std::size(cases));
}

TEST_F(FileCommands, EachKindOfFileOpensWhereItsLastFileWasAcrossInstances) {
    ScopedEnv home("HOME", (folder / "home").c_str());
    std::filesystem::create_directory(folder / "home");
    std::filesystem::create_directory(folder / "banks");
    std::filesystem::create_directory(folder / "presets");
    const std::string homeFolder = folder / "home/";
    auto request = [&](void (PresetFileCommands::*command)(std::uint64_t)) {
        (commands().*command)(0);
        commands().waitForDialog();
        return fakes.dialogs.requests.back();
    };

    // The first time, every kind starts in the home folder; a save proposes a name.
    effect->selectProgram(4);
    effect->renameCurrentProgram("../Dub/Echo ");
    EXPECT_EQ(request(&PresetFileCommands::loadBank).directory, homeFolder);
    EXPECT_EQ(request(&PresetFileCommands::loadBank).fileName, "");
    EXPECT_EQ(request(&PresetFileCommands::saveBank).fileName, "Tessel bank.dlb");
    EXPECT_EQ(request(&PresetFileCommands::savePreset).directory, homeFolder);
    EXPECT_EQ(request(&PresetFileCommands::savePreset).fileName, "-Dub-Echo.dlp")
        << "the program's name, safe as a file name";
    EXPECT_EQ(request(&PresetFileCommands::loadMidiSettings).directory, homeFolder);

    // Loading from or saving to a folder makes it that kind's folder, and only that kind's.
    run(&PresetFileCommands::saveBank, folder / "banks/mine.dlb");
    run(&PresetFileCommands::loadPreset, folder / "presets/none.dlp"); // unreadable: still kept
    fakes.messages.shown.clear();
    EXPECT_EQ(request(&PresetFileCommands::loadBank).directory, folder / "banks/");
    EXPECT_EQ(request(&PresetFileCommands::loadBank).fileName, "mine.dlb");
    EXPECT_EQ(request(&PresetFileCommands::saveBank).fileName, "mine.dlb")
        << "a bank saved once proposes its own name";
    EXPECT_EQ(request(&PresetFileCommands::selectDefaultBank).directory, folder / "banks/");
    EXPECT_EQ(request(&PresetFileCommands::savePreset).directory, folder / "presets/");
    EXPECT_EQ(request(&PresetFileCommands::loadPreset).fileName, "none.dlp");
    EXPECT_EQ(request(&PresetFileCommands::saveMidiSettings).directory, homeFolder);
    EXPECT_EQ(request(&PresetFileCommands::saveMidiSettings).fileName, "Tessel MIDI settings.dlm");

    // The folders are in the settings store beside the default bank: a new instance (a new
    // session) starts there too, and a folder that is gone falls back to home.
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kBankFolderValue), folder / "banks/");
    fileCommands.reset();
    effect = std::make_unique<Drell>(nullptr, fakes.services());
    fileCommands = std::make_unique<PresetFileCommands>(*effect);
    EXPECT_EQ(request(&PresetFileCommands::loadBank).directory, folder / "banks/");
    std::filesystem::remove_all(folder / "banks");
    EXPECT_EQ(request(&PresetFileCommands::loadBank).directory, homeFolder);
    EXPECT_EQ(request(&PresetFileCommands::loadPreset).directory, folder / "presets/");
    EXPECT_TRUE(messages().empty());
}

TEST_F(FileCommands, WrongKindOfFileIsRefusedWithItsMessageAndChangesNothing) {
    const std::string bank = folder / "b.dlb", preset = folder / "p.dlp", midi = folder / "m.dlm";
    writeBytes(bank, bankBytes());
    writeBytes(preset, presetBytes("x", 0.5f));
    writeBytes(midi, midiBytes(std::vector<std::int32_t>(kNumParams, 1)));
    effect->selectProgram(5);
    const EffectSnapshot before(*effect);

    run(&PresetFileCommands::loadBank, preset);
    run(&PresetFileCommands::selectDefaultBank, midi);
    run(&PresetFileCommands::loadPreset, bank);
    run(&PresetFileCommands::loadMidiSettings, preset);
    EXPECT_EQ(messages(), (Strings{"Not a bank file!", "Not a bank file!", "Not a preset file!",
                                   "Not a midi settings file!"}));
    EXPECT_TRUE(EffectSnapshot(*effect) == before) << "a refused file changed the effect";
    EXPECT_FALSE(fakes.settings.readString(kSettingsKeyPath, kDefaultBankFileValue))
        << "a refused default bank was stored";
}

TEST_F(FileCommands, DefaultBankIsLoadedByEveryNewInstanceUntilCleared) {
    const std::string path = folder / "default.dlb";
    writeBytes(path, bankBytes());
    effect->selectProgram(6);
    effect->setParameter(3, 0.125f);
    run(&PresetFileCommands::selectDefaultBank, path);
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kDefaultBankDirValue),
              folder.path() + "/");
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kDefaultBankFileValue), "default.dlb");
    EXPECT_EQ(std::string(effect->getProgramAt(0)->name()), programName(0));
    EXPECT_EQ(effect->getCurrentProgramIndex(), 6) << "the default bank must not select a program";
    EXPECT_EQ(effect->getParameter(3), 0.125f) << "the default bank must leave the engine alone";

    Drell next(nullptr, fakes.services());
    PresetFileCommands nextCommands(next);
    EXPECT_EQ(std::string(next.getProgramAt(42)->name()), programName(42));
    EXPECT_EQ(next.getProgramAt(42)->getParameter(17), programValue(42, 17));

    nextCommands.clearDefaultBank(0);
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kDefaultBankDirValue), "");
    EXPECT_EQ(fakes.settings.readString(kSettingsKeyPath, kDefaultBankFileValue), "");
    Drell cleared(nullptr, fakes.services());
    PresetFileCommands clearedCommands(cleared);
    EXPECT_NE(std::string(cleared.getProgramAt(42)->name()), programName(42));
    EXPECT_TRUE(messages().empty());
}

TEST_F(FileCommands, DefaultBankProblemsAreReportedOnlyWhenTheyMatter) {
    auto& key = fakes.settings.keys[std::string(kSettingsKeyPath)];
    key[std::string(kDefaultBankDirValue)] = folder.path(); // no trailing slash: still found
    key[std::string(kDefaultBankFileValue)] = std::string("gone.dlb");
    Drell missing(nullptr, fakes.services());
    PresetFileCommands{missing};
    EXPECT_TRUE(messages().empty()) << "a missing default bank is not worth a message";
    writeBytes(folder / "gone.dlb", presetBytes("not a bank", 0.5f));
    Drell wrong(nullptr, fakes.services());
    PresetFileCommands{wrong};
    EXPECT_EQ(messages(), Strings{"Not a bank file!"});

    // The setting cannot be stored: said so, and the chosen bank still loads.
    writeBytes(folder / "default.dlb", bankBytes());
    fakes.settings.failWrites = SettingsWriteStatus::keyNotCreated;
    run(&PresetFileCommands::selectDefaultBank, folder / "default.dlb");
    EXPECT_EQ(std::string(effect->getProgramAt(1)->name()), programName(1));
    commands().clearDefaultBank(0);
    EXPECT_EQ(messages().size(), 3u);
}

// The default bank is a folder and a file name: with the folder unreadable (lost to damage)
// the file name alone loads nothing, not even a bank of that name in the current folder.
// The window's scale comes from the same reading.
TEST_F(FileCommands, DefaultBankNeedsBothHalvesAndTheScaleComesFromTheSameReading) {
    writeBytes(folder / "here.dlb", bankBytes());
    auto& key = fakes.settings.keys[std::string(kSettingsKeyPath)];
    key[std::string(kDefaultBankFileValue)] = std::string("here.dlb");
    key[std::string(kUiScaleValue)] = std::uint32_t{2};
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    Drell halfNamed(nullptr, fakes.services());
    PresetFileCommands halfCommands(halfNamed);
    std::filesystem::current_path(before);
    EXPECT_NE(std::string(halfNamed.getProgramAt(1)->name()), programName(1));
    EXPECT_EQ(halfCommands.storedScale(), 2);

    key[std::string(kDefaultBankDirValue)] = folder.path();
    key[std::string(kUiScaleValue)] = std::string("7");
    Drell whole(nullptr, fakes.services());
    PresetFileCommands wholeCommands(whole);
    EXPECT_EQ(std::string(whole.getProgramAt(1)->name()), programName(1));
    EXPECT_EQ(wholeCommands.storedScale(), std::nullopt) << "only 1 and 2 are scales";
}

TEST_F(FileCommands, IdleFinishesACommandOnlyWhenItsDialogAnswers) {
    const std::string path = folder / "b.dlb";
    writeBytes(path, bankBytes());
    fakes.dialogs.pollsBeforeResult = 3;
    fakes.choose(path);
    commands().loadBank(0);
    commands().saveBank(0); // ignored: one command at a time
    commands().clearDefaultBank(0);
    EXPECT_EQ(fakes.dialogs.requests.size(), 1u);
    EXPECT_FALSE(fakes.settings.keyExists(kSettingsKeyPath));
    for (int i = 0; i < 3; ++i) {
        commands().idle();
        EXPECT_TRUE(commands().busy());
        EXPECT_NE(std::string(effect->getProgramAt(0)->name()), programName(0));
    }
    commands().idle();
    EXPECT_FALSE(commands().busy());
    EXPECT_EQ(std::string(effect->getProgramAt(0)->name()), programName(0));
    commands().idle(); // nothing pending: harmless
}

TEST_F(FileCommands, MissingDialogProgramAndFailedReadsAndSavesAreReported) {
    fakes.dialogs.script.push_back({FileDialogStatus::unavailable, {}});
    commands().loadBank(0);
    commands().waitForDialog();
    EXPECT_EQ(messages(), Strings{std::string(kNoFileDialogMessage)});
    EXPECT_NE(messages()[0].find("zenity"), std::string::npos);

    run(&PresetFileCommands::saveBank, folder / "no/such/folder/x.dlb");
    run(&PresetFileCommands::loadBank, folder / "missing.dlb");
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_NE(messages()[1].find("x.dlb"), std::string::npos) << messages()[1];
    EXPECT_NE(messages()[2].find("missing.dlb"), std::string::npos) << messages()[2];
}
