// SPDX-License-Identifier: GPL-3.0-or-later
// Every strip bitmap: knobs, switches, buttons, lamps, the numeric display's digits, the
// input level bars and the preset bar's buttons.
#include "resources/generator/Art.h"
#include "resources/generator/Panel.h"
#include "resources/generator/PresetBarArt.h"

#include <cmath>
#include <functional>

namespace gen {

namespace {

constexpr double kPi = M_PI;

// ---- knobs ----------------------------------------------------------------------------

// A knob at value v (0..1) over 270 degrees, with a track, a value arc (from the minimum,
// or from the top for knobs whose middle is their neutral value) and a pointer.
void knob(cairo_t* cr, double w, double h, double v, bool bipolar) {
    const double cx = w / 2, cy = h / 2;
    const double trackR = std::min(w, h) / 2 - 2;
    const double start = 0.75 * kPi, sweep = 1.5 * kPi;
    const double angle = start + sweep * v;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, 2.5);
    setColour(cr, colour::track);
    cairo_arc(cr, cx, cy, trackR, start, start + sweep);
    cairo_stroke(cr);
    const double from = bipolar ? 1.5 * kPi : start;
    if (std::fabs(angle - from) > 1e-6) {
        setColour(cr, colour::accent);
        if (angle > from)
            cairo_arc(cr, cx, cy, trackR, from, angle);
        else
            cairo_arc(cr, cx, cy, trackR, angle, from);
        cairo_stroke(cr);
    }
    // Shadow, body, rim light and cap.
    const double bodyR = trackR - 4.5;
    setColour(cr, hex(0x000000), 0.22);
    cairo_arc(cr, cx + 0.6, cy + 1.2, bodyR + 0.8, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(cx, cy - bodyR, cx, cy + bodyR);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.33, 0.32, 0.30);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.118, 0.11);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, bodyR, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    g = cairo_pattern_create_radial(cx - bodyR * 0.3, cy - bodyR * 0.4, 0, cx, cy, bodyR * 0.85);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.30, 0.29, 0.275);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.20, 0.195, 0.185);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, bodyR - 1.3, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Pointer.
    const double dx = std::cos(angle), dy = std::sin(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2);
    setColour(cr, hex(0xf7f3e8));
    cairo_move_to(cr, cx + dx * bodyR * 0.3, cy + dy * bodyR * 0.3);
    cairo_line_to(cr, cx + dx * (bodyR - 1.8), cy + dy * (bodyR - 1.8));
    cairo_stroke(cr);
}

bool isBipolarKnob(int id) {
    // Filter mod, LFO offset, VCO manual and mod, and the main In/Mix/Out knobs rest at
    // their middle.
    return id == 134 || id == 135 || id == 139 || id == 140 || id == 141;
}

// ---- switches -------------------------------------------------------------------------

using Content = std::function<void(cairo_t*, double x, double y, double w, double h, Rgb ink)>;

// A row or column of n segments in a dark frame; the active one is lit. `content` draws
// the name or picture of a segment, or nothing.
void segments(cairo_t* cr, double w, double h, int n, int active, bool vertical,
              const Content& content) {
    setColour(cr, colour::engraveLight);
    roundedRect(cr, 0, 0, w, h, 2);
    cairo_fill(cr);
    setColour(cr, hex(0x26241f));
    roundedRect(cr, 0, 0, w, h - 0.5, 2);
    cairo_fill(cr);
    const double along = vertical ? h : w;
    for (int i = 0; i < n; ++i) {
        const double a0 = along * i / n + 1, a1 = along * (i + 1) / n - (i == n - 1 ? 1 : 0);
        double x = vertical ? 1 : a0, y = vertical ? a0 : 1;
        double sw = vertical ? w - 2 : a1 - a0, sh = vertical ? a1 - a0 : h - 2;
        if (!vertical) sh -= 0.5;
        const bool lit = i == active;
        if (lit) {
            cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + sh);
            cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.60, 0.28);
            cairo_pattern_add_color_stop_rgb(g, 1, colour::accent.r, colour::accent.g,
                                             colour::accent.b);
            cairo_set_source(cr, g);
            cairo_rectangle(cr, x, y, sw, sh);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        } else {
            setColour(cr, hex(0x3b3833));
            cairo_rectangle(cr, x, y, sw, sh);
            cairo_fill(cr);
        }
        if (content) content(cr, x, y, sw, sh, lit ? hex(0x1f1a14) : hex(0xb8b2a4));
    }
}

