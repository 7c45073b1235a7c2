// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PngFile.h"

#include "cli/Printable.h"

#include <cstdio>
#include <png.h>
#include <unistd.h>

namespace cli {

namespace {

constexpr int kBytesPerPixel = 3;
// Larger than any panel at any scale; keeps the byte count far from overflowing.
constexpr int kMaxSide = 1 << 15;

} // namespace

std::string writePng(const std::string& path, const std::uint32_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return "no picture to write";
    std::vector<png_byte> bytes(std::size_t(width) * std::size_t(height) * kBytesPerPixel);
    for (std::size_t i = 0; i < std::size_t(width) * std::size_t(height); ++i) {
        bytes[i * 3 + 0] = png_byte(pixels[i] >> 16);
        bytes[i * 3 + 1] = png_byte(pixels[i] >> 8);
        bytes[i * 3 + 2] = png_byte(pixels[i]);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;

    const std::string temporary = path + ".part" + std::to_string(getpid());
    const bool written = png_image_write_to_file(&image, temporary.c_str(), 0, bytes.data(),
                                                 width * kBytesPerPixel, nullptr) != 0;
    std::string reason = written ? std::string() : std::string(image.message);
    png_image_free(&image);
    if (!written) {
        std::remove(temporary.c_str());
        return "cannot write " + inQuotes(path) + (reason.empty() ? "" : ": " + reason);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return "cannot write " + inQuotes(path);
    }
    return {};
}

std::optional<RgbImage> readPng(const std::string& path, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        error = "cannot read " + inQuotes(path) + ": " + image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide ||
        image.height > kMaxSide) {
        error = inQuotes(path) + " has an unusable size";
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) {
        error = "cannot read " + inQuotes(path) + ": " + image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    RgbImage result;
    result.width = int(image.width);
    result.height = int(image.height);
    result.pixels.resize(std::size_t(result.width) * std::size_t(result.height));
    for (std::size_t i = 0; i < result.pixels.size(); ++i)
        result.pixels[i] = std::uint32_t(bytes[i * 3]) << 16 |
                           std::uint32_t(bytes[i * 3 + 1]) << 8 | bytes[i * 3 + 2];
    png_image_free(&image);
    return result;
}

} // namespace cli
