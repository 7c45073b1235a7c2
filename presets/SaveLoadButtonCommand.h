// SPDX-License-Identifier: GPL-3.0-or-later
// Which file command a save/load button of the preset bar runs. Kinds 0..5 load and save
// banks, presets and MIDI settings; kind 6 chooses the default bank, and clears it instead
// when clicked with exactly the left button and Control held.
#pragma once

#include "presets/CPresetSystemListener.h"

#include <cstdint>

enum class PresetFileCommand {
    none,
    loadBank,
    saveBank,
    loadPreset,
    savePreset,
    loadMidiSettings,
    saveMidiSettings,
    selectDefaultBank,
    clearDefaultBank,
};

// Mouse buttons and modifier keys of a click as one bit set.
inline constexpr std::int32_t kClickLeftButton = 1;
inline constexpr std::int32_t kClickControlKey = 16;

// The command for a button of the given kind clicked with the given buttons and keys; none
// for a kind outside 0..6.
PresetFileCommand saveLoadButtonCommand(int kind, std::int32_t buttons);

// Runs the command on the listener; none does nothing.
void runPresetFileCommand(CPresetSystemListener& listener, PresetFileCommand command,
                          std::uint64_t ownerWindow);
