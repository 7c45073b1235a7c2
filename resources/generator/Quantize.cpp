// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/generator/Quantize.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>

namespace gen {

namespace {

struct Entry {
    std::array<int, 4> c; // a, r, g, b
    uint32_t count;
};

std::array<int, 4> channels(uint32_t p) {
    return {int(p >> 24), int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)};
}

uint32_t pack(const std::array<double, 4>& c) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | uint32_t(std::clamp(int(c[i] + 0.5), 0, 255));
    // Premultiplied colour never exceeds its alpha.
    const uint32_t a = v >> 24;
    uint32_t r = std::min((v >> 16) & 255, a), g = std::min((v >> 8) & 255, a),
             b = std::min(v & 255, a);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

long distance(const std::array<int, 4>& a, uint32_t p) {
    const auto b = channels(p);
    long d = 0;
    const int weight[4] = {3, 3, 4, 2}; // alpha, red, green, blue
    for (int i = 0; i < 4; ++i) d += long(weight[i]) * (a[i] - b[i]) * (a[i] - b[i]);
    return d;
}

} // namespace

Indexed quantize(const Image& img) {
    std::map<uint32_t, uint32_t> counts;
    for (uint32_t p : img.pixels) ++counts[p];
    Indexed out;
    out.sourceColours = counts.size();
    std::map<uint32_t, uint8_t> lookup;
    if (counts.size() <= 256) {
        for (const auto& [colour, n] : counts) {
            lookup[colour] = uint8_t(out.palette.size());
            out.palette.push_back(colour);
        }
    } else {
        std::vector<Entry> entries;
        for (const auto& [colour, n] : counts) entries.push_back({channels(colour), n});
        // Median cut: split the box with the widest channel range at its weighted median.
        struct Box {
            size_t begin, end;
        };
        std::vector<Box> boxes{{0, entries.size()}};
        while (boxes.size() < 256) {
            int bestBox = -1, bestChannel = 0;
            long bestScore = 0;
            for (size_t b = 0; b < boxes.size(); ++b) {
                if (boxes[b].end - boxes[b].begin < 2) continue;
                uint64_t weight = 0;
                for (size_t i = boxes[b].begin; i < boxes[b].end; ++i) weight += entries[i].count;
                for (int ch = 0; ch < 4; ++ch) {
                    int lo = 255, hi = 0;
                    for (size_t i = boxes[b].begin; i < boxes[b].end; ++i) {
                        lo = std::min(lo, entries[i].c[ch]);
                        hi = std::max(hi, entries[i].c[ch]);
                    }
                    // Wide boxes with many pixels are split first.
                    const long score = long(hi - lo) * long(hi - lo) *
                                       long(std::min<uint64_t>(weight, 1u << 20) + 64) / 64;
                    if (score > bestScore) {
                        bestScore = score;
                        bestBox = int(b);
                        bestChannel = ch;
                    }
                }
            }
            if (bestBox < 0) break;
            Box box = boxes[size_t(bestBox)];
            std::stable_sort(entries.begin() + long(box.begin), entries.begin() + long(box.end),
                             [&](const Entry& a, const Entry& b) {
                                 return a.c[bestChannel] < b.c[bestChannel];
                             });
            uint64_t total = 0;
            for (size_t i = box.begin; i < box.end; ++i) total += entries[i].count;
            uint64_t run = 0;
            size_t split = box.begin + 1;
            for (size_t i = box.begin; i < box.end - 1; ++i) {
                run += entries[i].count;
                split = i + 1;
                if (run * 2 >= total) break;
            }
            boxes[size_t(bestBox)] = {box.begin, split};
            boxes.push_back({split, box.end});
        }
        std::vector<uint32_t> palette;
        for (const Box& b : boxes) {
            std::array<double, 4> sum{};
            double n = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                for (int ch = 0; ch < 4; ++ch)
                    sum[ch] += double(entries[i].c[ch]) * entries[i].count;
                n += entries[i].count;
            }
            for (double& s : sum) s /= n;
            palette.push_back(pack(sum));
        }
        // Refine with k-means over the distinct colours.
        std::vector<size_t> nearest(entries.size());
        for (int round = 0; round < 4; ++round) {
            std::vector<std::array<double, 4>> sum(palette.size(), std::array<double, 4>{});
            std::vector<double> n(palette.size(), 0);
            for (size_t i = 0; i < entries.size(); ++i) {
                long best = std::numeric_limits<long>::max();
                for (size_t k = 0; k < palette.size(); ++k) {
                    const long d = distance(entries[i].c, palette[k]);
                    if (d < best) {
                        best = d;
                        nearest[i] = k;
                    }
                }
                for (int ch = 0; ch < 4; ++ch)
                    sum[nearest[i]][ch] += double(entries[i].c[ch]) * entries[i].count;
                n[nearest[i]] += entries[i].count;
            }
            if (round == 3) break;
            for (size_t k = 0; k < palette.size(); ++k) {
                if (n[k] == 0) continue;
                for (double& s : sum[k]) s /= n[k];
                palette[k] = pack(sum[k]);
            }
        }
        out.palette = palette;
        for (size_t i = 0; i < entries.size(); ++i) {
            const auto& c = entries[i].c;
            const uint32_t colour = (uint32_t(c[0]) << 24) | (uint32_t(c[1]) << 16) |
                                    (uint32_t(c[2]) << 8) | uint32_t(c[3]);
            lookup[colour] = uint8_t(nearest[i]);
        }
    }
    out.indices.reserve(img.pixels.size());
    for (uint32_t p : img.pixels) out.indices.push_back(lookup[p]);
    return out;
}

Image expand(const Indexed& q, int width, int height) {
    Image img;
    img.width = width;
    img.height = height;
    img.pixels.reserve(q.indices.size());
    for (uint8_t i : q.indices) img.pixels.push_back(q.palette[i]);
    return img;
}

} // namespace gen
