// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DefaultServices.h"

#include "platform/RegistrySettingsStore.h"
#include "platform/Win32FileDialogs.h"
#include "platform/Win32MessageBoxes.h"

std::unique_ptr<SettingsStore> createSettingsStore() {
    return std::make_unique<RegistrySettingsStore>();
}

std::unique_ptr<MessageBoxes> createMessageBoxes() {
    return std::make_unique<Win32MessageBoxes>();
}

std::unique_ptr<FileDialogs> createFileDialogs() {
    return std::make_unique<Win32FileDialogs>();
}
