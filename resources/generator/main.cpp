// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every bitmap of the editor at scales 1 and 2, stores them compactly in one
// generated C++ source, and writes preview pictures of the composed panel.
//
//   tessel-artgen FONT_DIR VERSION OUTPUT_CPP PREVIEW_DIR
#include "resources/ArtCodec.h"
#include "resources/generator/Art.h"
#include "resources/generator/Emit.h"
#include "resources/generator/Fonts.h"
#include "resources/generator/Layout.h"
#include "resources/generator/Panel.h"
#include "resources/generator/Quantize.h"

#include <cstdio>
#include <map>

using namespace gen;

namespace {

const Placement* homeOf(int id) {
    for (const Placement& p : placements())
        if (p.bitmap == id) return &p;
    return nullptr;
}

bool samePanel(const Image& bg, int scale, const Placement& a, const Placement& b, int w, int h) {
    for (int y = 0; y < h * scale; ++y)
        for (int x = 0; x < w * scale; ++x) {
            const size_t ia = size_t(a.top * scale + y) * bg.width + size_t(a.left * scale + x);
            const size_t ib = size_t(b.top * scale + y) * bg.width + size_t(b.left * scale + x);
            if (bg.pixels[ia] != bg.pixels[ib]) return false;
        }
    return true;
}

// Draws strip `shape` at `scale` over the panel behind its first place.
bool drawStrip(const BitmapShape& shape, int scale, const Image& bg, cairo_surface_t* bgSurface,
               Image& out) {
    const Placement* home = homeOf(shape.id);
    if (!home) return false;
    const int frameH = shape.height / shape.frames;
    for (const Placement& p : placements())
        if (p.bitmap == shape.id && !samePanel(bg, scale, *home, p, shape.width, frameH)) {
            std::fprintf(stderr, "bitmap %d: the panel differs behind its places\n", shape.id);
            return false;
        }
    Canvas c(shape.width, shape.height, scale);
    for (int f = 0; f < shape.frames; ++f) {
        cairo_save(c.cr);
        cairo_translate(c.cr, 0, f * frameH);
        cairo_rectangle(c.cr, 0, 0, shape.width, frameH);
        cairo_clip(c.cr);
        cairo_save(c.cr);
        cairo_scale(c.cr, 1.0 / scale, 1.0 / scale);
        cairo_set_source_surface(c.cr, bgSurface, -home->left * scale, -home->top * scale);
        cairo_paint(c.cr);
        cairo_restore(c.cr);
        if (!drawFrame(c.cr, shape.id, f, shape.frames, shape.width, frameH)) return false;
        cairo_restore(c.cr);
    }
    out = imageOf(c.surface);
    return true;
}

void paste(Image& dst, const Image& src, int left, int top, int srcTop, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst.pixels[size_t(top + y) * dst.width + size_t(left + x)] =
                src.pixels[size_t(srcTop + y) * src.width + size_t(x)];
}

bool writePng(const Image& img, const std::string& path) {
    cairo_surface_t* s = surfaceOf(img);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s FONT_DIR VERSION OUTPUT_CPP PREVIEW_DIR\n", argv[0]);
        return 2;
    }
    const std::string fontDir = argv[1], version = argv[2], output = argv[3], previews = argv[4];
    if (!loadFaces(fontDir)) {
        std::fprintf(stderr, "cannot load the DejaVu fonts from %s\n", fontDir.c_str());
        return 1;
    }

    std::vector<EncodedBitmap> encoded;
    std::map<int, Image> shown[2]; // what the plug-in will show, for the previews
    FILE* stats = std::fopen((previews + "/art-stats.txt").c_str(), "w");
    for (int scale = 1; scale <= 2; ++scale) {
        Canvas bgCanvas(kPanelWidth, kPanelHeight, scale);
        drawBackground(bgCanvas.cr);
        const Image bg = imageOf(bgCanvas.surface);
        for (const BitmapShape& shape : bitmapShapes()) {
            Image img;
            if (shape.id == 128) {
                img = bg;
            } else if (shape.id == 129) {
                Canvas c(kPanelWidth, kPanelHeight, scale);
                drawAbout(c.cr, version);
                img = imageOf(c.surface);
            } else if (!drawStrip(shape, scale, bg, bgCanvas.surface, img)) {
                std::fprintf(stderr, "bitmap %d could not be drawn\n", shape.id);
                return 1;
            }
            const Indexed q = quantize(img);
            if (scale == 1) encoded.push_back({shape.id, shape.width, shape.height, {}});
            EncodedBitmap& e = encoded[size_t(&shape - &bitmapShapes()[0])];
            e.image[scale - 1].palette = q.palette;
            e.image[scale - 1].code = art::lzEncode(q.indices.data(), q.indices.size());
            shown[scale - 1][shape.id] = expand(q, img.width, img.height);
            if (stats)
                std::fprintf(stats, "%d x%d: %zu colours -> %zu, %zu bytes -> %zu coded\n",
                             shape.id, scale, q.sourceColours, q.palette.size(), q.indices.size(),
                             e.image[scale - 1].code.size());
        }
    }
    const std::vector<FontMasks> fonts = renderFonts();
    const size_t blobSize = writeSource(output, encoded, fonts);
    if (!blobSize) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    if (stats) {
        std::fprintf(stats, "blob: %zu bytes\n", blobSize);
        std::fclose(stats);
    }

    // The previews: the background with every control at a typical frame, and the about
    // picture.
    for (int scale = 1; scale <= 2; ++scale) {
        auto& images = shown[scale - 1];
        Image panel = images[128];
        for (const Placement& p : placements()) {
            const Image& strip = images[p.bitmap];
            const BitmapShape* shape = nullptr;
            for (const BitmapShape& s : bitmapShapes())
                if (s.id == p.bitmap) shape = &s;
            const int frameH = shape->height / shape->frames * scale;
            paste(panel, strip, p.left * scale, p.top * scale, p.previewFrame * frameH,
                  shape->width * scale, frameH);
        }
        const std::string suffix = "-" + std::to_string(scale) + "x.png";
        if (!writePng(panel, previews + "/panel" + suffix) ||
            !writePng(images[129], previews + "/about" + suffix))
            return 1;
    }
    return 0;
}
