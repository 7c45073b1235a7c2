// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ShotOptions.h"

#include "cli/NameMatching.h"
#include "cli/Numbers.h"
#include "cli/Printable.h"

#include <algorithm>

namespace cli {

namespace {

// NAME=PIXELS; the name is everything before the last '=', so it may hold one itself.
void parseDrag(const std::string& option, const std::string& text, ShotOptions& options,
               std::string& error) {
    const std::size_t equals = text.rfind('=');
    const std::string name =
        std::string(trimSpaces(std::string_view(text).substr(0, std::min(equals, text.size()))));
    if (equals == std::string::npos || name.empty()) {
        error = option + " needs NAME=PIXELS, got " + inQuotes(text);
        return;
    }
    const std::string amount = std::string(trimSpaces(std::string_view(text).substr(equals + 1)));
    std::optional<long long> pixels = parseInteger(amount);
    if (!pixels || *pixels < -kMaxDragPixels || *pixels > kMaxDragPixels) {
        error = option + ": " + inQuotes(amount) + " is not a whole number of pixels in -" +
                std::to_string(kMaxDragPixels) + ".." + std::to_string(kMaxDragPixels);
        return;
    }
    options.drag = DragGesture{name, static_cast<int>(*pixels), option == "--fine-drag"};
}

void applyValued(const std::string& name, const std::string& value, ShotOptions& options,
                 std::string& error) {
    if (addSoundOption(name, value, options.sound, error)) return;
    if (name == "--scale") {
        if (value == "1" || value == "2")
            options.scale = value[0] - '0';
        else
            error = "--scale: " + inQuotes(value) + " must be 1 or 2";
    } else if (name == "--drag" || name == "--fine-drag") {
        parseDrag(name, value, options, error);
    }
}

bool takesValue(const std::string& name) {
    for (const char* option :
         {"--program", "--bank", "--preset", "--set", "--scale", "--drag", "--fine-drag"})
        if (name == option) return true;
    return false;
}

} // namespace

ShotParseResult parseShotOptions(const std::vector<std::string>& args) {
    ShotParseResult result;
    ShotOptions& options = result.options;
    std::string& error = result.error;
    std::vector<std::string> files;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--list-programs") {
            options.listPrograms = true;
        } else {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            if (!takesValue(name))
                error = "unknown option " + inQuotes(name) + " (see --help)";
            else if (equals != std::string::npos)
                applyValued(name, arg.substr(equals + 1), options, error);
            else if (i + 1 < args.size())
                applyValued(name, args[++i], options, error);
            else
                error = name + " needs a value";
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
    if (!error.empty() || options.listPrograms) {
        if (error.empty() && !files.empty())
            error = "--list-programs takes no file (got " + inQuotes(files.front()) + ")";
        return result;
    }
    if (files.empty())
        error = "missing output file (see --help)";
    else if (files.size() > 1)
        error = "too many files: " + inQuotes(files[1]) + " (expected one OUTPUT.png)";
    else
        options.output = files.front();
    return result;
}

std::string shotUsageText() {
    return R"(Usage: tessel-shot [OPTIONS] OUTPUT.png

Draws the Tessel editor's panel for a program or a parameter state into a PNG picture,
without a screen: exactly the pixels the editor shows in a host's window.

Sound (applied in command-line order; later options win):
  --program NAME|INDEX  select a program by name (case and surrounding spaces do not
                        matter) or by index 0..60
  --bank FILE.dlb       load a bank file (then program 0, or the one --program names)
  --preset FILE.dlp     load a preset file into the current program
  --set NAME=VALUE      set a parameter by the name tessel-render --list-params shows
                        ("Flt Cutoff=2 kHz", "Rvb Type=plate", "Main Mix=0.3"); may be
                        repeated

Picture:
  --scale 1|2           1 for 875 x 171 pixels (default), 2 for 1750 x 342
  --drag NAME=PIXELS    press the control of parameter NAME, move the pointer PIXELS up
                        (down when negative) and take the picture while the button is
                        still held: the display shows the value being set, and a pointer
                        is drawn where the mouse is
  --fine-drag NAME=PIXELS
                        the same drag with Shift held (fine adjustment)

Information:
  --list-programs       print index and name of every program
  -h, --help            print this text
      --version         print the version and the license

The tool reads the plug-in's settings (default bank, controller map) and never writes
them.
)";
}

} // namespace cli
