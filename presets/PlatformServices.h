// SPDX-License-Identifier: GPL-3.0-or-later
// The platform services an effect instance works with: its settings store, the message
// boxes for errors and the file dialogs. Any pointer left null is replaced by the system's
// own service (platform/DefaultServices.h), which the effect owns; tests pass stand-ins. The
// services given must outlive the effect.
#pragma once

class SettingsStore;
class MessageBoxes;
class FileDialogs;

struct PlatformServices {
    SettingsStore* settings = nullptr;
    MessageBoxes* messages = nullptr;
    FileDialogs* fileDialogs = nullptr;
};
