#include "cli/PresetFiles.h"

#include "platform/FileIo.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/FileFormats.h"
#include "presets/ProgramRecords.h"

namespace cli {

std::string loadPresetFile(CPresetSystemEffect& effect, PresetFileKind kind,
                           const std::string& path) {
    auto bytes = readWholeFile(path);
    if (!bytes) return "cannot read '" + path + "'";
    if (kind == PresetFileKind::bank) {
        auto bank = decodeBank(*bytes);
        if (!bank.ok()) return "'" + path + "': " + std::string(fileFormatMessage(bank.error));
        storeBankRecords(effect, bank.value);
        effect.selectProgram(0);
        return "";
    }
    auto preset = decodePreset(*bytes);
    if (!preset.ok()) return "'" + path + "': " + std::string(fileFormatMessage(preset.error));
    VstInt32 index = effect.getCurrentProgramIndex();
    CProgram* program = effect.getProgramAt(index);
    if (program == nullptr) return "no current program";
    storeRecord(*program, preset.value);
    effect.selectProgram(index);
    return "";
}

} // namespace cli
