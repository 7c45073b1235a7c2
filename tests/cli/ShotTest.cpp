// SPDX-License-Identifier: GPL-3.0-or-later
// tessel-shot: its command line, its PNG files, and pictures of the panel taken through the
// effect's own editor without a screen.
#include "cli/PanelShot.h"
#include "cli/PngFile.h"
#include "cli/RenderHost.h"
#include "cli/ShotOptions.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ShotOptions, ReadsSoundScaleDragAndOutput) {
    cli::ShotParseResult r =
        cli::parseShotOptions({"--program", "Dub Hit", "--set=Main Mix=0.3", "--scale", "2",
                               "--fine-drag", "Flt Cutoff = -40", "out.png"});
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.options.sound.size(), 2u);
    EXPECT_EQ(r.options.sound[0].kind, cli::SoundAction::Kind::program);
    EXPECT_EQ(r.options.sound[1].name, "Main Mix");
    EXPECT_EQ(r.options.scale, 2);
    ASSERT_TRUE(r.options.drag);
    EXPECT_EQ(r.options.drag->parameter, "Flt Cutoff");
    EXPECT_EQ(r.options.drag->pixels, -40);
    EXPECT_TRUE(r.options.drag->fine);
    EXPECT_EQ(r.options.output, "out.png");
}

TEST(ShotOptions, RefusesWhatItCannotDraw) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{}, "missing output file"},
        {{"a.png", "b.png"}, "too many files"},
        {{"--scale", "3", "a.png"}, "must be 1 or 2"},
        {{"--drag", "Main Mix", "a.png"}, "needs NAME=PIXELS"},
        {{"--drag", "Main Mix=up", "a.png"}, "not a whole number of pixels"},
        {{"--drag", "Main Mix=99999", "a.png"}, "not a whole number of pixels"},
        {{"--set", "Main Mix", "a.png"}, "--set needs NAME=VALUE"},
        {{"--tempo", "90", "a.png"}, "unknown option"},
        {{"--list-programs", "a.png"}, "takes no file"},
    };
    for (const Case& c : cases) {
        cli::ShotParseResult r = cli::parseShotOptions(c.args);
        EXPECT_NE(r.error.find(c.error), std::string::npos)
            << "args[0] " << (c.args.empty() ? "" : c.args[0]) << ": " << r.error;
    }
}

TEST(PngFile, RoundTripsPixelsAndLeavesNothingBehindWhenItCannotWrite) {
    TempFolder folder;
    const std::vector<std::uint32_t> pixels = {0x000000, 0xff0000, 0x00ff00,
                                               0x0000ff, 0xffffff, 0x123456};
    ASSERT_EQ(cli::writePng(folder / "p.png", pixels.data(), 3, 2), "");
    std::string error;
    std::optional<cli::RgbImage> back = cli::readPng(folder / "p.png", error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->width, 3);
    EXPECT_EQ(back->height, 2);
    EXPECT_EQ(back->pixels, pixels);

    EXPECT_NE(cli::writePng(folder / "missing/p.png", pixels.data(), 3, 2), "");
    EXPECT_FALSE(cli::readPng(folder / "missing/p.png", error));
    TempFolder::writeText(folder / "not.png", "GIF89a");
    EXPECT_FALSE(cli::readPng(folder / "not.png", error));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              2)
        << "no temporary file is left";
}

TEST(PanelShot, ScaleTwoDoublesThePictureAndADragTurnsTheKnob) {
    cli::RenderHost host;
    ASSERT_NE(host.effect(), nullptr);
    cli::PanelPicture plain = cli::shootPanel(host, 2, std::nullopt);
    ASSERT_EQ(plain.error, "");
    EXPECT_EQ(plain.image.width, 1750);
    EXPECT_EQ(plain.image.height, 342);

    host.setParameter(2, 0.5f);
    cli::PanelPicture first = cli::shootPanel(host, 1, std::nullopt);
    cli::PanelPicture dragged = cli::shootPanel(host, 1, cli::DragGesture{"Main Mix", 40, false});
    ASSERT_EQ(dragged.error, "");
    EXPECT_GT(host.parameterValue(2), 0.5f) << "the drag went through the editor to the effect";
    EXPECT_EQ(dragged.dragged.rfind("Main Mix = ", 0), 0u) << dragged.dragged;
    EXPECT_NE(dragged.image.pixels, first.image.pixels);

    cli::PanelPicture none = cli::shootPanel(host, 1, cli::DragGesture{"CC# Main In", 10, false});
    EXPECT_NE(none.error.find("no control"), std::string::npos) << none.error;
    none = cli::shootPanel(host, 1, cli::DragGesture{"Main Mixx", 10, false});
    EXPECT_NE(none.error.find("did you mean"), std::string::npos) << none.error;
}

} // namespace
