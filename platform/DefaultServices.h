// SPDX-License-Identifier: GPL-3.0-or-later
// The services an effect uses when its creator gives none: on Linux the file settings
// store, zenity or kdialog message boxes and file dialogs; on Windows the registry, message
// boxes and the common file dialogs.
#pragma once

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"

#include <memory>

std::unique_ptr<SettingsStore> createSettingsStore();
std::unique_ptr<MessageBoxes> createMessageBoxes();
std::unique_ptr<FileDialogs> createFileDialogs();
