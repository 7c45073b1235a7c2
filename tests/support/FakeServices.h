// SPDX-License-Identifier: GPL-3.0-or-later
// A settings store in memory, recording message boxes and scripted file dialogs, bundled
// for constructing an effect in a test without touching the user's configuration or desktop.
#pragma once

#include "presets/PlatformServices.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBoxes.h"
#include "support/ScriptedFileDialogs.h"

struct FakeServices {
    MemorySettingsStore settings;
    RecordingMessageBoxes messages;
    ScriptedFileDialogs dialogs;

    PlatformServices services() { return {&settings, &messages, &dialogs}; }
    // The next dialog chooses path (a full path).
    void choose(const std::string& path) {
        dialogs.script.push_back({FileDialogStatus::chosen, path});
    }
};
