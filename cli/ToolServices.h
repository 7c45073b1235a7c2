// SPDX-License-Identifier: GPL-3.0-or-later
// The platform services the tool hands the effect in place of the plug-in's own: the
// user's settings are read but never written (a render or a listing leaves the
// configuration as it found it), messages are collected for the tool to print instead of
// opening message boxes, and the file a bank or preset command asks for is the one named
// on the command line instead of a dialog's choice.
#pragma once

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/ReadOnlySettingsStore.h"
#include "presets/PlatformServices.h"

#include <string>
#include <vector>

namespace cli {

class CollectedMessages final : public MessageBoxes {
public:
    void showError(std::string_view message, MessageIcon) override {
        messages.emplace_back(message);
    }
    // The messages shown since the last call, each once, in order.
    std::vector<std::string> take();

private:
    std::vector<std::string> messages;
};

// A dialog that answers at once with the path it was given.
class NamedFileDialogs final : public FileDialogs {
public:
    // The answer of the next dialog: the file's full path.
    void answerWith(std::string path) { answer = std::move(path); }

    bool start(const FileDialogRequest&) override;
    FileDialogResult poll() override { return wait(); }
    FileDialogResult wait() override;
    bool running() const override { return false; }
    void abandon() override { started = false; }

private:
    std::string answer;
    bool started = false;
};

struct ToolServices {
    ReadOnlySettingsStore settings; // the plug-in's own store, read but never written
    CollectedMessages messages;
    NamedFileDialogs fileDialogs;
    PlatformServices forEffect() { return {&settings, &messages, &fileDialogs}; }
};

} // namespace cli
