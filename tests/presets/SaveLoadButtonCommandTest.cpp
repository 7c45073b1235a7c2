// Which command each save/load button of the preset bar runs.
#include "presets/SaveLoadButtonCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

class CommandRecorder final : public CPresetSystemListener {
public:
    std::vector<std::string_view> calls;
    void loadBank(std::uint64_t) override { calls.push_back("loadBank"); }
    void saveBank(std::uint64_t) override { calls.push_back("saveBank"); }
    void selectDefaultBank(std::uint64_t) override { calls.push_back("selectDefaultBank"); }
    void loadPreset(std::uint64_t) override { calls.push_back("loadPreset"); }
    void savePreset(std::uint64_t) override { calls.push_back("savePreset"); }
    void loadMidiSettings(std::uint64_t) override { calls.push_back("loadMidiSettings"); }
    void saveMidiSettings(std::uint64_t) override { calls.push_back("saveMidiSettings"); }
    void clearDefaultBank(std::uint64_t) override { calls.push_back("clearDefaultBank"); }
};

} // namespace

TEST(SaveLoadButton, KindsRunTheirCommands) {
    CommandRecorder recorder;
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
