// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PanelShot.h"

#include "cli/Printable.h"
#include "cli/RenderHost.h"
#include "cli/SoundSetup.h"
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

using namespace VSTGUI;

namespace cli {

namespace {

// A mouse pointer at scale 1: '#' outline, '.' fill, its tip at the top-left corner.
constexpr std::array<const char*, 17> kPointer = {
    "#",        "##",       "#.#",       "#..#",       "#...#",      "#....#",
    "#.....#",  "#......#", "#.......#", "#........#", "#.....####", "#..#..#",
    "#.# #..#", "##  #..#", "#    #..#", "     #..#",  "      ##",
};

void drawPointer(RgbImage& image, CPoint tip, int scale) {
    for (int row = 0; row < int(kPointer.size()); ++row) {
        for (int column = 0; kPointer[row][column] != '\0'; ++column) {
            const char mark = kPointer[row][column];
            if (mark == ' ') continue;
            const std::uint32_t colour = mark == '#' ? 0x000000u : 0xffffffu;
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const int x = (tip.x + column) * scale + dx;
                    const int y = (tip.y + row) * scale + dy;
                    if (x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
                    image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] =
                        colour;
                }
            }
        }
    }
}

CControl* controlOf(const CFrame& frame, int parameter) {
    for (int32_t i = 0; i < frame.getNbViews(); ++i) {
        auto* control = dynamic_cast<CControl*>(frame.getView(i));
        if (control != nullptr && control->getTag() == parameter && control->getMouseEnabled())
            return control;
    }
    return nullptr;
}

RgbImage copyOf(const Framebuffer& framebuffer) {
    RgbImage image;
    image.width = framebuffer.width();
    image.height = framebuffer.height();
    image.pixels.assign(framebuffer.data(),
                        framebuffer.data() + std::size_t(image.width) * std::size_t(image.height));
    return image;
}

struct HeldDrag {
    int parameter = 0;
    CPoint pointer;
};

// Presses at the middle of the parameter's control, moves the pointer in small steps as a
// hand does, and leaves the button down.
std::optional<HeldDrag> startDrag(RenderHost& host, Editor& editor, const DragGesture& drag,
                                  std::string& error) {
    std::optional<int> parameter = findParameter(host, drag.parameter, error);
    if (!parameter) return std::nullopt;
    CFrame& frame = *editor.getFrame();
    CControl* control = controlOf(frame, *parameter);
    if (control == nullptr) {
        error = "the panel has no control for " + inQuotes(drag.parameter);
        return std::nullopt;
    }
    const CRect& area = control->getViewSize();
    CPoint where((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    const int32_t buttons = kLButton | (drag.fine ? kShift : 0);
    frame.mouseDown(where, buttons);
    editor.idle();
    constexpr int kStep = 2;
    for (int moved = 0; moved != drag.pixels;) {
        const int step = std::clamp(drag.pixels - moved, -kStep, kStep);
        moved += step;
        where.y -= step;
        frame.mouseMoved(where, buttons);
    }
    editor.idle();
    return HeldDrag{*parameter, where};
}

} // namespace

PanelPicture shootPanel(RenderHost& host, int scale, const std::optional<DragGesture>& drag) {
    PanelPicture result;
    Drell* drell = host.drellEffect();
    if (drell == nullptr) {
        result.error = "the effect could not be created";
        return result;
    }
    if (dynamic_cast<Editor*>(drell->getEditor()) == nullptr)
        drell->adoptEditor(std::make_unique<Editor>(drell));
    auto& editor = *static_cast<Editor*>(drell->getEditor());

    editor.setScale(scale); // fixed: neither the screen nor the settings choose it
    if (!editor.open(nullptr) || editor.getFrame() == nullptr) {
        result.error = "the editor could not be opened";
        return result;
    }
    CFrame& frame = *editor.getFrame();
    if (!drag) {
        editor.idle();
        result.image = copyOf(frame.getFramebuffer());
    } else if (std::optional<HeldDrag> held = startDrag(host, editor, *drag, result.error)) {
        result.image = copyOf(frame.getFramebuffer());
        drawPointer(result.image, held->pointer, frame.getScale());
        result.dragged = host.parameterName(held->parameter) + " = " +
                         host.parameterDisplay(held->parameter) + " " +
                         host.parameterLabel(held->parameter);
        frame.mouseUp(held->pointer, 0);
    }
    editor.close();
    return result;
}

} // namespace cli
