// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's art: the file, store, learn and clear buttons with their icons, and the
// program rocker.
#include "resources/generator/PresetBarArt.h"

#include <cmath>

namespace gen {

namespace {

constexpr double kPi = M_PI;

void folder(cairo_t* cr, double cx, double cy, Rgb ink) {
    setColour(cr, ink);
    cairo_set_line_width(cr, 1);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, cx - 5, cy + 3.5);
    cairo_line_to(cr, cx - 5, cy - 3.5);
    cairo_line_to(cr, cx - 1.5, cy - 3.5);
    cairo_line_to(cr, cx - 0.5, cy - 2.5);
    cairo_line_to(cr, cx + 4, cy - 2.5);
    cairo_line_to(cr, cx + 4, cy - 0.5);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - 5, cy + 3.5);
    cairo_line_to(cr, cx - 3, cy - 0.5);
    cairo_line_to(cr, cx + 6, cy - 0.5);
    cairo_line_to(cr, cx + 4, cy + 3.5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void floppy(cairo_t* cr, double cx, double cy, Rgb ink, Rgb face) {
    setColour(cr, ink);
    cairo_move_to(cr, cx - 4.5, cy - 4.5);
    cairo_line_to(cr, cx + 3, cy - 4.5);
    cairo_line_to(cr, cx + 4.5, cy - 3);
    cairo_line_to(cr, cx + 4.5, cy + 4.5);
    cairo_line_to(cr, cx - 4.5, cy + 4.5);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, face);
    cairo_rectangle(cr, cx - 2.5, cy - 4.5, 4.5, 3);
    cairo_rectangle(cr, cx - 3, cy + 0.5, 6, 4);
    cairo_fill(cr);
    setColour(cr, ink);
    cairo_rectangle(cr, cx + 0.3, cy - 4, 1.2, 2);
    cairo_fill(cr);
}

void star(cairo_t* cr, double cx, double cy, double r, Rgb ink) {
    setColour(cr, ink);
    for (int k = 0; k < 10; ++k) {
        const double a = -kPi / 2 + k * kPi / 5;
        const double rr = k % 2 == 0 ? r : r * 0.45;
        k == 0 ? cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a))
               : cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

} // namespace

void barButton(cairo_t* cr, double w, double h, int state, Icon icon) {
    buttonFace(cr, 0, 0, w, h, state);
    const bool on = state == 2;
    const Rgb ink = on ? hex(0x2a2622) : colour::title;
    const Rgb face = state == 2 ? hex(0xc6c0b1) : state == 1 ? hex(0xf4f2ec) : hex(0xe9e6dd);
    const double cx = w / 2, cy = h / 2 + (on ? 0.5 : 0);
    switch (icon) {
    case Icon::Load:
        folder(cr, cx - 0.5, cy, ink);
        break;
    case Icon::Save:
        floppy(cr, cx, cy, ink, face);
        break;
    case Icon::DefaultBank:
        folder(cr, cx - 2.5, cy, ink);
        star(cr, cx + 5.5, cy - 2.5, 3.6, colour::accent);
        break;
    case Icon::StoreMap:
        floppy(cr, cx - 2, cy, ink, face);
        star(cr, cx + 5.5, cy - 2.5, 3.6, colour::accent);
        break;
    case Icon::Learn:
    case Icon::Clear:
        text(cr, Face::CondBold, 6, cx, cy + 2.2, icon == Icon::Learn ? "LRN" : "CLR",
             Align::Centre, on ? hex(0xa84204) : ink);
        break;
    }
}

void rocker(cairo_t* cr, double w, double h, int frame) {
    const double half = w / 2;
    const int leftState = frame == 1 ? 1 : frame == 3 ? 2 : 0;
    const int rightState = frame == 2 ? 1 : frame == 4 ? 2 : 0;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, half, h);
    cairo_clip(cr);
    buttonFace(cr, 0, 0, w, h, leftState);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_rectangle(cr, half, 0, w - half, h);
    cairo_clip(cr);
    buttonFace(cr, 0, 0, w, h, rightState);
    cairo_restore(cr);
    setColour(cr, colour::buttonEdge);
    cairo_rectangle(cr, half - 0.5, 1, 1, h - 2);
    cairo_fill(cr);
    arrow(cr, half / 2, h / 2 + (leftState == 2 ? 0.5 : 0), 5.5, true,
          leftState == 2 ? colour::accent : colour::title);
    arrow(cr, half + half / 2, h / 2 + (rightState == 2 ? 0.5 : 0), 5.5, false,
          rightState == 2 ? colour::accent : colour::title);
}

} // namespace gen
