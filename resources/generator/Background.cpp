// SPDX-License-Identifier: GPL-3.0-or-later
// The window background (bitmap 128) and the about picture (bitmap 129).
#include "resources/generator/Art.h"
#include "resources/generator/Layout.h"
#include "resources/generator/Panel.h"

#include <cmath>

namespace gen {

namespace {

constexpr double kTitleSize = 8.5;
constexpr double kLabelSize = 6.5;
constexpr double kSmallSize = 6;
constexpr double kRowSplit = 77; // the engraved line between the upper and lower row

// A section title: an accent mark and the name, followed by a rule to `right`.
void title(cairo_t* cr, double x, double baseline, double right, const std::string& name) {
    setColour(cr, colour::accent);
    cairo_rectangle(cr, x, baseline - 6, 3, 6);
    cairo_fill(cr);
    const double w =
        text(cr, Face::CondBold, kTitleSize, x + 5, baseline, name, Align::Left, colour::title);
    if (right > x + w + 12) {
        setColour(cr, colour::engraveDark);
        cairo_rectangle(cr, x + w + 9, baseline - 3, right - (x + w + 9), 1);
        cairo_fill(cr);
    }
}

void label(cairo_t* cr, double cx, double baseline, const std::string& s) {
    text(cr, Face::CondBold, kLabelSize, cx, baseline, s, Align::Centre, colour::label);
}

void small(cairo_t* cr, double x, double baseline, const std::string& s, Align a) {
    text(cr, Face::Cond, kSmallSize, x, baseline, s, a, colour::faint);
}

// The input level scale left of a level bar: ticks every 6 dB, numbers at 0, -12, -24.
void meterScale(cairo_t* cr, double barLeft, double top, double bottom) {
    cairo_set_line_width(cr, 1);
    for (int db = 0; db <= 24; db += 6) {
        const double y = std::round(top + (bottom - top) * db / 24.0) + 0.5 - (db == 24 ? 1 : 0);
        setColour(cr, colour::faint);
        cairo_move_to(cr, barLeft - (db % 12 == 0 ? 5 : 3), y);
        cairo_line_to(cr, barLeft - 1, y);
        cairo_stroke(cr);
        if (db % 12 == 0)
            small(cr, barLeft - 6, y + 2, db == 0 ? "0" : "-" + std::to_string(db), Align::Right);
    }
}

// A printed ramp for an invisible knob that is dragged up and down: it widens upwards, with
// marks where the knob's square-root law puts the given fractions of the whole travel.
void ramp(cairo_t* cr, const Rect& r, const std::vector<double>& marks) {
    const double inset = 1.5;
    const double x0 = r.left + inset, x1 = r.right - inset;
    const double y0 = r.top + 1.5, y1 = r.bottom - 1.5;
    setColour(cr, colour::track);
    cairo_move_to(cr, r.cx() - 0.5, y1);
    cairo_line_to(cr, r.cx() + 0.5, y1);
    cairo_line_to(cr, x1, y0);
    cairo_line_to(cr, x0, y0);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, colour::label);
    cairo_set_line_width(cr, 1);
    for (double m : marks) {
        const double y = std::round(y1 - (y1 - y0) * m) + 0.5;
        cairo_move_to(cr, x0, y);
        cairo_line_to(cr, x1, y);
        cairo_stroke(cr);
    }
}

void delayRow(cairo_t* cr, double dy, bool upper) {
    meterScale(cr, 43, 23 + dy, 68 + dy);
    label(cr, 46.5, 20.5 + dy, "IN");
    if (upper) {
        label(cr, 100.5, 23 + dy, "MODE");
        label(cr, 137, 23 + dy, "RANGE s");
    }
    label(cr, 118.5, 46.5 + dy, "TIME");
    // The delay time is the square of the knob: marks at a quarter, half and all of the range.
    ramp(cr, upper ? kDelayLTimeArea : kDelayRTimeArea, {0.5, std::sqrt(0.5), 1.0});
    const double knobLabel = upper ? 74 : 90;
    label(cr, 180.5, knobLabel, "FEEDBACK");
    label(cr, 227.5, knobLabel, "FB PAN");
}

void tempoArea(cairo_t* cr) {
    const Rect& r = kTempoArea;
    recess(cr, r.left, r.top, r.width(), r.height(), 2.5, colour::window);
    // A ruler along the top of the glass: the tempo is 30 + 370 k^2 for the knob value k.
    cairo_set_line_width(cr, 1);
    const double x0 = 298.5, x1 = 359.5;
    for (int bpm : {30, 60, 90, 120, 150, 180, 240, 300, 400}) {
        const double k = std::sqrt((bpm - 30) / 370.0);
        const double x = std::round(x0 + (x1 - x0) * k) + 0.5;
        const bool major = bpm == 30 || bpm == 120 || bpm == 400;
        setColour(cr, major ? colour::led : colour::accentDim);
        cairo_move_to(cr, x, r.top + 1.5);
        cairo_line_to(cr, x, r.top + (major ? 4.5 : 3.5));
        cairo_stroke(cr);
    }
    small(cr, x0 - 0.5, 19, "30", Align::Centre);
    const double k120 = std::sqrt(90 / 370.0);
    small(cr, std::round(x0 + (x1 - x0) * k120) + 0.5, 19, "120", Align::Centre);
    small(cr, x1 + 0.5, 19, "400", Align::Centre);
    text(cr, Face::CondBold, kTitleSize, r.cx(), 11, "TEMPO", Align::Centre, colour::title);
}

void filterSection(cairo_t* cr) {
    title(cr, 381, 12, 575, "FILTER");
    // Position names over the segments of the two three-way switches.
    const char* const route[] = {"IN", "FB", "FX"};
    const char* const type[] = {"LP", "BP", "HP"};
    for (int i = 0; i < 3; ++i) {
        const double cx = 397 + 31.0 * (i + 0.5) / 3;
        text(cr, Face::Cond, 6, cx, 23, route[i], Align::Centre, colour::label);
        text(cr, Face::Cond, 6, cx, 53, type[i], Align::Centre, colour::label);
    }
    label(cr, 458, 74, "CUTOFF");
    label(cr, 504, 74, "RESO");
    label(cr, 551, 74, "MOD");
}

void upperRight(cairo_t* cr) {
    title(cr, 584, 12, 648, "DRIVE");
    label(cr, 618, 74, "GAIN");
    title(cr, 656, 12, 843, "MAIN");
    label(cr, 690.5, 74, "INPUT");
    label(cr, 737.5, 74, "MIX");
    label(cr, 784.5, 74, "OUTPUT");
    label(cr, 826.5, 74, "BYPASS");
    // The active lamp's name, read from below.
    cairo_save(cr);
    cairo_translate(cr, 663, 76);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, Face::CondBold, kSmallSize, 0, 0, "ACTIVE", Align::Left, colour::label);
    cairo_restore(cr);
}

