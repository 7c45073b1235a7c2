// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBox.h"

#include "platform/DialogCommands.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

std::string messageLogLine(std::string_view caption, std::string_view message) {
    std::string line = "Tessel: ";
    line += caption;
    line += ": ";
    for (char c : message) line += (c == '\n' || c == '\r') ? ' ' : c;
    line += '\n';
    return line;
}

ProcessMessageBoxes::ProcessMessageBoxes(std::optional<std::string> searchPath)
    : searchPath(std::move(searchPath)) {}

ProcessMessageBoxes::~ProcessMessageBoxes() {
    waitForLaunchers();
}

void ProcessMessageBoxes::showError(std::string_view message, MessageIcon icon) {
    // One write, so lines of several instances never interleave.
    std::string line = messageLogLine(kMessageCaption, message);
    for (std::size_t done = 0; done < line.size();) {
        ssize_t n = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }

    reapLaunchers();
    auto chosen = DialogPrograms::find(searchPath).choose();
    if (!chosen) return; // the stderr line is all there is
    std::vector<std::string> arguments = {"sh", "-c", "\"$@\" &", "sh", chosen->second};
    auto box =
        messageBoxArguments(chosen->first, kMessageCaption, message, icon == MessageIcon::error);
    arguments.insert(arguments.end(), box.begin() + 1, box.end()); // argv[0] is the path
    auto launcher = std::make_unique<ChildProcess>();
    if (launcher->start("/bin/sh", arguments, false) == 0) launchers.push_back(std::move(launcher));
}

void ProcessMessageBoxes::reapLaunchers() {
    std::erase_if(launchers,
                  [](const std::unique_ptr<ChildProcess>& launcher) { return launcher->poll(); });
}

void ProcessMessageBoxes::waitForLaunchers() {
    for (auto& launcher : launchers) launcher->wait();
    launchers.clear();
}
