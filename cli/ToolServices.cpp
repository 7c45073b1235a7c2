// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToolServices.h"

#include <algorithm>
#include <utility>

namespace cli {

std::vector<std::string> CollectedMessages::take() {
    std::vector<std::string> once;
    for (std::string& message : messages)
        if (std::find(once.begin(), once.end(), message) == once.end())
            once.push_back(std::move(message));
    messages.clear();
    return once;
}

bool NamedFileDialogs::start(const FileDialogRequest&) {
    if (started) return false;
    started = true;
    return true;
}

FileDialogResult NamedFileDialogs::wait() {
    if (!started) return {};
    started = false;
    if (answer.empty()) return {FileDialogStatus::cancelled, {}};
    return {FileDialogStatus::chosen, std::exchange(answer, {})};
}

} // namespace cli
