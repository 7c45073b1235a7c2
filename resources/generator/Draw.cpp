// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/generator/Art.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstring>

namespace gen {

namespace {

FT_Library library = nullptr;
cairo_font_face_t* faces[4] = {};

const char* const kFaceFiles[4] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf",
                                   "DejaVuSansCondensed.ttf", "DejaVuSansCondensed-Bold.ttf"};

} // namespace

bool loadFaces(const std::string& fontDir) {
    if (!library && FT_Init_FreeType(&library) != 0) return false;
    for (int i = 0; i < 4; ++i) {
        FT_Face ft = nullptr;
        const std::string path = fontDir + "/" + kFaceFiles[i];
        if (FT_New_Face(library, path.c_str(), 0, &ft) != 0) return false;
        // FreeType's own hinter fits stems to whole pixels across as well as up and down,
        // which keeps 6-pixel panel text sharp. The generator is short-lived: faces stay
        // loaded until it exits.
        faces[i] = cairo_ft_font_face_create_for_ft_face(ft, FT_LOAD_FORCE_AUTOHINT);
    }
    return true;
}

cairo_font_face_t* face(Face f) {
    return faces[static_cast<int>(f)];
}

void pinFontOptions(cairo_t* cr, bool wholePixelAdvances) {
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(o, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(o, wholePixelAdvances ? CAIRO_HINT_METRICS_ON
                                                              : CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
}

void setColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

double textWidth(cairo_t* cr, Face f, double size, const std::string& s) {
    cairo_set_font_face(cr, face(f));
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

double text(cairo_t* cr, Face f, double size, double x, double y, const std::string& s, Align align,
            Rgb c) {
    const double w = textWidth(cr, f, size, s);
    if (align == Align::Centre) x -= w / 2;
    if (align == Align::Right) x -= w;
    setColour(cr, c);
    // Glyph by glyph: drawn as one run, a hinted glyph that reaches past its outline's box
    // (a "T" ending a word at scale 1) loses its last column.
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(cr), x, y, s.c_str(), -1, &glyphs,
                                         &count, nullptr, nullptr,
                                         nullptr) == CAIRO_STATUS_SUCCESS) {
        for (int i = 0; i < count; ++i) cairo_show_glyphs(cr, &glyphs[i], 1);
        cairo_glyph_free(glyphs);
    }
    cairo_new_path(cr);
    return w;
}

void engraveH(cairo_t* cr, double x0, double x1, double y) {
    cairo_set_line_width(cr, 1);
    setColour(cr, colour::engraveDark);
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1, y + 0.5);
    cairo_stroke(cr);
    setColour(cr, colour::engraveLight);
    cairo_move_to(cr, x0, y + 1.5);
    cairo_line_to(cr, x1, y + 1.5);
    cairo_stroke(cr);
}

void engraveV(cairo_t* cr, double x, double y0, double y1) {
    cairo_set_line_width(cr, 1);
    setColour(cr, colour::engraveDark);
    cairo_move_to(cr, x + 0.5, y0);
    cairo_line_to(cr, x + 0.5, y1);
    cairo_stroke(cr);
    setColour(cr, colour::engraveLight);
    cairo_move_to(cr, x + 1.5, y0);
    cairo_line_to(cr, x + 1.5, y1);
    cairo_stroke(cr);
}

void recess(cairo_t* cr, double x, double y, double w, double h, double r, Rgb fill) {
    setColour(cr, colour::engraveLight);
    roundedRect(cr, x, y, w, h, r);
    cairo_fill(cr);
    setColour(cr, colour::engraveDark);
    roundedRect(cr, x, y, w - 0.5, h - 0.5, r);
    cairo_fill(cr);
    setColour(cr, fill);
    roundedRect(cr, x + 0.75, y + 0.75, w - 1.25, h - 1.25, std::max(0.0, r - 0.5));
    cairo_fill(cr);
}

void buttonFace(cairo_t* cr, double x, double y, double w, double h, int state) {
    // Outline, then a face that is light at rest, lighter under the pointer and pressed in
    // (darker, with the shadow at the top) when pressed.
    setColour(cr, colour::buttonEdge);
    roundedRect(cr, x, y, w, h, 2);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    const Rgb top = state == 2 ? hex(0xb9b3a3) : state == 1 ? hex(0xffffff) : hex(0xf6f4ee);
    const Rgb bottom = state == 2 ? hex(0xd3cec1) : state == 1 ? hex(0xe9e6dc) : hex(0xdcd8cc);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    roundedRect(cr, x + 1, y + 1, w - 2, h - 2, 1.5);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

Image imageOf(cairo_surface_t* s) {
    cairo_surface_flush(s);
    Image img;
    img.width = cairo_image_surface_get_width(s);
    img.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    img.pixels.resize(static_cast<size_t>(img.width) * img.height);
    for (int y = 0; y < img.height; ++y)
        std::memcpy(&img.pixels[static_cast<size_t>(y) * img.width], data + y * stride,
                    static_cast<size_t>(img.width) * 4);
    return img;
}

cairo_surface_t* surfaceOf(const Image& img) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
    const int stride = cairo_image_surface_get_stride(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < img.height; ++y)
        std::memcpy(data + y * stride, &img.pixels[static_cast<size_t>(y) * img.width],
                    static_cast<size_t>(img.width) * 4);
    cairo_surface_mark_dirty(s);
    return s;
}

Canvas::Canvas(int width, int height, int scale_)
    : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale_, height * scale_)),
      cr(cairo_create(surface)), scale(scale_) {
    cairo_scale(cr, scale, scale);
    pinFontOptions(cr);
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void arrow(cairo_t* cr, double cx, double cy, double size, bool left, Rgb ink) {
    setColour(cr, ink);
    const double d = left ? -1 : 1;
    cairo_move_to(cr, cx + d * size * 0.55, cy);
    cairo_line_to(cr, cx - d * size * 0.45, cy - size * 0.6);
    cairo_line_to(cr, cx - d * size * 0.45, cy + size * 0.6);
    cairo_close_path(cr);
    cairo_fill(cr);
}

} // namespace gen
