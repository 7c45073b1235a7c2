// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of the preset bar without a window: load and save banks, presets and
// MIDI settings, choose and clear the default bank, and load it. Each kind of file opens its
// dialog in the folder its last file came from (DialogFolders) with the last file name of
// that kind pre-filled; a save dialog proposes the program's name for a preset and
// "Tessel bank" for a bank before any bank was chosen.
//
// A command never blocks: it starts its file dialog and returns. idle() (from the editor's
// idle) finishes the command once the dialog has answered; waitForDialog() blocks for it
// instead (command-line tools, tests). One command runs at a time: others are ignored while
// a dialog is open.
//
// Files are opened by their full path; the process's current directory is never changed.
// A file that fails its checks (magic, type, length) changes nothing; saving replaces the
// file atomically, so a failed save leaves the previous file intact.
#pragma once

#include "presets/CPresetSystemListener.h"
#include "presets/DialogFolders.h"
#include "presets/FileFormats.h"
#include "presets/SaveLoadButtonCommand.h"

#include <cstdint>
#include <optional>
#include <string>

class CPresetSystemEffect;
class ProgramMenuEntries;
struct FileDialogResult;

class PresetFileCommands final : public CPresetSystemListener {
public:
    // Loads the default bank. Uses the effect's services.
    explicit PresetFileCommands(CPresetSystemEffect& effect);
    // Closes a dialog that is still open; its command is dropped.
    ~PresetFileCommands() override;
    PresetFileCommands(const PresetFileCommands&) = delete;
    PresetFileCommands& operator=(const PresetFileCommands&) = delete;

    // Reads a bank into all 61 programs, then selects program 0.
    void loadBank(std::uint64_t ownerWindow) override;
    // Writes all 61 programs.
    void saveBank(std::uint64_t ownerWindow) override;
    // Stores the chosen bank as the default bank, then loads it.
    void selectDefaultBank(std::uint64_t ownerWindow) override;
    // Reads a preset into the program that was current when the command started, then
    // selects that program.
    void loadPreset(std::uint64_t ownerWindow) override;
    // Writes the program that was current when the command started.
    void savePreset(std::uint64_t ownerWindow) override;
    // Binds the 48 controllers of the file; neither stored nor reported to the host.
    void loadMidiSettings(std::uint64_t ownerWindow) override;
    // Writes the controller of each sound parameter.
    void saveMidiSettings(std::uint64_t ownerWindow) override;
    // Forgets the default bank (both stored values become empty). No dialog.
    void clearDefaultBank(std::uint64_t ownerWindow) override;

    // Reads the default bank named in the settings into all programs; the current program
    // and the sound engine keep their state.
    void loadDefaultBank();

    // Finishes the running command if its dialog has answered. Never blocks.
    void idle();
    // Blocks until the running command's dialog answers and finishes the command.
    void waitForDialog();
    // True while a command waits for its dialog.
    bool busy() const { return pending != PresetFileCommand::none; }
    // Closes a dialog that is still open (its program is ended); its command is dropped
    // and nothing of it is applied later.
    void cancel();

    // The editor's program menu while its window is open, or null.
    void setProgramMenu(ProgramMenuEntries* menu) { programMenu = menu; }

    const std::string& bankFileName() const { return lastBankFile; }
    const std::string& presetFileName() const { return lastPresetFile; }
    const std::string& midiFileName() const { return lastMidiFile; }
    // The editor's scale (1 or 2) from the settings read at the start, if one was set.
    std::optional<int> storedScale() const { return uiScale; }

private:
    using FileKind = DialogFileKind;

    void startDialog(PresetFileCommand command, FileKind files, bool save, const char* title,
                     std::uint64_t ownerWindow);
    void finish(PresetFileCommand command, const FileDialogResult& result);
    std::string& lastFileName(FileKind files);
    // The name a dialog shows at first.
    std::string proposedFileName(FileKind files, bool save);
    // The full path of a dialog's choice after remembering its directory and name; nullopt
    // when either part is empty.
    std::optional<std::string> takeChoice(FileKind files, const std::string& path);
    std::optional<std::vector<std::uint8_t>> readFile(const std::string& path);
    void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
    void showFormatError(FileFormatError error);

    void finishLoadBank(const std::string& path);
    void finishSaveBank(const std::string& path);
    void finishSelectDefaultBank(const std::string& path);
    void finishLoadPreset(const std::string& path);
    void finishSavePreset(const std::string& path);
    void finishLoadMidiSettings(const std::string& path);
    void finishSaveMidiSettings(const std::string& path);
    // Replaces every program's name and values; the program menu follows.
    void storeBank(const BankRecords& records);

    CPresetSystemEffect& effect;
    ProgramMenuEntries* programMenu = nullptr;
    DialogFolders folders;
    PresetFileCommand pending = PresetFileCommand::none;
    std::int32_t pendingProgram = 0; // the current program when a preset command started
    std::string lastBankFile;
    std::string lastPresetFile;
    std::string lastMidiFile;
    std::optional<int> uiScale;
};
