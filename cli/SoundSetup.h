// SPDX-License-Identifier: GPL-3.0-or-later
// Applies the sound options (--program, --bank, --preset, --set) to the effect in
// command-line order, resolving program and parameter names as the host sees them, and
// says what was set and which settings cannot be heard as things stand.
#pragma once

#include "cli/Options.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

class RenderHost;

// The program named `nameOrIndex` (exactly, else ignoring case and surrounding spaces), or
// the index itself when the text is a whole number within the bank. On failure none, with
// the reason (and near misses, when there are any) in error.
std::optional<int> findProgram(const RenderHost& host, std::string_view nameOrIndex,
                               std::string& error);

// The parameter of that host name, by the same rules as programs.
std::optional<int> findParameter(const RenderHost& host, std::string_view name, std::string& error);

struct SoundSetup {
    std::string error;                 // the first failure; empty when everything applied
    std::vector<std::string> notes;    // one per --set: the value set, as the effect shows it
    std::vector<std::string> warnings; // settings that have no effect, values out of reach
};

SoundSetup applySoundActions(RenderHost& host, const std::vector<SoundAction>& actions);

} // namespace cli
