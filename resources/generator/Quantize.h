// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a picture into at most 256 colours and one index byte per pixel. A picture with
// few colours keeps them exactly; others get a median-cut palette refined by a few rounds
// of k-means, all in a fixed order so the result never varies.
#pragma once

#include "resources/generator/Art.h"

namespace gen {

struct Indexed {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices;
    size_t sourceColours = 0; // distinct colours before quantising
};

Indexed quantize(const Image& img);
Image expand(const Indexed& q, int width, int height);

} // namespace gen
