// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/SaveLoadButtonCommand.h"

PresetFileCommand saveLoadButtonCommand(int kind, std::int32_t buttons) {
    switch (kind) {
    case 0:
        return PresetFileCommand::loadBank;
    case 1:
        return PresetFileCommand::saveBank;
    case 2:
        return PresetFileCommand::loadPreset;
    case 3:
        return PresetFileCommand::savePreset;
    case 4:
        return PresetFileCommand::loadMidiSettings;
    case 5:
        return PresetFileCommand::saveMidiSettings;
    case 6:
        return buttons == (kClickLeftButton | kClickControlKey)
                   ? PresetFileCommand::clearDefaultBank
                   : PresetFileCommand::selectDefaultBank;
    default:
        return PresetFileCommand::none;
    }
}

void runPresetFileCommand(CPresetSystemListener& listener, PresetFileCommand command,
                          std::uint64_t ownerWindow) {
    switch (command) {
    case PresetFileCommand::none:
        break;
    case PresetFileCommand::loadBank:
        listener.loadBank(ownerWindow);
        break;
    case PresetFileCommand::saveBank:
        listener.saveBank(ownerWindow);
        break;
    case PresetFileCommand::loadPreset:
        listener.loadPreset(ownerWindow);
        break;
    case PresetFileCommand::savePreset:
        listener.savePreset(ownerWindow);
        break;
    case PresetFileCommand::loadMidiSettings:
        listener.loadMidiSettings(ownerWindow);
        break;
    case PresetFileCommand::saveMidiSettings:
        listener.saveMidiSettings(ownerWindow);
        break;
    case PresetFileCommand::selectDefaultBank:
        listener.selectDefaultBank(ownerWindow);
        break;
    case PresetFileCommand::clearDefaultBank:
        listener.clearDefaultBank(ownerWindow);
        break;
    }
}
