// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PresetFiles.h"

#include "cli/Printable.h"
#include "cli/RenderHost.h"
#include "presets/PresetFileCommands.h"

#include <filesystem>

namespace cli {

std::string loadPresetFile(RenderHost& host, PresetFileKind kind, const std::string& path) {
    const std::string what = kind == PresetFileKind::bank ? "bank " : "preset ";
    PresetFileCommands* commands = host.fileCommands();
    if (commands == nullptr) return "the effect cannot load " + what + "files";

    namespace fs = std::filesystem;
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return "cannot read " + what + inQuotes(path) + ": no such file";
    if (fs::is_directory(status)) return "cannot read " + what + inQuotes(path) + ": a directory";
    fs::path full = fs::absolute(path, ec);
    if (ec) return "cannot read " + what + inQuotes(path) + ": " + ec.message();

    host.fileDialogs().answerWith(full.lexically_normal().string());
    if (kind == PresetFileKind::bank)
        commands->loadBank(0);
    else
        commands->loadPreset(0);
    commands->waitForDialog();
    std::string error;
    for (const std::string& message : host.takeMessages())
        error += (error.empty() ? "" : "; ") + printable(message);
    return error.empty() ? error : "cannot load " + what + inQuotes(path) + ": " + error;
}

} // namespace cli