void modulationSection(cairo_t* cr) {
    title(cr, 289, 148, 575, "MODULATION");
    label(cr, 332, 87, "LFO");
    label(cr, 332.5, 110.5, "RATE");
    // The rate is 16^(k^2) - 1 Hz for the knob value k: marks at 0.1, 1 and 10 Hz.
    std::vector<double> marks;
    for (double hz : {0.1, 1.0, 10.0})
        marks.push_back(std::sqrt(std::log(hz + 1) / std::log(16.0)));
    ramp(cr, kLfoRateArea, marks);
    small(cr, 314.5, 140, ".01", Align::Centre);
    small(cr, 350.5, 140, "15 Hz", Align::Centre);
    label(cr, 410, 90, "OFFSET");
    label(cr, 457, 90, "SOURCE");
    small(cr, 443, 138, "LFO", Align::Centre);
    small(cr, 471, 138, "ENV", Align::Centre);
    label(cr, 504.5, 90, "SENS");
    label(cr, 550.5, 90, "SPEED");
    // A bracket under the envelope's two knobs.
    setColour(cr, colour::faint);
    cairo_rectangle(cr, 490, 135, 1, 3);
    cairo_rectangle(cr, 490, 137, 75, 1);
    cairo_rectangle(cr, 564, 135, 1, 3);
    cairo_fill(cr);
    setColour(cr, colour::panel);
    cairo_rectangle(cr, 510, 134, 35, 6);
    cairo_fill(cr);
    small(cr, 527.5, 140, "ENVELOPE", Align::Centre);
}

