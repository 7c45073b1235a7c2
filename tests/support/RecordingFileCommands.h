// SPDX-License-Identifier: GPL-3.0-or-later
// A preset-bar command listener that records the name of every command it is asked to run.
#pragma once

#include "presets/CPresetSystemListener.h"

#include <cstdint>
#include <string_view>
#include <vector>

class RecordingFileCommands final : public CPresetSystemListener {
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
