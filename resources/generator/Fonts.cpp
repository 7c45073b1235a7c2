// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/generator/Fonts.h"

#include "resources/generator/Art.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {

struct FontStyle {
    int id;
    Face face;
    double pixels; // size at scale 1
};

// The toolkit's numbering: 0 system, 1 very big, 2 big, 3 normal, 4 small, 5 smaller and
// 6 very small (the preset bar's text field, menu and controller display, 10-pixel rows).
constexpr FontStyle kFonts[] = {
    {0, Face::Sans, 12}, {1, Face::SansBold, 18}, {2, Face::SansBold, 14}, {3, Face::Sans, 12},
    {4, Face::Sans, 11}, {5, Face::Sans, 10},     {6, Face::Cond, 9},
};

Glyph renderGlyph(cairo_font_face_t* ff, double size, char c) {
    const int box = int(std::ceil(size * 3));
    const int originX = box / 3, baseline = box * 2 / 3;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, box, box);
    cairo_t* cr = cairo_create(s);
    pinFontOptions(cr, true);
    cairo_set_font_face(cr, ff);
    cairo_set_font_size(cr, size);
    const char str[2] = {c, 0};
    cairo_text_extents_t e;
    cairo_text_extents(cr, str, &e);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_move_to(cr, originX, baseline);
    cairo_show_text(cr, str);
    cairo_surface_flush(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int x0 = box, y0 = box, x1 = -1, y1 = -1;
    for (int y = 0; y < box; ++y)
        for (int x = 0; x < box; ++x)
            if (data[y * stride + x]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    Glyph g;
    g.advance = int(std::lround(e.x_advance));
    if (x1 >= 0) {
        g.width = x1 - x0 + 1;
        g.height = y1 - y0 + 1;
        g.left = x0 - originX;
        g.top = baseline - y0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) g.coverage.push_back(data[y * stride + x]);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return g;
}

} // namespace

std::vector<FontMasks> renderFonts() {
    std::vector<FontMasks> fonts;
    for (const FontStyle& shape : kFonts) {
        for (int scale = 1; scale <= 2; ++scale) {
            FontMasks f;
            f.id = shape.id;
            f.scale = scale;
            for (int c = 32; c <= 126; ++c) {
                Glyph g = renderGlyph(face(shape.face), shape.pixels * scale, char(c));
                if (g.height > 0) {
                    f.ascent = std::max(f.ascent, g.top);
                    f.descent = std::max(f.descent, g.height - g.top);
                }
                f.glyphs.push_back(std::move(g));
            }
            fonts.push_back(std::move(f));
        }
    }
    return fonts;
}

} // namespace gen