void lowerRight(cairo_t* cr) {
    title(cr, 583, 148, 690, "VCO");
    label(cr, 617, 90, "MANUAL");
    small(cr, 603, 138, "\xc2\xbd\xc3\x97", Align::Centre); // "1/2 x"
    small(cr, 631, 138, "2\xc3\x97", Align::Centre);
    label(cr, 664, 90, "MOD");
    title(cr, 696, 148, 843, "REVERB");
    // Pairs of names either side of the two-way switches' middle.
    text(cr, Face::CondBold, kLabelSize, 731, 87, "FX", Align::Right, colour::label);
    text(cr, Face::CondBold, kLabelSize, 734, 87, "OUT", Align::Left, colour::label);
    text(cr, Face::CondBold, kLabelSize, 731, 118, "SPRING", Align::Right, colour::label);
    text(cr, Face::CondBold, kLabelSize, 734, 118, "PLATE", Align::Left, colour::label);
    label(cr, 776.5, 90, "DAMP");
    label(cr, 823, 90, "AMOUNT");
}

void logo(cairo_t* cr, const Rect& r, double size) {
    // The name over a band of tiled triangles, the mark of the plug-in.
    text(cr, Face::SansBold, size, r.cx(), r.top + size * 1.12, "Tessel", Align::Centre,
         colour::title);
    const double unit = size * 0.5, rise = size * 0.36;
    const int count = 9;
    const double left = r.cx() - unit * (count + 1) / 4;
    const double top = r.top + size * 1.45;
    for (int i = 0; i < count; ++i) {
        const double x = left + i * unit / 2;
        const bool up = i % 2 == 0;
        setColour(cr, up ? colour::accent : colour::knobBody);
        cairo_move_to(cr, x, up ? top + rise : top);
        cairo_line_to(cr, x + unit, up ? top + rise : top);
        cairo_line_to(cr, x + unit / 2, up ? top : top + rise);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void presetBar(cairo_t* cr) {
    setColour(cr, colour::panelDark);
    cairo_rectangle(cr, 0, 153, kPanelWidth, kPanelHeight - 153);
    cairo_fill(cr);
    engraveH(cr, 0, kPanelWidth, 152);
    label(cr, 47, 166, "PRESET");
    label(cr, 314, 166, "BANK");
    label(cr, 630, 166, "MIDI");
    // The program name field and its menu button.
    recess(cr, kNameField.left - 1, kNameField.top - 1, kMenuButton.right - kNameField.left + 2,
           kNameField.height() + 2, 1.5, colour::field);
    setColour(cr, colour::field);
    cairo_rectangle(cr, kNameField.left, kNameField.top, kNameField.width(), kNameField.height());
    cairo_fill(cr);
    setColour(cr, colour::engraveDark);
    cairo_rectangle(cr, kMenuButton.left, kMenuButton.top, 1, kMenuButton.height());
    cairo_fill(cr);
    setColour(cr, colour::label);
    const double mx = kMenuButton.cx() + 0.5, my = kMenuButton.cy();
    cairo_move_to(cr, mx - 3, my - 1.5);
    cairo_line_to(cr, mx + 3, my - 1.5);
    cairo_line_to(cr, mx, my + 2);
    cairo_close_path(cr);
    cairo_fill(cr);
    // The controller display.
    recess(cr, kControllerField.left - 1, kControllerField.top - 1, kControllerField.width() + 2,
           kControllerField.height() + 2, 1.5, colour::field);
    setColour(cr, colour::field);
    cairo_rectangle(cr, kControllerField.left, kControllerField.top, kControllerField.width(),
                    kControllerField.height());
    cairo_fill(cr);
    text(cr, Face::Cond, kLabelSize, 530, 166, "Tessel  \xc2\xb7  stereo delay", Align::Centre,
         colour::faint);
}

void cheeks(cairo_t* cr) {
    for (double x : {0.0, kPanelWidth - 7.0}) {
        cairo_pattern_t* g = cairo_pattern_create_linear(x, 0, x + 7, 0);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.16, 0.155, 0.15);
        cairo_pattern_add_color_stop_rgb(g, 0.5, 0.27, 0.26, 0.245);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.16, 0.155, 0.15);
        cairo_set_source(cr, g);
        cairo_rectangle(cr, x, 0, 7, kPanelHeight);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

} // namespace

void drawBackground(cairo_t* cr) {
    setColour(cr, colour::panel);
    cairo_paint(cr);
    // Section boundaries.
    engraveV(cr, 286, 4, 150);
    engraveV(cr, 370, 4, kRowSplit - 1);
    engraveV(cr, 578, 4, 150);
    engraveV(cr, 652, 4, kRowSplit - 1);
    engraveV(cr, 693, kRowSplit + 2, 150);
    engraveH(cr, 288, 845, kRowSplit);
    engraveH(cr, 10, 64, kRowSplit);
    engraveH(cr, 94, 284, kRowSplit);

    title(cr, 38, 12, 284, "DELAY L");
    title(cr, 38, 148, 284, "DELAY R");
    delayRow(cr, 0, true);
    delayRow(cr, 64, false);
    tempoArea(cr);
    logo(cr, kLogoArea, 11);
    filterSection(cr);
    upperRight(cr);
    modulationSection(cr);
    lowerRight(cr);
    presetBar(cr);
    cheeks(cr);
}

void drawAbout(cairo_t* cr, const std::string& version) {
    setColour(cr, colour::panel);
    cairo_paint(cr);
    cheeks(cr);
    recess(cr, 14, 8, 847, 155, 4, hex(0xe8e5db));
    logo(cr, Rect{40, 30, 210, 100}, 40);
    text(cr, Face::Cond, 9, 125, 118, "stereo delay  \xc2\xb7  version " + version, Align::Centre,
         colour::label);
    text(cr, Face::Cond, 7.5, 125, 132, "VST 2.4 effect for Linux", Align::Centre, colour::faint);
    engraveV(cr, 238, 24, 148);

    const double x = 256, keyRight = 366;
    double y = 37;
    auto line = [&](const std::string& keys, const std::string& what) {
        text(cr, Face::CondBold, 9, keyRight, y, keys, Align::Right, colour::title);
        text(cr, Face::Cond, 9, keyRight + 9, y, what, Align::Left, colour::label);
        y += 13.5;
    };
    text(cr, Face::CondBold, kTitleSize + 1, x, 20, "HOW TO PLAY IT", Align::Left, colour::accent);
    line("Drag", "turn a knob: up or right raises it; the display shows its value");
    line("Shift + drag", "fine adjustment (also with the mouse wheel)");
    line("Control + click", "back to the default value");
    line("Double-click", "back to the default value");
    line("\xe2\x97\x80  \xe2\x96\xb6", "step buttons: one step; Shift \xc3\x97"
                                       "10, Control \xc3\x97"
                                       "100");
    line("", "in note mode they step the note value; Shift or Control step backwards");
    line("LINK", "the right delay follows the left one");
    line("LRN  /  CLR", "MIDI learn and clear: bind controllers to knobs, or remove them");
    text(cr, Face::CondBold, 8, 848, 150, "click to close", Align::Right, colour::faint);
}

} // namespace gen
