// SPDX-License-Identifier: GPL-3.0-or-later
// --bank and --preset: bank (.dlb) and preset (.dlp) files loaded by the preset system's own
// file commands, as the editor's load buttons load them, with the file named on the
// command line in place of a dialog's choice.
#pragma once

#include <string>

namespace cli {

class RenderHost;

enum class PresetFileKind { bank, preset };

// A bank replaces all programs and selects program 0; a preset replaces the current program
// and selects it again. Answers an empty string on success, else the reason the file was
// not loaded (nothing changed then).
std::string loadPresetFile(RenderHost& host, PresetFileKind kind, const std::string& path);

} // namespace cli
