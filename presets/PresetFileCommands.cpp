// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/PresetFileCommands.h"

#include "presets/ProgramRecords.h"

#include "platform/FileDialog.h"
#include "platform/FileIo.h"
#include "platform/MessageBox.h"
#include "platform/PathNames.h"
#include "platform/SettingsKeys.h"
#include "platform/SettingsStore.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/ProgramMenuEntries.h"

namespace {

constexpr std::string_view kReadFailedMessage = "Could not read the file ";
constexpr std::string_view kWriteFailedMessage = "Could not save the file ";
constexpr std::string_view kDefaultBankNotStoredMessage =
    "Could not store the default bank setting!";

struct FileKindInfo {
    const char* filterName;
    const char* pattern;
    const char* extension;
};

FileDialogRequest dialogRequest(const FileKindInfo& info) {
    FileDialogRequest request;
    request.filters = {{"All Files", "*.*"}, {info.filterName, info.pattern}};
    request.selectedFilter = 1;
    request.defaultExtension = info.extension;
    return request;
}

// The folder with a trailing separator; empty stays empty.
std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && kPathSeparators.find(folder.back()) == std::string_view::npos)
        folder += kPathSeparator;
    return folder;
}

// A program's name as a file name: no folder separators, no leading dots or spaces that
// would hide the file or lose its name.
std::string fileNameOf(const std::string& name) {
    std::string clean;
    for (char c : name) {
        if (clean.empty() && (c == '.' || c == ' ')) continue;
        clean += c == '/' || c == '\\' || c < 32 || c > 126 ? '-' : c;
    }
    while (!clean.empty() && clean.back() == ' ') clean.pop_back();
    return clean;
}

} // namespace

PresetFileCommands::PresetFileCommands(CPresetSystemEffect& owner)
    : effect(owner), folders(owner.settingsStore()) {
    loadDefaultBank();
}

PresetFileCommands::~PresetFileCommands() {
    cancel();
}

void PresetFileCommands::cancel() {
    if (!busy()) return;
    effect.fileDialogs().abandon();
    pending = PresetFileCommand::none;
}

void PresetFileCommands::loadBank(std::uint64_t ownerWindow) {
    startDialog(PresetFileCommand::loadBank, FileKind::bank, false, "Select bank to load...",
                ownerWindow);
}

void PresetFileCommands::saveBank(std::uint64_t ownerWindow) {
    startDialog(PresetFileCommand::saveBank, FileKind::bank, true, "Save bank as...", ownerWindow);
}

void PresetFileCommands::selectDefaultBank(std::uint64_t ownerWindow) {
    startDialog(PresetFileCommand::selectDefaultBank, FileKind::bank, false,
                "Select default bank...", ownerWindow);
}

void PresetFileCommands::loadPreset(std::uint64_t ownerWindow) {
    if (busy()) return;
    pendingProgram = effect.getCurrentProgramIndex();
    startDialog(PresetFileCommand::loadPreset, FileKind::preset, false, "Select preset to load...",
                ownerWindow);
}

void PresetFileCommands::savePreset(std::uint64_t ownerWindow) {
    if (busy()) return;
    pendingProgram = effect.getCurrentProgramIndex();
    startDialog(PresetFileCommand::savePreset, FileKind::preset, true, "Save preset as...",
                ownerWindow);
}

void PresetFileCommands::loadMidiSettings(std::uint64_t ownerWindow) {
    startDialog(PresetFileCommand::loadMidiSettings, FileKind::midi, false,
                "Select midi settings to load...", ownerWindow);
}

void PresetFileCommands::saveMidiSettings(std::uint64_t ownerWindow) {
    startDialog(PresetFileCommand::saveMidiSettings, FileKind::midi, true,
                "Save midi settings as...", ownerWindow);
}

void PresetFileCommands::clearDefaultBank(std::uint64_t) {
    if (busy()) return;
    std::vector<SettingsValue> values = {{std::string(kDefaultBankFileValue), std::string()},
                                         {std::string(kDefaultBankDirValue), std::string()}};
    if (effect.settingsStore().writeValues(kSettingsKeyPath, values) != SettingsWriteStatus::ok)
        effect.messageBoxes().showError(kDefaultBankNotStoredMessage);
}

