// SPDX-License-Identifier: GPL-3.0-or-later
// tessel-shot-compare <reference.png> <picture.ppm> [<picture.png>]: compares the editor's
// picture taken under Wine (a binary PPM) with tessel-shot's picture of the same program.
// Passes when both have the same size, the mean difference per channel is below 1 and at
// most 1 % of the pixels differ by more than 16 in a channel; prints both figures. With a
// third argument the Wine picture is also written as a PNG.
#include "cli/PngFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::optional<cli::RgbImage> readPpm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    if (!(file >> magic >> width >> height >> maximum) || magic != "P6" || maximum != 255 ||
        width <= 0 || height <= 0 || width > 10000 || height > 10000)
        return std::nullopt;
    file.get(); // the one whitespace before the pixels
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() != std::size_t(width) * std::size_t(height) * 3) return std::nullopt;
    cli::RgbImage image{width, height, {}};
    image.pixels.resize(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = std::uint32_t(std::uint8_t(bytes[3 * i])) << 16 |
                          std::uint32_t(std::uint8_t(bytes[3 * i + 1])) << 8 |
                          std::uint8_t(bytes[3 * i + 2]);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: tessel-shot-compare <reference.png> <picture.ppm> "
                             "[<picture.png>]\n");
        return 2;
    }
    std::string error;
    auto reference = cli::readPng(argv[1], error);
    if (!reference) {
        std::fprintf(stderr, "tessel-shot-compare: %s\n", error.c_str());
        return 2;
    }
    auto picture = readPpm(argv[2]);
    if (!picture) {
        std::fprintf(stderr, "tessel-shot-compare: %s is not a binary PPM picture\n", argv[2]);
        return 2;
    }
    if (argc == 4) {
        error = cli::writePng(argv[3], picture->pixels.data(), picture->width, picture->height);
        if (!error.empty()) std::fprintf(stderr, "tessel-shot-compare: %s\n", error.c_str());
    }
    if (picture->width != reference->width || picture->height != reference->height) {
        std::printf("picture %d x %d, reference %d x %d\n", picture->width, picture->height,
                    reference->width, reference->height);
        return 1;
    }
    double sum = 0.0;
    std::size_t far = 0;
    for (std::size_t i = 0; i < picture->pixels.size(); ++i) {
        int largest = 0;
        for (int shift : {16, 8, 0}) {
            int a = int(picture->pixels[i] >> shift & 255);
            int b = int(reference->pixels[i] >> shift & 255);
            sum += std::abs(a - b);
            largest = std::max(largest, std::abs(a - b));
        }
        if (largest > 16) ++far;
    }
    const double mean = sum / (3.0 * double(picture->pixels.size()));
    const double farShare = double(far) / double(picture->pixels.size());
    std::printf("picture against tessel-shot: mean difference %.3f per channel, %.3f %% of the "
                "pixels differ by more than 16\n",
                mean, 100.0 * farShare);
    return mean < 1.0 && farShare <= 0.01 ? 0 : 1;
}
