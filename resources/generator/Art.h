// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the panel-art generator: colours, fonts, images and the drawing helpers
// that every bitmap uses. The generator runs at build time only; it draws with cairo and
// never ships in the plug-in.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

struct Rgb {
    double r, g, b;
};

constexpr Rgb hex(uint32_t v) {
    return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0};
}

// The panel's colours, in one place so that every bitmap agrees with the background.
namespace colour {
inline constexpr Rgb panel = hex(0xdedace);     // the face of the panel
inline constexpr Rgb panelDark = hex(0xc9c4b5); // recesses and the preset bar
inline constexpr Rgb field = hex(0xd7d6cc);     // text fields of the preset bar
inline constexpr Rgb engraveDark = hex(0xa29c8b);
inline constexpr Rgb engraveLight = hex(0xf4f2ea);
inline constexpr Rgb title = hex(0x2c2b28);
inline constexpr Rgb label = hex(0x4c4c48); // as the preset bar's text
inline constexpr Rgb faint = hex(0x6c675b); // scale marks and small print
inline constexpr Rgb accent = hex(0xe06a14);
inline constexpr Rgb accentDim = hex(0x6a5a4c);
inline constexpr Rgb knobBody = hex(0x34322f);
inline constexpr Rgb track = hex(0xb3ad9c);
inline constexpr Rgb window = hex(0x1b1a18); // the numeric display's glass
inline constexpr Rgb led = hex(0xff6428);
inline constexpr Rgb ledGhost = hex(0x33241d);
inline constexpr Rgb ledGreen = hex(0x62d040);
inline constexpr Rgb ledRed = hex(0xf03a20);
inline constexpr Rgb button = hex(0xeceae2);
inline constexpr Rgb buttonEdge = hex(0x8e887a);
} // namespace colour

enum class Face { Sans, SansBold, Cond, CondBold };
enum class Align { Left, Centre, Right };

// Loads the four DejaVu faces from `fontDir`; false when one is missing.
bool loadFaces(const std::string& fontDir);
cairo_font_face_t* face(Face f);

// Fixed rasterisation options, so the same sources give the same pixels on every build.
// Full hinting snaps stems to whole pixels, which small text needs to stay sharp.
// Panel text keeps its designed spacing; the toolkit's fonts get whole-pixel advances.
void pinFontOptions(cairo_t* cr, bool wholePixelAdvances = false);

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Text with its baseline at y, anchored at x as `align` says; returns the advance width.
double text(cairo_t* cr, Face f, double size, double x, double y, const std::string& s, Align align,
            Rgb c);
double textWidth(cairo_t* cr, Face f, double size, const std::string& s);
// A horizontal or vertical engraved line (dark with a light edge), in panel units.
void engraveH(cairo_t* cr, double x0, double x1, double y);
void engraveV(cairo_t* cr, double x, double y0, double y1);
// A recessed slot: dark inner shadow at the top left, light edge at the bottom right.
void recess(cairo_t* cr, double x, double y, double w, double h, double r, Rgb fill);
// A raised button face that fills the rectangle; `state` 0 rest, 1 hover, 2 pressed.
void buttonFace(cairo_t* cr, double x, double y, double w, double h, int state);
// A filled arrow head pointing left or right, centred on (cx, cy).
void arrow(cairo_t* cr, double cx, double cy, double size, bool left, Rgb ink);

// One picture in premultiplied 0xAARRGGBB words, as cairo's ARGB32 holds them.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

Image imageOf(cairo_surface_t* s);
cairo_surface_t* surfaceOf(const Image& img); // a copy the caller destroys

// A drawing surface of the given size in panel units at `scale`, with a context whose
// user units are panel pixels.
struct Canvas {
    Canvas(int width, int height, int scale);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    cairo_surface_t* surface;
    cairo_t* cr;
    int scale;
};

} // namespace gen
