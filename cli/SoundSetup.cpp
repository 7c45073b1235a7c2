// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SoundSetup.h"

#include "cli/NameMatching.h"
#include "cli/Numbers.h"
#include "cli/ParameterValues.h"
#include "cli/PresetFiles.h"
#include "cli/Printable.h"
#include "cli/RenderHost.h"

#include <cstdint>

namespace cli {

namespace {

// A setting that is heard only while a switch shows a given value.
struct Requirement {
    std::string_view parameter;
    std::string_view switchName;
    std::string_view wanted;
    // The effect drops the value itself while the switch shows otherwise (a delay time
    // while its line follows the tempo), so it must be set after the switch.
    bool droppedOtherwise = false;
};

constexpr Requirement kRequirements[] = {
    {"DlyL Time", "DlyL Mode", "time", true},
    {"DlyR Time", "DlyR Mode", "time", true},
    {"DlyL Range", "DlyL Mode", "time", true},
    {"DlyR Range", "DlyR Mode", "time", true},
    {"DlyL Num", "DlyL Mode", "note"},
    {"DlyL Den", "DlyL Mode", "note"},
    {"DlyR Num", "DlyR Mode", "note"},
    {"DlyR Den", "DlyR Mode", "note"},
    {"Mod LfoRate", "Mod LfoMode", "freq", true},
    {"Mod LfoNum", "Mod LfoMode", "note"},
    {"Mod LfoDen", "Mod LfoMode", "note"},
    {"Flt Type", "Flt On", "on"},
    {"Flt Cutoff", "Flt On", "on"},
    {"Flt Res", "Flt On", "on"},
    {"Flt Mode", "Flt On", "on"},
    {"Flt Mod", "Flt On", "on"},
    {"Flt Mod", "Mod On", "on"},
    {"Drv Gain", "Drv On", "on"},
    {"Mod LfoWave", "Mod On", "on"},
    {"Mod LfoRate", "Mod On", "on"},
    {"Mod LfoOffset", "Mod On", "on"},
    {"Mod Source", "Mod On", "on"},
    {"Mod EnvSpeed", "Mod On", "on"},
    {"Mod Sens", "Mod On", "on"},
    {"Mod LfoMode", "Mod On", "on"},
    {"Mod LfoNum", "Mod On", "on"},
    {"Mod LfoDen", "Mod On", "on"},
    {"Vco Manual", "Vco On", "on"},
    {"Vco Mod", "Vco On", "on"},
    {"Rvb Mode", "Rvb On", "on"},
    {"Rvb Type", "Rvb On", "on"},
    {"Rvb Damp", "Rvb On", "on"},
    {"Rvb Amt", "Rvb On", "on"},
};

constexpr std::string_view kBypass = "Main Bypass";
constexpr int kSoundParameters = 48;

std::vector<std::string> programNames(const RenderHost& host) {
    std::vector<std::string> names;
    while (std::optional<std::string> name = host.programName(static_cast<int>(names.size())))
        names.push_back(std::move(*name));
    return names;
}

std::vector<std::string> parameterNames(const RenderHost& host) {
    std::vector<std::string> names;
    for (int i = 0; i < host.numParameters(); ++i) names.push_back(host.parameterName(i));
    return names;
}

// The requirement's switch shows something else: its text then, else none.
std::optional<std::string> unmet(const RenderHost& host, const Requirement& requirement) {
    std::optional<int> index = host.parameterIndex(requirement.switchName);
    if (!index) return std::nullopt;
    std::string shown = host.parameterDisplay(*index);
    if (shown == requirement.wanted) return std::nullopt;
    return shown;
}

std::string switchAdvice(const Requirement& requirement) {
    return "\"" + std::string(requirement.switchName) + "=" + std::string(requirement.wanted) +
           "\"";
}

const char* optionName(SoundAction::Kind kind) {
    switch (kind) {
    case SoundAction::Kind::program:
        return "--program";
    case SoundAction::Kind::bank:
        return "--bank";
    case SoundAction::Kind::preset:
        return "--preset";
    case SoundAction::Kind::set:
        break;
    }
    return "--set";
}

} // namespace

std::optional<int> findProgram(const RenderHost& host, std::string_view nameOrIndex,
                               std::string& error) {
    const std::vector<std::string> names = programNames(host);
    if (std::optional<long long> index = parseInteger(trimSpaces(nameOrIndex))) {
        if (*index >= 0 && *index < static_cast<long long>(names.size()))
            return static_cast<int>(*index);
        error = "program index " + inQuotes(nameOrIndex) + " is outside 0.." +
                std::to_string(static_cast<int>(names.size()) - 1);
        return std::nullopt;
    }
    NameMatch match = matchName(names, nameOrIndex);
    if (match.index) return match.index;
    error = "unknown program " + inQuotes(nameOrIndex) + suggestion(names, match.nearMisses) +
            "; see --list-programs";
    return std::nullopt;
}

std::optional<int> findParameter(const RenderHost& host, std::string_view name,
                                 std::string& error) {
    const std::vector<std::string> names = parameterNames(host);
    NameMatch match = matchName(names, name);
    if (match.index) return match.index;
    error = "unknown parameter " + inQuotes(name) + suggestion(names, match.nearMisses) +
            "; see --list-params";
    return std::nullopt;
}

SoundSetup applySoundActions(RenderHost& host, const std::vector<SoundAction>& actions) {
    SoundSetup setup;
    ParameterValues values(host);
    struct Applied {
        int index;
        std::size_t action; // position on the command line
        bool warned;        // already told that it cannot be heard
    };
    std::vector<Applied> sets;
    std::optional<std::size_t> lastReplacing; // the last option that replaces every value
    std::string& error = setup.error;

    for (std::size_t a = 0; a < actions.size() && error.empty(); ++a) {
        const SoundAction& action = actions[a];
        switch (action.kind) {
        case SoundAction::Kind::program:
            if (std::optional<int> index = findProgram(host, action.name, error)) {
                if (!host.selectProgram(*index)) error = "the effect cannot select programs";
                setup.notes.push_back("program " + std::to_string(*index) + " " +
                                      inQuotes(host.programName(*index).value_or("")));
            }
            lastReplacing = a;
            break;
        case SoundAction::Kind::bank:
        case SoundAction::Kind::preset:
            error = loadPresetFile(host,
                                   action.kind == SoundAction::Kind::bank ? PresetFileKind::bank
                                                                          : PresetFileKind::preset,
                                   action.name);
            lastReplacing = a;
            break;
        case SoundAction::Kind::set: {
            std::optional<int> index = findParameter(host, action.name, error);
            if (!index) break;
            const std::string name = host.parameterName(*index);
            bool dropped = false;
            for (const Requirement& requirement : kRequirements) {
                if (requirement.parameter != name || !requirement.droppedOtherwise) continue;
                if (std::optional<std::string> shown = unmet(host, requirement)) {
                    setup.warnings.push_back(inQuotes(name) + " is ignored while \"" +
                                             std::string(requirement.switchName) + "\" is " +
                                             printable(*shown) + ": set " +
                                             switchAdvice(requirement) + " before it");
                    dropped = true;
                }
            }
            if (dropped) {
                sets.push_back({*index, a, true});
                break;
            }
            ValueSetting result = values.set(*index, action.value);
            if (!result.error.empty()) {
                error = "--set " + result.error;
                break;
            }
            setup.notes.push_back(inQuotes(name) + " set to " + printable(result.shown));
            setup.warnings.insert(setup.warnings.end(), result.warnings.begin(),
                                  result.warnings.end());
            sets.push_back({*index, a, false});
            break;
        }
        }
    }
    if (!error.empty()) return setup;

    // What the final state cannot let anyone hear.
    for (const Applied& set : sets) {
        const std::string name = host.parameterName(set.index);
        if (lastReplacing && set.action < *lastReplacing && set.index < kSoundParameters) {
            setup.warnings.push_back("--set " + inQuotes(name) + " comes before " +
                                     optionName(actions[*lastReplacing].kind) +
                                     ", which replaces it");
            continue;
        }
        if (set.warned) continue;
        for (const Requirement& requirement : kRequirements) {
            if (requirement.parameter != name) continue;
            if (std::optional<std::string> shown = unmet(host, requirement)) {
                setup.warnings.push_back(inQuotes(name) + " has no effect while \"" +
                                         std::string(requirement.switchName) + "\" is " +
                                         printable(*shown) + " (set " + switchAdvice(requirement) +
                                         ")");
                break;
            }
        }
    }
    if (std::optional<int> bypass = host.parameterIndex(kBypass);
        bypass && host.parameterDisplay(*bypass) == "on")
        setup.warnings.push_back("\"" + std::string(kBypass) +
                                 "\" is on: the output is the input, unprocessed");
    return setup;
}

} // namespace cli
