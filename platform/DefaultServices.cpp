// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DefaultServices.h"

#include "platform/FileSettingsStore.h"

std::unique_ptr<SettingsStore> createSettingsStore() {
    return std::make_unique<FileSettingsStore>();
}

std::unique_ptr<MessageBoxes> createMessageBoxes() {
    return std::make_unique<ProcessMessageBoxes>();
}

std::unique_ptr<FileDialogs> createFileDialogs() {
    return std::make_unique<ProcessFileDialogs>();
}
