// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the panel art as the editor does when it opens: every bitmap and font at one
// scale. Counters give the decoded bytes the editor then holds.
#include "toolkit/ResourceData.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kBitmapIds[] = {128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141,
                              142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155,
                              157, 158, 159, 160, 161, 163, 164, 165, 166, 167, 168, 169, 170, 171,
                              172, 173, 174, 989, 990, 991, 992, 993, 994, 995, 996, 997, 998, 999};

void BM_DecodeAllArt(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (int id : kBitmapIds) {
            VSTGUI::ImageData img;
            VSTGUI::loadResourceImage(id, scale, img);
            bytes += img.indices.size() + 4 * img.palette.size() + 4 * img.argb.size();
            benchmark::DoNotOptimize(img.indices.data());
        }
        for (int font = 0; font <= 6; ++font) {
            VSTGUI::FontData f;
            VSTGUI::loadResourceFont(font, scale, f);
            for (const auto& g : f.glyphs) bytes += g.coverage.size();
            benchmark::DoNotOptimize(f.glyphs.data());
        }
    }
    state.counters["decodedMB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_DecodeAllArt)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
