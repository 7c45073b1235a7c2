// SPDX-License-Identifier: GPL-3.0-or-later
// Which command each save/load button of the preset bar runs.
#include "presets/SaveLoadButtonCommand.h"
#include "support/RecordingFileCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

TEST(SaveLoadButton, KindsRunTheirCommands) {
    RecordingFileCommands recorder;
    for (int kind = -1; kind <= 7; ++kind)
        runPresetFileCommand(recorder, saveLoadButtonCommand(kind, kClickLeftButton), 0);
    EXPECT_EQ(recorder.calls, (std::vector<std::string_view>{
                                  "loadBank", "saveBank", "loadPreset", "savePreset",
                                  "loadMidiSettings", "saveMidiSettings", "selectDefaultBank"}));
}

TEST(SaveLoadButton, OnlyExactlyLeftAndControlClearsTheDefaultBank) {
    EXPECT_EQ(saveLoadButtonCommand(6, 1 | 16), PresetFileCommand::clearDefaultBank);
    EXPECT_EQ(saveLoadButtonCommand(6, 1 | 16 | 8), PresetFileCommand::selectDefaultBank);
    EXPECT_EQ(saveLoadButtonCommand(6, 1 | 16 | 32), PresetFileCommand::selectDefaultBank);
    EXPECT_EQ(saveLoadButtonCommand(6, 16), PresetFileCommand::selectDefaultBank);
    EXPECT_EQ(saveLoadButtonCommand(6, 1), PresetFileCommand::selectDefaultBank);
    EXPECT_EQ(saveLoadButtonCommand(0, 1 | 16), PresetFileCommand::loadBank);
}