void PresetFileCommands::loadDefaultBank() {
    const SettingsKeyContents key = effect.settingsStore().readKey(kSettingsKeyPath);
    if (!key.damage.empty())
        reportSettingsDamage(key.damage, "the default bank settings read from it are used");
    const auto text = [&key](std::string_view name) -> const std::string* {
        const SettingsValue::Value* value = key.find(name);
        return value ? std::get_if<std::string>(value) : nullptr;
    };
    // The default bank is a pair: a folder and a file name, each read whole. Half of it
    // names no bank (a file name alone would be looked for in whatever folder is current).
    // The window's scale comes from this one reading too: a number, or its digit as text.
    if (const SettingsValue::Value* scale = key.find(kUiScaleValue)) {
        const auto* number = std::get_if<std::uint32_t>(scale);
        const auto* digit = std::get_if<std::string>(scale);
        if (number != nullptr && (*number == 1 || *number == 2))
            uiScale = static_cast<int>(*number);
        else if (digit != nullptr && (*digit == "1" || *digit == "2"))
            uiScale = (*digit)[0] - '0';
    }
    const std::string* folder = text(kDefaultBankDirValue);
    const std::string* file = text(kDefaultBankFileValue);
    if (folder == nullptr || file == nullptr || folder->empty() || file->empty()) return;
    // A missing default bank is not worth a message at every start.
    auto bytes = readWholeFile(withTrailingSlash(*folder) + *file);
    if (!bytes) return;
    auto bank = decodeBank(*bytes);
    if (!bank.ok()) {
        showFormatError(bank.error);
        return;
    }
    storeBank(bank.value);
}

void PresetFileCommands::idle() {
    if (!busy()) return;
    FileDialogResult result = effect.fileDialogs().poll();
    if (result.status == FileDialogStatus::running) return;
    PresetFileCommand command = pending;
    pending = PresetFileCommand::none;
    finish(command, result);
}

void PresetFileCommands::waitForDialog() {
    if (!busy()) return;
    FileDialogResult result = effect.fileDialogs().wait();
    PresetFileCommand command = pending;
    pending = PresetFileCommand::none;
    finish(command, result);
}

void PresetFileCommands::startDialog(PresetFileCommand command, FileKind files, bool save,
                                     const char* title, std::uint64_t ownerWindow) {
    if (busy()) return;
    static constexpr FileKindInfo kInfo[] = {{"Drell Banks", "*.dlb", "dlb"},
                                             {"Drell Presets", "*.dlp", "dlp"},
                                             {"Drell Midi", "*.dlm", "dlm"}};
    FileDialogRequest request = dialogRequest(kInfo[static_cast<int>(files)]);
    request.kind = save ? FileDialogKind::save : FileDialogKind::open;
    request.title = title;
    request.directory = folders.folderFor(files);
    request.fileName = proposedFileName(files, save);
    request.parentWindow = ownerWindow;
    if (effect.fileDialogs().start(request)) pending = command;
}

void PresetFileCommands::finish(PresetFileCommand command, const FileDialogResult& result) {
    if (result.status == FileDialogStatus::unavailable) {
        effect.messageBoxes().showError(kNoFileDialogMessage);
        return;
    }
    if (result.status != FileDialogStatus::chosen) return; // cancelled
    switch (command) {
    case PresetFileCommand::loadBank:
        if (auto path = takeChoice(FileKind::bank, result.path)) finishLoadBank(*path);
        break;
    case PresetFileCommand::saveBank:
        if (auto path = takeChoice(FileKind::bank, result.path)) finishSaveBank(*path);
        break;
    case PresetFileCommand::selectDefaultBank:
        if (auto path = takeChoice(FileKind::bank, result.path)) finishSelectDefaultBank(*path);
        break;
    case PresetFileCommand::loadPreset:
        if (auto path = takeChoice(FileKind::preset, result.path)) finishLoadPreset(*path);
        break;
    case PresetFileCommand::savePreset:
        if (auto path = takeChoice(FileKind::preset, result.path)) finishSavePreset(*path);
        break;
    case PresetFileCommand::loadMidiSettings:
        if (auto path = takeChoice(FileKind::midi, result.path)) finishLoadMidiSettings(*path);
        break;
    case PresetFileCommand::saveMidiSettings:
        if (auto path = takeChoice(FileKind::midi, result.path)) finishSaveMidiSettings(*path);
        break;
    case PresetFileCommand::clearDefaultBank:
    case PresetFileCommand::none:
        break;
    }
}

std::string& PresetFileCommands::lastFileName(FileKind files) {
    switch (files) {
    case FileKind::bank:
        return lastBankFile;
    case FileKind::preset:
        return lastPresetFile;
    case FileKind::midi:
        break;
    }
    return lastMidiFile;
}

