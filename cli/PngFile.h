// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as PNG files: the editor's framebuffer written as an 8-bit RGB image, and read
// back (tests compare a rendered panel with a stored one). Pixels are 0x00RRGGBB, row-major,
// top row first, as the toolkit's framebuffer holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // width * height pixels 0x00RRGGBB
};

// Writes the image to `path` through a temporary file beside it, so that a failed write
// leaves no partial picture (and an existing file untouched). Answers an error message, or
// the empty string on success.
std::string writePng(const std::string& path, const std::uint32_t* pixels, int width, int height);

// Reads any PNG as 8-bit RGB (transparency composed over black); none with a message in
// `error` when the file is missing or not a PNG.
std::optional<RgbImage> readPng(const std::string& path, std::string& error);

} // namespace cli
