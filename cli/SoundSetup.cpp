#include "cli/SoundSetup.h"

#include "cli/Numbers.h"
#include "cli/PresetFiles.h"
#include "cli/RenderHost.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace cli {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Spaces and case are what people get wrong when typing a name from memory.
bool looselySame(std::string_view a, std::string_view b) {
    auto squeeze = [](std::string_view text) {
        std::string out;
        for (char c : text)
            if (c != ' ' && c != '_' && c != '-')
                out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    return squeeze(a) == squeeze(b);
}

} // namespace

std::optional<int> findProgram(const RenderHost& host, std::string_view nameOrIndex,
                               std::string& error) {
    if (std::optional<long long> index = parseInteger(nameOrIndex)) {
        if (*index >= 0 && *index <= INT32_MAX && host.programName(static_cast<int>(*index)))
            return static_cast<int>(*index);
        int count = 0;
        while (host.programName(count)) ++count;
        error = "program index " + std::string(nameOrIndex) + " is outside 0.." +
                std::to_string(count - 1);
        return std::nullopt;
    }
    std::optional<int> caseless;
    for (int i = 0; std::optional<std::string> name = host.programName(i); ++i) {
        if (*name == nameOrIndex) return i;
        if (!caseless && sameIgnoringCase(*name, nameOrIndex)) caseless = i;
    }
    error = "unknown program '" + std::string(nameOrIndex) + "'";
    if (caseless) error += " (did you mean '" + *host.programName(*caseless) + "'?)";
    error += "; see --list-programs";
    return std::nullopt;
}

std::optional<int> findParameter(const RenderHost& host, std::string_view name,
                                 std::string& error) {
    std::optional<int> close;
    for (int i = 0; i < host.numParameters(); ++i) {
        std::string candidate = host.parameterName(i);
        if (candidate == name) return i;
        if (!close && looselySame(candidate, name)) close = i;
    }
    error = "unknown parameter '" + std::string(name) + "'";
    if (close) error += " (did you mean '" + host.parameterName(*close) + "'?)";
    error += "; see --list-params";
    return std::nullopt;
}

std::string applySoundActions(RenderHost& host, const std::vector<SoundAction>& actions) {
    for (const SoundAction& action : actions) {
        std::string error;
        switch (action.kind) {
        case SoundAction::Kind::program:
            if (std::optional<int> index = findProgram(host, action.name, error)) {
                if (!host.selectProgram(*index)) return "the effect cannot select programs";
            }
            break;
        case SoundAction::Kind::bank:
        case SoundAction::Kind::preset:
            if (CPresetSystemEffect* presets = host.presetSystem()) {
                error =
                    loadPresetFile(*presets,
                                   action.kind == SoundAction::Kind::bank ? PresetFileKind::bank
                                                                          : PresetFileKind::preset,
                                   action.name);
            } else {
                error = "the effect cannot load bank or preset files";
            }
            break;
        case SoundAction::Kind::set:
            if (std::optional<int> index = findParameter(host, action.name, error))
                host.setParameter(*index, action.value);
            break;
        }
        if (!error.empty()) return error;
    }
    return {};
}

} // namespace cli