Content words(std::vector<std::string> names, double size = 5.5) {
    return [names, size, i = 0](cairo_t* cr, double x, double y, double w, double h,
                                Rgb ink) mutable {
        const std::string& s = names[static_cast<size_t>(i++) % names.size()];
        if (s == "note") {
            // An eighth note.
            setColour(cr, ink);
            const double cx = x + w / 2 - 1, cy = y + h / 2 + 2;
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, 1.0, 0.75);
            cairo_arc(cr, 0, 0, 1.7, 0, 2 * kPi);
            cairo_restore(cr);
            cairo_fill(cr);
            cairo_rectangle(cr, cx + 1.1, cy - 6, 0.9, 6);
            cairo_fill(cr);
            cairo_move_to(cr, cx + 2, cy - 6);
            cairo_curve_to(cr, cx + 2.5, cy - 4, cx + 4.5, cy - 4, cx + 3.5, cy - 2);
            cairo_set_line_width(cr, 0.9);
            cairo_stroke(cr);
            return;
        }
        text(cr, Face::CondBold, size, x + w / 2, y + h / 2 + size * 0.36, s, Align::Centre, ink);
    };
}

// The five LFO waves, one per segment from the top.
Content waves() {
    return [i = 0](cairo_t* cr, double x, double y, double w, double h, Rgb ink) mutable {
        const int wave = i++ % 5;
        const double l = x + 2.5, r = x + w - 2.5, t = y + 2.5, b = y + h - 2.5;
        const double m = (t + b) / 2;
        setColour(cr, ink);
        cairo_set_line_width(cr, 1.1);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        switch (wave) {
        case 0: // sine
            for (int k = 0; k <= 24; ++k) {
                const double px = l + (r - l) * k / 24.0;
                const double py = m - (m - t) * std::sin(2 * kPi * k / 24.0);
                k == 0 ? cairo_move_to(cr, px, py) : cairo_line_to(cr, px, py);
            }
            break;
        case 1: // square
            cairo_move_to(cr, l, b);
            cairo_line_to(cr, l, t);
            cairo_line_to(cr, (l + r) / 2, t);
            cairo_line_to(cr, (l + r) / 2, b);
            cairo_line_to(cr, r, b);
            cairo_line_to(cr, r, t);
            break;
        case 2: // triangle
            cairo_move_to(cr, l, b);
            cairo_line_to(cr, l + (r - l) / 4, t);
            cairo_line_to(cr, l + 3 * (r - l) / 4, b);
            cairo_line_to(cr, r, t);
            break;
        case 3: // saw
            cairo_move_to(cr, l, b);
            cairo_line_to(cr, (l + r) / 2, t);
            cairo_line_to(cr, (l + r) / 2, b);
            cairo_line_to(cr, r, t);
            break;
        default: { // random steps
            const double levels[] = {0.7, 0.1, 0.9, 0.35};
            for (int k = 0; k < 4; ++k) {
                const double x0 = l + (r - l) * k / 4, x1 = l + (r - l) * (k + 1) / 4;
                const double py = t + (b - t) * levels[k];
                k == 0 ? cairo_move_to(cr, x0, py) : cairo_line_to(cr, x0, py);
                cairo_line_to(cr, x1, py);
            }
        }
        }
        cairo_stroke(cr);
    };
}

// ---- lamps and buttons ----------------------------------------------------------------

// A tall LED in a recessed slot filling w x h.
void ledBar(cairo_t* cr, double w, double h, bool on, Rgb lit) {
    recess(cr, 0, 0, w, h, 1.5, hex(0x26241f));
    if (on) {
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w, 0);
        cairo_pattern_add_color_stop_rgb(g, 0, lit.r * 0.8, lit.g * 0.8, lit.b * 0.8);
        cairo_pattern_add_color_stop_rgb(g, 0.5, std::min(1.0, lit.r * 1.2 + 0.15),
                                         std::min(1.0, lit.g * 1.2 + 0.15),
                                         std::min(1.0, lit.b * 1.2 + 0.15));
        cairo_pattern_add_color_stop_rgb(g, 1, lit.r * 0.8, lit.g * 0.8, lit.b * 0.8);
        cairo_set_source(cr, g);
        roundedRect(cr, 1.5, 1.5, w - 3, h - 3, 1);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    } else {
        setColour(cr, hex(0x4a443c));
        roundedRect(cr, 1.5, 1.5, w - 3, h - 3, 1);
        cairo_fill(cr);
    }
}

// The small push buttons of the delay section: a name and an LED strip under it.
void namedButton(cairo_t* cr, double w, double h, bool on, const std::string& name) {
    buttonFace(cr, 0, 0, w, h, on ? 2 : 0);
    const double dy = on ? 0.5 : 0;
    text(cr, Face::CondBold, 6.5, w / 2, 9.5 + dy, name, Align::Centre, colour::title);
    setColour(cr, on ? colour::accent : hex(0x8d8677));
    roundedRect(cr, w / 2 - 6, h - 6.5 + dy, 12, 2.5, 1);
    cairo_fill(cr);
}

