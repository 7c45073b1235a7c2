// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a shell command for the release tests and captures what it prints.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace releasetest {

struct CommandResult {
    int exitCode = -1;  // the exit status, or -1 when the command did not end normally
    std::string output; // standard output and standard error together
};

inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

// `text` in single quotes for the shell.
inline std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace releasetest
