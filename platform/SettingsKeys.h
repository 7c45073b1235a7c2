// SPDX-License-Identifier: GPL-3.0-or-later
// Where the plug-in keeps its settings: key paths and value names.
#pragma once

#include <string>
#include <string_view>

// The default bank: text values "defbankdir" and "defbankfile".
inline constexpr std::string_view kSettingsKeyPath = "SOFTWARE\\Drellsonic\\Tessel";
inline constexpr std::string_view kDefaultBankDirValue = "defbankdir";
inline constexpr std::string_view kDefaultBankFileValue = "defbankfile";
// The editor's scale: the number 1 or 2 (or that digit as text); absent means the screen's.
inline constexpr std::string_view kUiScaleValue = "uiscale";

// The controller map: one 32-bit number per sound parameter, "param000" to "param047".
inline constexpr std::string_view kMidiSettingsKeyPath = "SOFTWARE\\Drellsonic\\Tessel\\MIDI";

// "param" followed by the parameter index in three digits ("param007"); indices outside
// 0..999 give the empty string.
inline std::string midiControllerValueName(int param) {
    if (param < 0 || param > 999) return {};
    std::string name = "param000";
    name[5] = static_cast<char>('0' + param / 100);
    name[6] = static_cast<char>('0' + param / 10 % 10);
    name[7] = static_cast<char>('0' + param % 10);
    return name;
}