// The polarity mark: a circle with a stroke through it, at (cx, cy) of radius r.
void polarity(cairo_t* cr, double cx, double cy, double r, Rgb ink) {
    setColour(cr, ink);
    cairo_set_line_width(cr, 1);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - r * 0.9, cy + r * 1.25);
    cairo_line_to(cr, cx + r * 0.9, cy - r * 1.25);
    cairo_stroke(cr);
}

void invertButton(cairo_t* cr, double w, double h, bool on, const std::string& name) {
    buttonFace(cr, 0, 0, w, h, on ? 2 : 0);
    const double dy = on ? 0.5 : 0;
    const double tw = textWidth(cr, Face::CondBold, 6.5, name);
    const double x0 = w / 2 - (tw + 7) / 2;
    polarity(cr, x0 + 2.5, 7 + dy, 2.3, colour::title);
    text(cr, Face::CondBold, 6.5, x0 + 7, 9.5 + dy, name, Align::Left, colour::title);
    setColour(cr, on ? colour::accent : hex(0x8d8677));
    roundedRect(cr, w / 2 - 6, h - 6.5 + dy, 12, 2.5, 1);
    cairo_fill(cr);
}

void bypassButton(cairo_t* cr, double w, double h, bool on) {
    buttonFace(cr, 0, 0, w, h, on ? 2 : 0);
    const double cx = w / 2, cy = h / 2 + (on ? 0.5 : 0);
    setColour(cr, hex(0x4b4238));
    cairo_arc(cr, cx, cy, 4.2, 0, 2 * kPi);
    cairo_fill(cr);
    if (on) {
        cairo_pattern_t* g = cairo_pattern_create_radial(cx - 1, cy - 1, 0, cx, cy, 3.6);
        cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.75, 0.6);
        cairo_pattern_add_color_stop_rgb(g, 1, colour::ledRed.r, colour::ledRed.g,
                                         colour::ledRed.b);
        cairo_set_source(cr, g);
        cairo_arc(cr, cx, cy, 3.4, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    } else {
        setColour(cr, hex(0x6e3a2c));
        cairo_arc(cr, cx, cy, 3.4, 0, 2 * kPi);
        cairo_fill(cr);
    }
}

void stepButton(cairo_t* cr, double w, double h, bool pressed, bool left) {
    buttonFace(cr, 0, 0, w, h, pressed ? 2 : 0);
    arrow(cr, w / 2, h / 2 + (pressed ? 0.5 : 0), 7, left,
          pressed ? colour::accent : colour::title);
}

// ---- the numeric display ----------------------------------------------------------------

// Seven segments a..g (top, upper right, lower right, bottom, lower left, upper left,
// middle) in a 13 x 16 cell, slanted a little.
void sevenSegment(cairo_t* cr, unsigned litMask, bool plus) {
    const double left = 2.5, right = 10.5, top = 1.5, bottom = 14.5, mid = 8;
    const double t = 1.6, slant = 0.12;
    auto pt = [&](double x, double y) { cairo_line_to(cr, x + (mid - y) * slant, y); };
    auto horizontal = [&](double y) {
        cairo_move_to(cr, left + 0.9 + (mid - y) * slant, y);
        pt(left + 0.9 + t / 2, y - t / 2);
        pt(right - 0.9 - t / 2, y - t / 2);
        pt(right - 0.9, y);
        pt(right - 0.9 - t / 2, y + t / 2);
        pt(left + 0.9 + t / 2, y + t / 2);
        cairo_close_path(cr);
    };
    auto vertical = [&](double x, double y0, double y1) {
        cairo_move_to(cr, x + (mid - y0 - 0.9) * slant, y0 + 0.9);
        pt(x + t / 2, y0 + 0.9 + t / 2);
        pt(x + t / 2, y1 - 0.9 - t / 2);
        pt(x, y1 - 0.9);
        pt(x - t / 2, y1 - 0.9 - t / 2);
        pt(x - t / 2, y0 + 0.9 + t / 2);
        cairo_close_path(cr);
    };
    std::function<void()> segs[7] = {[&] { horizontal(top); },
                                     [&] { vertical(right, top, mid); },
                                     [&] { vertical(right, mid, bottom); },
                                     [&] { horizontal(bottom); },
                                     [&] { vertical(left, mid, bottom); },
                                     [&] { vertical(left, top, mid); },
                                     [&] { horizontal(mid); }};
    for (int s = 0; s < 7; ++s) {
        segs[s]();
        setColour(cr, (litMask >> s) & 1 ? colour::led : colour::ledGhost);
        cairo_fill(cr);
    }
    if (plus) {
        setColour(cr, colour::led);
        cairo_rectangle(cr, (left + right) / 2 - t / 2, mid - 3.2, t, 6.4);
        cairo_fill(cr);
    }
}

constexpr unsigned kDigitSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                         0x6d, 0x7d, 0x07, 0x7f, 0x6f};

