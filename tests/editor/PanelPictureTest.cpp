// The panel as tessel-shot draws it, against the reviewed reference picture in reference/:
// a change to the art, the layout or a control's drawing shows up here and is accepted by
// regenerating the picture, never by accident.
#include "cli/PanelShot.h"
#include "cli/PngFile.h"
#include "cli/RenderHost.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

const std::string kReference =
    std::string(TESSEL_SOURCE_DIR) + "/tests/editor/reference/panel-1x.png";

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

TEST(PanelPicture, DefaultProgramMatchesTheReviewedReference) {
    // A configuration of its own: the default bank is the factory's.
    TempFolder config;
    ScopedEnv home("TESSEL_CONFIG_HOME", config.path().c_str());
    cli::RenderHost host;
    ASSERT_NE(host.effect(), nullptr);
    cli::PanelPicture picture = cli::shootPanel(host, 1, std::nullopt);
    ASSERT_TRUE(picture.error.empty()) << picture.error;

    std::string error;
    std::optional<cli::RgbImage> reference = cli::readPng(kReference, error);
    ASSERT_TRUE(reference) << error;
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
        const std::string actual = std::filesystem::current_path() / "panel-1x-actual.png";
        const std::string diff = std::filesystem::current_path() / "panel-1x-diff.png";
        cli::writePng(actual, picture.image.pixels.data(), picture.image.width,
                      picture.image.height);
        cli::writePng(diff, marks.data(), picture.image.width, picture.image.height);
        FAIL() << different << " pixels differ from the reference " << kReference << ".\n"
               << "The panel as drawn now: " << actual << "; the differences in red: " << diff
               << ".\nIf the change to the panel is deliberate, review the new picture and "
                  "regenerate the reference from the build folder with\n"
                  "  TESSEL_CONFIG_HOME=$(mktemp -d) ./tessel-shot "
               << kReference;
    }
}

} // namespace
