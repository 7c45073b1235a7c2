// SPDX-License-Identifier: GPL-3.0-or-later
// The text form of one settings key, as stored in its "values" file:
//
//   # Tessel settings key SOFTWARE\Drellsonic\Tessel\MIDI
//   param000 dword 20
//   defbankdir text /home/me/banks/
//
// One value per line, "name type value", separated by single spaces and ended by a line
// feed. Names are 1 to 255 printable ASCII characters without spaces. Types: "dword" is a
// decimal number 0..4294967295; "text" is the rest of the line, in which a backslash is
// written "\\" and every control byte (below 0x20, and 0x7F) "\xHH", so any byte string
// round-trips and a line never breaks; other bytes, UTF-8 included, are written as they are.
// Lines starting with '#' and empty lines are comments. A carriage return before the line
// feed is ignored. A malformed line is skipped, so its value reads as absent; of two lines
// with the same name the later wins. Numbers never depend on the locale.
#pragma once

#include "platform/SettingsStore.h"

#include <string>
#include <string_view>
#include <vector>

bool isValidSettingsName(std::string_view name);

// The text of a key's file; values with invalid names are left out.
std::string formatSettingsText(std::string_view keyPath, const std::vector<SettingsValue>& values);

// The values of a key's file in file order, malformed lines skipped (and counted in
// malformedLines when given).
std::vector<SettingsValue> parseSettingsText(std::string_view text, int* malformedLines = nullptr);
