// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Options.h"

#include "cli/Numbers.h"
#include "cli/Printable.h"
#include "engine/Version.h"

namespace cli {

namespace {

// Reads a number for option `name` within [low, high]; writes an error otherwise.
std::optional<double> numberIn(const std::string& name, const std::string& text, double low,
                               double high, std::string& error) {
    std::optional<double> value = parseNumber(text);
    if (!value) {
        error = name + ": " + inQuotes(text) + " is not a number";
        return std::nullopt;
    }
    if (*value < low || *value > high) {
        error = name + ": " + text + " is outside " + formatShortest(static_cast<float>(low)) +
                ".." + formatShortest(static_cast<float>(high));
        return std::nullopt;
    }
    return value;
}

// NAME=VALUE, with or without spaces around the '='; the value is read against the
// parameter later, so it may carry a unit ("250 ms") or name a choice ("plate").
void parseSet(const std::string& text, std::vector<SoundAction>& sound, std::string& error) {
    auto trimmed = [](std::string_view part) {
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        return std::string(part);
    };
    std::size_t equals = text.find('=');
    std::string name = trimmed(std::string_view(text).substr(0, equals));
    if (equals == std::string::npos || name.empty()) {
        error = "--set needs NAME=VALUE, got " + inQuotes(text);
        return;
    }
    std::string value = trimmed(std::string_view(text).substr(equals + 1));
    if (value.empty()) {
        error = "--set " + inQuotes(name) + " needs a value after '='";
        return;
    }
    sound.push_back({SoundAction::Kind::set, name, value});
}

// Applies one option that takes a value.
void applyValued(const std::string& name, const std::string& value, Options& options,
                 std::string& error) {
    if (addSoundOption(name, value, options.sound, error)) {
        return;
    } else if (name == "--tempo") {
        if (auto bpm = numberIn(name, value, kMinTempoBpm, kMaxTempoBpm, error))
            options.tempoBpm = *bpm;
    } else if (name == "--block") {
        std::optional<long long> frames = parseInteger(value);
        if (!frames)
            error = name + ": " + inQuotes(value) + " is not a whole number";
        else if (*frames < 1 || *frames > kMaxBlockSize)
            error = name + ": " + value + " is outside 1.." + std::to_string(kMaxBlockSize);
        else
            options.blockSize = static_cast<int>(*frames);
    } else if (name == "--rate") {
        if (auto hz = numberIn(name, value, kMinRateHz, kMaxRateHz, error))
            options.demoRateHz = *hz;
    } else if (name == "--tail") {
        if (auto seconds = numberIn(name, value, 0.0, kMaxTailSeconds, error))
            options.tailSeconds = *seconds;
    } else if (name == "--format") {
        if (value == "24")
            options.format = SampleFormat::pcm24;
        else if (value == "float")
            options.format = SampleFormat::float32;
        else
            error = name + ": " + inQuotes(value) + " must be 24 or float";
    }
}

bool takesValue(const std::string& name) {
    for (const char* option : {"--program", "--bank", "--preset", "--set", "--tempo", "--block",
                               "--rate", "--tail", "--format"})
        if (name == option) return true;
    return false;
}

void assignFiles(const std::vector<std::string>& files, Options& options, std::string& error) {
    if (options.listPrograms || options.listParams) {
        if (!files.empty())
            error = "the list options take no files (got " + inQuotes(files.front()) + ")";
        return;
    }
    if (files.empty()) {
        error = "missing output file (see --help)";
    } else if (files.size() > 2) {
        error = "too many files: " + inQuotes(files[2]) + " (expected [INPUT] OUTPUT)";
    } else {
        options.output = files.back();
        if (files.size() == 2) options.input = files.front();
        if (options.input && options.demoRateHz)
            error = "--rate sets the demo phrase's rate; a rendered file keeps its input's rate";
    }
}

} // namespace

bool addSoundOption(const std::string& name, const std::string& value,
                    std::vector<SoundAction>& sound, std::string& error) {
    using Kind = SoundAction::Kind;
    if (name == "--program" || name == "--bank" || name == "--preset") {
        if (value.empty()) {
            error = name + " needs a non-empty value";
            return true;
        }
        Kind kind = name == "--program" ? Kind::program
                    : name == "--bank"  ? Kind::bank
                                        : Kind::preset;
        sound.push_back({kind, value, {}});
        return true;
    }
    if (name == "--set") {
        parseSet(value, sound, error);
        return true;
    }
    return false;
}

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    Options& options = result.options;
    std::string& error = result.error;
    std::vector<std::string> files;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--list-programs") {
            options.listPrograms = true;
        } else if (arg == "--list-params") {
            options.listParams = true;
        } else {
            std::size_t equals = arg.find('=');
            std::string name = arg.substr(0, equals);
            if (!takesValue(name)) {
                error = "unknown option " + inQuotes(name) + " (see --help)";
            } else if (equals != std::string::npos) {
                applyValued(name, arg.substr(equals + 1), options, error);
            } else if (i + 1 < args.size()) {
                applyValued(name, args[++i], options, error);
            } else {
                error = name + " needs a value";
            }
        }
    }
    // Help and the version win over everything else on the line, errors included; the first
    // of them decides.
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help" || arg == "--version") {
            (arg == "--version" ? options.version : options.help) = true;
            error.clear();
            return result;
        }
    }
    if (error.empty()) assignFiles(files, options, error);
    return result;
}

std::string usageText() {
    return R"(Usage: tessel-render [OPTIONS] [INPUT] OUTPUT

Renders INPUT through the Tessel stereo delay into OUTPUT. Without INPUT a built-in demo
phrase is rendered. INPUT may be WAV, FLAC, AIFF or OGG, mono or stereo; OUTPUT is
stereo at the input's sample rate, WAV or FLAC as its extension says (.wav, .flac).

Sound (applied in command-line order; later options win):
  --program NAME|INDEX  select a program by name (case and surrounding spaces do not
                        matter) or by index 0..60
  --bank FILE.dlb       load a bank file (then program 0, or the one --program names)
  --preset FILE.dlp     load a preset file into the current program
  --set NAME=VALUE      set a parameter by the name --list-params shows ("DlyL Time",
                        "CC# Main In"); VALUE in its unit ("250 ms", "-6 dB", "2 kHz",
                        "50 %"), one of its choices ("plate", "note", "8", "on",
                        "CC 7"), or normalised in [0, 1]; may be repeated

Rendering:
  --tempo BPM           host tempo, 30..400 (default 120)
  --block N             block size in frames, 1..8192 (default 512)
  --rate HZ             sample rate of the demo phrase, 4096..384000 (default 44100)
  --tail SECONDS        render exactly this long after the input ends (default: until
                        nothing more can come out of the delay and reverb, at most 30 s
                        or as long as the settings ring, up to 5 minutes); a tail cut
                        while still sounding fades out over its last half second
  --format 24|float     24-bit PCM (default) or 32-bit float samples

Information:
  --list-programs       print index and name of every program
  --list-params         print index, name, value, value text and label of every
                        parameter after the sound options are applied
  -h, --help            print this text
      --version         print the version and the license

Notes, warnings and the closing summary go to standard error; the listings to standard
output. The tool reads the plug-in's settings (default bank, controller map) and never
writes them.
)";
}

std::string versionText(const std::string& tool) {
    return tool + " " + version::text() + R"(
License GPL-3.0-or-later: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl.html>.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
)";
}

} // namespace cli