void digitFrame(cairo_t* cr, int frame) {
    if (frame >= 1 && frame <= 10)
        sevenSegment(cr, kDigitSegments[frame - 1], false);
    else if (frame == 11)
        sevenSegment(cr, 0x40, false); // minus
    else if (frame == 12)
        sevenSegment(cr, 0x40, true); // plus
    else
        sevenSegment(cr, 0, false);
}

// ---- the input level bar ----------------------------------------------------------------

// Frame k of 21 shows k/20 of the scale from -24 dB (empty) to 0 dB (full) as LED cells.
void levelBar(cairo_t* cr, double w, double h, int frame) {
    recess(cr, 0, 0, w, h, 1.5, hex(0x1e1d1a));
    const int cells = 15;
    const double inner = h - 3, cellH = inner / cells;
    const double lit = frame / 20.0 * inner;
    for (int c = 0; c < cells; ++c) {
        const double y1 = h - 1.5 - c * cellH, y0 = y1 - cellH + 0.8;
        const double db = -24.0 + 24.0 * (c + 0.5) / cells;
        const Rgb on = db > -3 ? colour::ledRed : db > -9 ? hex(0xf2b630) : colour::ledGreen;
        const double fill = std::clamp(lit - c * cellH, 0.0, cellH);
        setColour(cr, hex(0x33312c));
        cairo_rectangle(cr, 1.5, y0, w - 3, y1 - y0);
        cairo_fill(cr);
        if (fill > 0) {
            setColour(cr, on, std::min(1.0, fill / cellH));
            cairo_rectangle(cr, 1.5, y0, w - 3, y1 - y0);
            cairo_fill(cr);
        }
    }
}

} // namespace

bool drawFrame(cairo_t* cr, int id, int frame, int frames, double w, double h) {
    if (id >= 130 && id <= 143) {
        knob(cr, w, h, frame / 100.0, isBipolarKnob(id));
        return true;
    }
    switch (id) {
    case 144:
        bypassButton(cr, w, h, frame == 1);
        return true;
    case 145:
    case 146:
        invertButton(cr, w, h, frame == 1, "DLY");
        return true;
    case 147:
    case 148:
        invertButton(cr, w, h, frame == 1, "FB");
        return true;
    case 149:
        namedButton(cr, w, h, frame == 1, "LINK");
        return true;
    case 150:
        segments(cr, w, h, 2, frame, false, words({"ms", "note"}, 6));
        return true;
    case 151:
        segments(cr, w, h, 2, frame, false, words({"Hz", "note"}, 6));
        return true;
    case 152:
    case 154:
        segments(cr, w, h, id == 152 ? 2 : 3, frame, false, nullptr);
        return true;
    case 153:
        segments(cr, w, h, 3, frame, false, words({".1", "1", "5"}, 6));
        return true;
    case 155:
    case 157:
    case 158:
    case 160:
    case 161:
        ledBar(cr, w, h, frame == 1, colour::accent);
        return true;
    case 159:
        ledBar(cr, w, h, frame == 1, colour::ledGreen);
        return true;
    case 163:
        setColour(cr, frame == 1 ? colour::led : colour::ledGhost);
        cairo_rectangle(cr, 0.5, 0, 2, 2);
        cairo_fill(cr);
        return true;
    case 164:
    case 165:
        digitFrame(cr, frame);
        return true;
    case 166:
        setColour(cr, frame == 1 ? colour::led : colour::ledGhost);
        cairo_move_to(cr, 0.2, 8);
        cairo_line_to(cr, 1.6, 8);
        cairo_line_to(cr, 2.8, 0);
        cairo_line_to(cr, 1.4, 0);
        cairo_close_path(cr);
        cairo_fill(cr);
        return true;
    case 167:
    case 169:
    case 171:
    case 168:
    case 170:
    case 172:
        stepButton(cr, w, h, frame == 1, id % 2 == 0);
        return true;
    case 173:
        levelBar(cr, w, h, frame);
        return true;
    case 174:
        segments(cr, w, h, 5, frame, true, waves());
        return true;
    case 989:
        barButton(cr, w, h, frame, Icon::DefaultBank);
        return true;
    case 990:
        barButton(cr, w, h, frame, Icon::Clear);
        return true;
    case 991:
    case 993:
    case 998:
        barButton(cr, w, h, frame, Icon::Load);
        return true;
    case 992:
    case 994:
    case 999:
        barButton(cr, w, h, frame, Icon::Save);
        return true;
    case 995:
        barButton(cr, w, h, frame, Icon::StoreMap);
        return true;
    case 996:
        barButton(cr, w, h, frame, Icon::Learn);
        return true;
    case 997:
        rocker(cr, w, h, frame);
        return true;
    default:
        (void)frames;
        return false;
    }
}

} // namespace gen
