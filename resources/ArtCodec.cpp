// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/ArtCodec.h"

#include <algorithm>
#include <cstring>

namespace art {

namespace {

constexpr size_t kMinMatch = 4;
constexpr int kHashBits = 16;
constexpr int kMaxChain = 48; // candidates tried per position: speed against ratio

uint32_t hash4(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return (v * 2654435761u) >> (32 - kHashBits);
}

void putCount(std::vector<uint8_t>& out, size_t n) {
    while (n >= 255) {
        out.push_back(255);
        n -= 255;
    }
    out.push_back(static_cast<uint8_t>(n));
}

void putVarint(std::vector<uint8_t>& out, size_t n) {
    while (n >= 128) {
        out.push_back(static_cast<uint8_t>(0x80 | (n & 0x7f)));
        n >>= 7;
    }
    out.push_back(static_cast<uint8_t>(n));
}

void putSequence(std::vector<uint8_t>& out, const uint8_t* literals, size_t literalCount,
                 size_t matchLength, size_t distance) {
    const size_t lit = std::min<size_t>(literalCount, 15);
    const size_t extra = matchLength == 0 ? 0 : matchLength - kMinMatch;
    const size_t mat = std::min<size_t>(extra, 15);
    out.push_back(static_cast<uint8_t>((lit << 4) | mat));
    if (lit == 15) putCount(out, literalCount - 15);
    out.insert(out.end(), literals, literals + literalCount);
    if (matchLength == 0) return;
    putVarint(out, distance);
    if (mat == 15) putCount(out, extra - 15);
}

// Reads a count continuation; false when the code ends first.
bool getCount(const uint8_t*& p, const uint8_t* end, size_t& n) {
    for (;;) {
        if (p == end) return false;
        const uint8_t b = *p++;
        n += b;
        if (b != 255) return true;
    }
}

bool getVarint(const uint8_t*& p, const uint8_t* end, size_t& n) {
    n = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (p == end) return false;
        const uint8_t b = *p++;
        n |= static_cast<size_t>(b & 0x7f) << shift;
        if (!(b & 0x80)) return true;
    }
    return false;
}

} // namespace

std::vector<uint8_t> lzEncode(const uint8_t* input, size_t size) {
    std::vector<uint8_t> out;
    std::vector<int32_t> head(size_t{1} << kHashBits, -1);
    std::vector<int32_t> chain(size, -1);
    size_t literalStart = 0;
    size_t pos = 0;
    auto insert = [&](size_t at) {
        if (at + kMinMatch > size) return;
        const uint32_t h = hash4(input + at);
        chain[at] = head[h];
        head[h] = static_cast<int32_t>(at);
    };
    while (pos + kMinMatch <= size) {
        size_t bestLength = 0;
        size_t bestDistance = 0;
        int32_t candidate = head[hash4(input + pos)];
        for (int tries = 0; candidate >= 0 && tries < kMaxChain; ++tries) {
            const size_t c = static_cast<size_t>(candidate);
            size_t length = 0;
            const size_t limit = size - pos;
            while (length < limit && input[c + length] == input[pos + length]) ++length;
            if (length > bestLength) {
                bestLength = length;
                bestDistance = pos - c;
                if (length == limit) break;
            }
            candidate = chain[c];
        }
        if (bestLength < kMinMatch) {
            insert(pos);
            ++pos;
            continue;
        }
        putSequence(out, input + literalStart, pos - literalStart, bestLength, bestDistance);
        for (size_t i = 0; i < bestLength; ++i) insert(pos + i);
        pos += bestLength;
        literalStart = pos;
    }
    putSequence(out, input + literalStart, size - literalStart, 0, 0);
    return out;
}

bool lzDecode(const uint8_t* code, size_t codeSize, uint8_t* output, size_t outputSize) {
    const uint8_t* p = code;
    const uint8_t* const end = code + codeSize;
    size_t written = 0;
    for (;;) {
        if (p == end) return false; // the stream must close with a literal-only sequence
        const uint8_t token = *p++;
        size_t literals = token >> 4;
        if (literals == 15 && !getCount(p, end, literals)) return false;
        if (literals > static_cast<size_t>(end - p) || literals > outputSize - written)
            return false;
        if (literals > 0)
            std::memcpy(output + written, p, literals); // output may be null when empty
        p += literals;
        written += literals;
        if (p == end) return written == outputSize; // the last sequence carries no match
        size_t distance = 0;
        if (!getVarint(p, end, distance)) return false;
        size_t length = token & 15;
        if (length == 15 && !getCount(p, end, length)) return false;
        length += kMinMatch;
        if (distance == 0 || distance > written || length > outputSize - written) return false;
        const uint8_t* from = output + written - distance;
        uint8_t* to = output + written;
        if (distance >= length) {
            std::memcpy(to, from, length);
        } else {
            for (size_t i = 0; i < length; ++i) to[i] = from[i]; // a run copies itself
        }
        written += length;
    }
}

} // namespace art
