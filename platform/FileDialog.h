// SPDX-License-Identifier: GPL-3.0-or-later
// Open and save dialogs that never freeze the host: start() shows the dialog in a child
// process and returns at once; the editor's idle calls poll() until a result arrives.
// ProcessFileDialogs runs zenity or kdialog; tests use a scripted stand-in. Open dialogs
// offer existing files only; save dialogs ask before an existing file is replaced, also when
// the default extension added afterwards names an existing file.
#pragma once

#include "platform/ChildProcess.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Shown when no dialog program can be run.
inline constexpr std::string_view kNoFileDialogMessage =
    "No file dialog could be shown. Please install zenity or kdialog.";

enum class FileDialogKind { open, save };

struct FileFilter {
    std::string name;    // "Drell Banks"
    std::string pattern; // "*.dlb"; several separated by ';'; "*.*" means every file
};

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::open;
    std::string title;
    std::vector<FileFilter> filters;
    std::size_t selectedFilter = 0;
    std::string defaultExtension;   // without the dot; added to a saved name that has none
    std::string directory;          // starting folder; empty for the dialog's own choice
    std::string fileName;           // pre-filled name
    std::uint64_t parentWindow = 0; // X11 window the dialog belongs to; 0 for none
};

enum class FileDialogStatus {
    idle,        // no dialog started, or its result was already handed out
    running,     // still open
    chosen,      // path holds the chosen file's full path
    cancelled,   // closed without a choice
    unavailable, // neither program installed, or it could not be run
};

struct FileDialogResult {
    FileDialogStatus status = FileDialogStatus::idle;
    std::string path;
};

// One dialog at a time. A final result (chosen, cancelled, unavailable) is handed out once;
// after it the dialogs are idle again.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // False, and nothing started, while another dialog is running.
    virtual bool start(const FileDialogRequest& request) = 0;
    // Never blocks.
    virtual FileDialogResult poll() = 0;
    // Blocks until the dialog ends (tests, command-line tools).
    virtual FileDialogResult wait() = 0;
    virtual bool running() const = 0;
    // Closes a running dialog; its result is dropped.
    virtual void abandon() = 0;
};

enum class DialogProgram { zenity, kdialog };

// The dialog programs found on a search path, in the order to try: kdialog first on a KDE
// desktop, zenity first elsewhere.
struct DialogPrograms {
    std::string zenity;  // full path, empty when not installed
    std::string kdialog; // full path, empty when not installed
    bool preferKdialog = false;

    // Searches searchPath, or $PATH when it is absent; reads $XDG_CURRENT_DESKTOP.
    static DialogPrograms find(const std::optional<std::string>& searchPath = std::nullopt);
    // The program to use: its kind and full path; nullopt when neither is installed.
    std::optional<std::pair<DialogProgram, std::string>> choose() const;
};

class ProcessFileDialogs final : public FileDialogs {
public:
    // Looks the programs up when each dialog starts, in searchPath or else $PATH.
    explicit ProcessFileDialogs(std::optional<std::string> searchPath = std::nullopt);

    bool start(const FileDialogRequest& request) override;
    FileDialogResult poll() override;
    FileDialogResult wait() override;
    bool running() const override { return phase == Phase::choosing || phase == Phase::confirming; }
    void abandon() override;

private:
    enum class Phase { idle, choosing, confirming, done };
    bool spawn(const std::vector<std::string>& arguments);
    FileDialogResult finish(FileDialogStatus status, std::string path = {});
    FileDialogResult advance(); // called when the child has ended

    std::optional<std::string> searchPath;
    Phase phase = Phase::idle;
    FileDialogRequest request;
    DialogProgram program = DialogProgram::zenity;
    std::string programPath;
    bool attached = false;
    std::string pendingPath; // saved name with the default extension, awaiting confirmation
    FileDialogResult result;
    ChildProcess child;
};
