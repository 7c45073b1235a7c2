// SPDX-License-Identifier: GPL-3.0-or-later
// Error messages for the user. Every message is written to stderr as one line
// "Tessel: Error...: <message>" and shown in a message box with the caption "Error..." by
// zenity or kdialog, started detached: the caller never waits for the box to be closed, and
// the box stays up even if the plug-in is closed meanwhile.
#pragma once

#include "platform/FileDialog.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kMessageCaption = "Error...";

enum class MessageIcon { error, none };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void showError(std::string_view message, MessageIcon icon = MessageIcon::error) = 0;
};

// The stderr line for a message, newline included; line breaks in the message become spaces.
std::string messageLogLine(std::string_view caption, std::string_view message);

class ProcessMessageBoxes final : public MessageBoxes {
public:
    // Looks for zenity and kdialog in searchPath, or else $PATH, when a message is shown.
    explicit ProcessMessageBoxes(std::optional<std::string> searchPath = std::nullopt);
    ~ProcessMessageBoxes() override;

    void showError(std::string_view message, MessageIcon icon = MessageIcon::error) override;

    // Waits until every box started so far is on its own (tests): the short-lived launchers
    // have ended.
    void waitForLaunchers();

private:
    void reapLaunchers();

    std::optional<std::string> searchPath;
    // Each box is started by a shell that puts it in the background and ends at once; the
    // box then belongs to no one and is reaped by the system.
    std::vector<std::unique_ptr<ChildProcess>> launchers;
};
