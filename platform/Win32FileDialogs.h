// SPDX-License-Identifier: GPL-3.0-or-later
// Open and save dialogs on Windows: GetOpenFileNameA and GetSaveFileNameA, which are modal
// and run their own message loop. start() returns once the user has chosen or cancelled; the
// result is then handed out by the next poll() or wait(). Open dialogs accept existing files
// only; save dialogs add the default extension to a name without one and ask before an
// existing file is replaced. The process's current directory is left as it was.
#pragma once

#include "platform/FileDialog.h"

#include <string>
#include <vector>

// The dialog's filter list: name and pattern of each filter, each ended by a NUL, and a
// second NUL at the end ("All Files\0*.*\0Drell Banks\0*.dlb\0\0").
std::string win32FilterText(const std::vector<FileFilter>& filters);

// The starting folder in the system's form: '/' turned into '\'; empty for the dialog's own.
std::string win32InitialDirectory(const std::string& directory);

class Win32FileDialogs final : public FileDialogs {
public:
    bool start(const FileDialogRequest& request) override;
    FileDialogResult poll() override;
    FileDialogResult wait() override { return poll(); }
    bool running() const override { return showing; }
    void abandon() override { result = {}; }

private:
    bool showing = false; // true only while the modal dialog is up
    FileDialogResult result;
};
