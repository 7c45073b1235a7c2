// Loading bank (.dlb) and preset (.dlp) files into the effect for --bank and --preset.
#pragma once

#include <string>

class CPresetSystemEffect;

namespace cli {

enum class PresetFileKind { bank, preset };

// A bank replaces all programs and selects program 0; a preset replaces the current program
// and selects it again, as the editor's load commands do. Answers an empty string on
// success, else the reason the file was not loaded.
std::string loadPresetFile(CPresetSystemEffect& effect, PresetFileKind kind,
                           const std::string& path);

} // namespace cli
