// Applies the sound options (--program, --bank, --preset, --set) to the effect in
// command-line order, resolving program and parameter names as the host sees them.
#pragma once

#include "cli/Options.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

class RenderHost;

// The index of the program named exactly `nameOrIndex`, or the index itself when the text is a
// whole number within the bank. On failure none, with the reason in error.
std::optional<int> findProgram(const RenderHost& host, std::string_view nameOrIndex,
                               std::string& error);

// The index of the parameter whose host name is exactly `name`. On failure none, with the
// reason (and a close match, when one exists) in error.
std::optional<int> findParameter(const RenderHost& host, std::string_view name, std::string& error);

// Answers an empty string when every action applied, else the first failure.
std::string applySoundActions(RenderHost& host, const std::vector<SoundAction>& actions);

} // namespace cli
