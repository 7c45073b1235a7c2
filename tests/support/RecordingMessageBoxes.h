// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes for tests: remembers every message instead of showing it.
#pragma once

#include "platform/MessageBox.h"

#include <string>
#include <vector>

class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::string message;
        MessageIcon icon;
    };
    std::vector<Shown> shown;

    void showError(std::string_view message, MessageIcon icon = MessageIcon::error) override {
        shown.push_back({std::string(message), icon});
    }
};