std::string PresetFileCommands::proposedFileName(FileKind files, bool save) {
    const std::string& last = lastFileName(files);
    if (!save) return last;
    if (files == FileKind::preset) {
        CProgram* program = effect.getProgramAt(pendingProgram);
        std::string name = program != nullptr ? fileNameOf(program->name()) : std::string();
        return (name.empty() ? std::string("Tessel preset") : name) + ".dlp";
    }
    if (!last.empty()) return last;
    return files == FileKind::bank ? "Tessel bank.dlb" : "Tessel MIDI settings.dlm";
}

std::optional<std::string> PresetFileCommands::takeChoice(FileKind files, const std::string& path) {
    std::size_t slash = path.find_last_of(kPathSeparators);
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    lastFileName(files) = name;
    folders.remember(files, folder);
    if (folder.empty() || name.empty()) return std::nullopt;
    return folder + name;
}

std::optional<std::vector<std::uint8_t>> PresetFileCommands::readFile(const std::string& path) {
    auto bytes = readWholeFile(path);
    if (!bytes) effect.messageBoxes().showError(std::string(kReadFailedMessage) + path);
    return bytes;
}

void PresetFileCommands::writeFile(const std::string& path,
                                   const std::vector<std::uint8_t>& bytes) {
    if (writeFileAtomically(path, bytes) != 0)
        effect.messageBoxes().showError(std::string(kWriteFailedMessage) + path);
}

void PresetFileCommands::showFormatError(FileFormatError error) {
    effect.messageBoxes().showError(fileFormatMessage(error));
}

void PresetFileCommands::storeBank(const BankRecords& records) {
    for (std::size_t i = 0; i < kFilePrograms; ++i) {
        auto index = static_cast<VstInt32>(i);
        CProgram* program = effect.getProgramAt(index);
        if (program == nullptr) return;
        storeRecord(*program, records[i]);
        if (programMenu != nullptr) programMenu->setProgramMenuEntry(index, program->name());
    }
}

void PresetFileCommands::finishLoadBank(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes) return;
    auto bank = decodeBank(*bytes);
    if (!bank.ok()) return showFormatError(bank.error);
    storeBank(bank.value);
    effect.selectProgram(0);
}

void PresetFileCommands::finishSaveBank(const std::string& path) {
    BankRecords records;
    for (std::size_t i = 0; i < kFilePrograms; ++i) {
        CProgram* program = effect.getProgramAt(static_cast<VstInt32>(i));
        if (program == nullptr) return;
        records[i] = recordOf(*program);
    }
    writeFile(path, encodeBank(records));
}

void PresetFileCommands::finishSelectDefaultBank(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes) return;
    // Checked before it is stored: a bad default bank would be refused at every start.
    auto bank = decodeBank(*bytes);
    if (!bank.ok()) return showFormatError(bank.error);
    std::size_t slash = path.find_last_of(kPathSeparators);
    std::vector<SettingsValue> values = {
        {std::string(kDefaultBankFileValue), path.substr(slash + 1)},
        {std::string(kDefaultBankDirValue), path.substr(0, slash + 1)}};
    if (effect.settingsStore().writeValues(kSettingsKeyPath, values) == SettingsWriteStatus::ok) {
        loadDefaultBank();
    } else {
        effect.messageBoxes().showError(kDefaultBankNotStoredMessage);
        storeBank(bank.value); // the chosen bank still loads, as a default bank would
    }
}

void PresetFileCommands::finishLoadPreset(const std::string& path) {
    CProgram* program = effect.getProgramAt(pendingProgram);
    if (program == nullptr) return;
    auto bytes = readFile(path);
    if (!bytes) return;
    auto preset = decodePreset(*bytes);
    if (!preset.ok()) return showFormatError(preset.error);
    storeRecord(*program, preset.value);
    effect.selectProgram(pendingProgram);
}

void PresetFileCommands::finishSavePreset(const std::string& path) {
    CProgram* program = effect.getProgramAt(pendingProgram);
    if (program == nullptr) return;
    writeFile(path, encodePreset(recordOf(*program)));
}

void PresetFileCommands::finishLoadMidiSettings(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes) return;
    auto controllers = decodeMidiSettings(*bytes);
    if (!controllers.ok()) return showFormatError(controllers.error);
    for (std::size_t p = 0; p < kFileParams; ++p)
        effect.assignController(static_cast<VstInt32>(p), controllers.value[p]);
}

void PresetFileCommands::finishSaveMidiSettings(const std::string& path) {
    MidiControllerNumbers controllers{};
    for (std::size_t p = 0; p < kFileParams; ++p)
        controllers[p] = effect.getControllerOfParameter(static_cast<VstInt32>(p));
    writeFile(path, encodeMidiSettings(controllers));
}
