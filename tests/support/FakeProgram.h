// SPDX-License-Identifier: GPL-3.0-or-later
// Writes an executable shell script standing in for a dialog program (zenity, kdialog) into
// a test's folder. The script's body sees LOG, a file in the same folder to record into.
#pragma once

#include "support/TempFolder.h"

#include <chrono>
#include <sys/stat.h>
#include <thread>

inline std::string installFakeProgram(const TempFolder& folder, const std::string& name,
                                      const std::string& body) {
    const std::string path = folder / name;
    TempFolder::writeText(path, "#!/bin/sh\nLOG='" + folder.path() + "/" + name + ".log'\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

// Records one invocation: every argument on its own line, then a line "--".
inline constexpr const char* kRecordArguments =
    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$LOG\"; done\necho -- >> \"$LOG\"\n";

// The file a detached child writes, once it has appeared (at most a few seconds).
inline std::string waitForFile(const std::string& path, const std::string& endMarker) {
    for (int i = 0; i < 500; ++i) {
        std::string text = TempFolder::readText(path);
        if (text.find(endMarker) != std::string::npos) return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return TempFolder::readText(path);
}
