// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's panel as a picture: the effect's own editor, opened without a window at
// scale 1 or 2, draws into its framebuffer exactly what a host's window would show. A drag
// can be played into it first (press on a parameter's control, move, picture taken while
// the button is held), so the picture shows a knob being turned and the display following.
#pragma once

#include "cli/PngFile.h"
#include "cli/ShotOptions.h"

#include <optional>
#include <string>

namespace cli {

class RenderHost;

struct PanelPicture {
    std::string error; // empty when the picture was taken
    RgbImage image;
    std::string dragged; // after a drag: the parameter's name and value text
};

// Opens the effect's editor (giving the effect one if it has none), takes the picture and
// closes the editor again.
PanelPicture shootPanel(RenderHost& host, int scale, const std::optional<DragGesture>& drag);

} // namespace cli
