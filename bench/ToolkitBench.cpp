// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the toolkit's frame: an idle pass with nothing to redraw, one knob turned, and a
// full redraw of a panel laid out like the editor's (background, 19 filmstrip knobs, 20
// buttons and switches, 16 display filmstrips), at scale 1 and 2, with stand-in art: knob
// strips as 8-bit palettes, the background as direct pixels.
#include "toolkit/CAnimKnob.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/ResourceData.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace VSTGUI {

namespace {

struct StandIn {
    int32_t id, width, height, frames;
};
constexpr StandIn kArt[] = {
    {128, 875, 171, 1}, {130, 37, 3636, 101}, {144, 25, 44, 2}, {164, 13, 176, 11}};

const StandIn* art(int32_t id) {
    for (const StandIn& a : kArt)
        if (a.id == id) return &a;
    return nullptr;
}

} // namespace

bool getResourceImageSize(int32_t id, int& width, int& height) {
    const StandIn* a = art(id);
    if (!a) return false;
    width = a->width;
    height = a->height;
    return true;
}

bool loadResourceImage(int32_t id, int scale, ImageData& out) {
    const StandIn* a = art(id);
    if (!a) return false;
    out.width = a->width * scale;
    out.height = a->height * scale;
    size_t count = size_t(out.width) * size_t(out.height);
    if (a->frames == 1) {
        out.argb.resize(count);
        for (size_t i = 0; i < count; ++i)
            out.argb[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
        return true;
    }
    for (int i = 0; i < 256; ++i) out.palette.push_back(uint32_t(i) * 0x01010101u);
    out.indices.resize(count);
    for (size_t i = 0; i < count; ++i) out.indices[i] = uint8_t(i * 31 + i / 7);
    return true;
}

bool loadResourceFont(int32_t, int, FontData&) {
    return false;
}

} // namespace VSTGUI

namespace {

using namespace VSTGUI;

struct Panel {
    std::unique_ptr<CFrame> frame;
    std::vector<CControl*> knobs;

    explicit Panel(int32_t scale)
        : frame(std::make_unique<CFrame>(CRect{0, 0, 875, 171}, nullptr, nullptr, scale)) {
        auto* background = new CBitmap(128);
        auto* strip = new CBitmap(130);
        auto* button = new CBitmap(144);
        auto* digits = new CBitmap(164);
        frame->setBackground(background);
        for (int i = 0; i < 19; ++i) {
            int32_t x = 160 + (i % 14) * 47, y = 29 + (i / 14) * 64;
            auto* knob = new CAnimKnob({x, y, x + 37, y + 36}, nullptr, i, 101, 36, strip);
            frame->addView(knob);
            knobs.push_back(knob);
        }
        for (int i = 0; i < 20; ++i) {
            int32_t x = 20 + (i % 10) * 30, y = 80 + (i / 10) * 30;
            frame->addView(new COnOffButton({x, y, x + 25, y + 22}, nullptr, 100 + i, button));
        }
        for (int i = 0; i < 16; ++i) {
            int32_t x = 298 + (i % 8) * 16, y = 26 + (i / 8) * 18;
            frame->addView(
                new CMovieBitmap({x, y, x + 13, y + 16}, nullptr, 52 + i, 11, 16, digits));
        }
        for (CBitmap* b : {background, strip, button, digits}) b->forget();
        frame->idle(); // first pass: art loaded, everything drawn
    }
};

void idleWithNothingDirty(benchmark::State& state) {
    Panel panel(int32_t(state.range(0)));
    for (auto _ : state) panel.frame->idle();
}
BENCHMARK(idleWithNothingDirty)->Arg(1)->Arg(2);

void idleAfterOneKnobTurned(benchmark::State& state) {
    Panel panel(int32_t(state.range(0)));
    float value = 0.0f;
    for (auto _ : state) {
        value = value >= 1.0f ? 0.0f : value + 0.01f;
        panel.knobs[7]->setValue(value);
        panel.frame->idle();
    }
}
BENCHMARK(idleAfterOneKnobTurned)->Arg(1)->Arg(2);

void fullRedraw(benchmark::State& state) {
    Panel panel(int32_t(state.range(0)));
    for (auto _ : state) {
        panel.frame->setDirty();
        panel.frame->idle();
    }
}
BENCHMARK(fullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
