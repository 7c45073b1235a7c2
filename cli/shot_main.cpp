// SPDX-License-Identifier: GPL-3.0-or-later
// tessel-shot: draws the editor's panel for a program or a parameter state into a PNG
// picture, without a screen.
#include "cli/PanelShot.h"
#include "cli/PngFile.h"
#include "cli/Printable.h"
#include "cli/RenderHost.h"
#include "cli/ShotOptions.h"
#include "cli/SoundSetup.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadCommandLine = 2;

int fail(const std::string& message, int code) {
    std::fprintf(stderr, "tessel-shot: %s\n", message.c_str());
    return code;
}

void note(const std::string& message) {
    std::fprintf(stderr, "tessel-shot: %s\n", message.c_str());
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    cli::ShotParseResult parsed = cli::parseShotOptions(args);
    if (!parsed.ok()) return fail(parsed.error, kExitBadCommandLine);
    const cli::ShotOptions& options = parsed.options;
    if (options.help) {
        std::fputs(cli::shotUsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(cli::versionText("tessel-shot").c_str(), stdout);
        return 0;
    }

    cli::RenderHost host;
    if (host.effect() == nullptr) return fail("the effect could not be created", kExitFailed);
    for (const std::string& message : host.startupMessages())
        note("warning: " + cli::printable(message));
    if (options.listPrograms) {
        for (int i = 0; std::optional<std::string> name = host.programName(i); ++i)
            std::printf("%d\t%s\n", i, cli::printable(*name).c_str());
        return 0;
    }
    cli::SoundSetup setup = cli::applySoundActions(host, options.sound);
    if (!setup.error.empty()) return fail(setup.error, kExitBadCommandLine);
    for (const std::string& line : setup.notes) note(line);
    for (const std::string& line : setup.warnings) note("warning: " + line);

    cli::PanelPicture picture = cli::shootPanel(host, options.scale, options.drag);
    if (!picture.error.empty()) return fail(picture.error, kExitBadCommandLine);
    if (!picture.dragged.empty()) note("held while dragging: " + cli::printable(picture.dragged));
    std::string error = cli::writePng(options.output, picture.image.pixels.data(),
                                      picture.image.width, picture.image.height);
    if (!error.empty()) return fail(error, kExitFailed);
    note("panel " + std::to_string(picture.image.width) + " x " +
         std::to_string(picture.image.height) + " -> " + cli::printable(options.output));
    return 0;
}
