// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing of each bitmap, in panel units (one unit is one pixel at scale 1).
#pragma once

#include <cairo.h>

#include <string>

namespace gen {

// The whole window background (bitmap 128).
void drawBackground(cairo_t* cr);
// The about picture (bitmap 129), naming `version`.
void drawAbout(cairo_t* cr, const std::string& version);
// Frame `frame` of strip bitmap `id`, in a frame of width w and height h whose top-left
// corner is the origin; the panel behind it is already painted. False for an unknown id.
bool drawFrame(cairo_t* cr, int id, int frame, int frames, double w, double h);

} // namespace gen
