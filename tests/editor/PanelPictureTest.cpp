// SPDX-License-Identifier: GPL-3.0-or-later
// The panel as tessel-shot draws it, against the reviewed reference picture in reference/:
// a change to the art, the layout or a control's drawing shows up here and is accepted by
// regenerating the picture, never by accident.
#include "cli/PanelShot.h"
#include "cli/PngFile.h"
#include "cli/RenderHost.h"
#include "engine/Drell.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The art is pinned pixel for pixel by its own test; the tolerance allows a rounding step in
// a blend or a stray pixel, never a control at another frame (one knob step changes about
// thirty pixels by far more than this).
constexpr int kChannelTolerance = 8;
constexpr std::size_t kMaxDifferentPixels = 12;

int channelDistance(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16})
        most = std::max(most, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return most;
}

// The picture against reference/<name>: fails with the picture as drawn now and its
// differences written next to the test.
void expectLikeReference(const cli::PanelPicture& picture, const std::string& name) {
    ASSERT_TRUE(picture.error.empty()) << picture.error;
    const std::string path = std::string(TESSEL_SOURCE_DIR) + "/tests/editor/reference/" + name;
    const std::string stem = name.substr(0, name.rfind('.'));
    const std::string actual = std::filesystem::current_path() / (stem + "-actual.png");
    std::string error;
    std::optional<cli::RgbImage> reference = cli::readPng(path, error);
    if (!reference) {
        cli::writePng(actual, picture.image.pixels.data(), picture.image.width,
                      picture.image.height);
        FAIL() << error << "\nThe panel as drawn now: " << actual << "; review it and copy it to "
               << path << ".";
    }
    ASSERT_EQ(picture.image.width, reference->width);
    ASSERT_EQ(picture.image.height, reference->height);

    std::vector<std::uint32_t> marks(picture.image.pixels.size(), 0);
    std::size_t different = 0;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const int distance = channelDistance(picture.image.pixels[i], reference->pixels[i]);
        if (distance > kChannelTolerance)
            ++different, marks[i] = 0xff0000;
        else
            marks[i] = (picture.image.pixels[i] >> 2) & 0x3f3f3f; // dimmed context
    }
    if (different > kMaxDifferentPixels) {
        const std::string diff = std::filesystem::current_path() / (stem + "-diff.png");
        cli::writePng(actual, picture.image.pixels.data(), picture.image.width,
                      picture.image.height);
        cli::writePng(diff, marks.data(), picture.image.width, picture.image.height);
        FAIL() << different << " pixels differ from the reference " << path << ".\n"
               << "The panel as drawn now: " << actual << "; the differences in red: " << diff
               << ".\nIf the change to the panel is deliberate, review the new picture and "
                  "copy it over the reference.";
    }
}

TEST(PanelPicture, DefaultProgramMatchesTheReviewedReference) {
    // A configuration of its own: the default bank is the factory's.
    TempFolder config;
    ScopedEnv home("TESSEL_CONFIG_HOME", config.path().c_str());
    cli::RenderHost host;
    ASSERT_NE(host.effect(), nullptr);
    expectLikeReference(cli::shootPanel(host, 1, std::nullopt), "panel-1x.png");
}

TEST(PanelPicture, EveryParameterAtItsOwnValueMatchesTheReviewedReference) {
    // Each parameter at a value of its own, so a control bound to another parameter's tag
    // (or moved) shows in the picture; the note modes off, so the times show on their knobs.
    TempFolder config;
    ScopedEnv home("TESSEL_CONFIG_HOME", config.path().c_str());
    cli::RenderHost host;
    ASSERT_NE(host.drellEffect(), nullptr);
    for (int i = 0; i < kNumParams; ++i)
        host.drellEffect()->setParameter(i, float((i * 29) % kNumParams + 1) / (kNumParams + 1));
    host.drellEffect()->setParameter(kDlyLMode, 0.0f);
    host.drellEffect()->setParameter(kDlyRMode, 0.0f);
    host.drellEffect()->setParameter(kModLfoMode, 0.0f);
    expectLikeReference(cli::shootPanel(host, 1, std::nullopt), "panel-values-1x.png");
}

} // namespace
