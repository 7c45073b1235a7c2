#include "cli/PresetFiles.h"

#include "presets/CPresetSystemEffect.h"

namespace cli {

std::string loadPresetFile(CPresetSystemEffect& effect, PresetFileKind kind,
                           const std::string& path) {
    // The file codecs are not part of this build yet.
    (void)effect;
    return std::string(kind == PresetFileKind::bank ? "bank" : "preset") + " file '" + path +
           "': bank and preset files are not supported yet";
}

} // namespace cli
