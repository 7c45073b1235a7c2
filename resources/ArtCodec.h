// SPDX-License-Identifier: GPL-3.0-or-later
// The compact form in which the panel art is compiled into the plug-in: a byte-oriented
// LZ77 code of our own. The generator encodes each bitmap's pixel bytes once at build time;
// the plug-in decodes them when the editor loads a bitmap. No compression library is used.
//
// A stream is a series of sequences. Each starts with a token byte: the high four bits
// count the literal bytes that follow, the low four bits the match length minus 4. A
// count of 15 continues in further bytes, each adding its value, until a byte below 255.
// After the literals comes the match: its distance back into the output as a base-128
// varint (low seven bits first), then the copy, which may overlap itself (a run). The
// last sequence has literals only and ends exactly at the expected output size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

// Encodes `input` (deterministic: the same bytes always give the same code).
std::vector<uint8_t> lzEncode(const uint8_t* input, size_t size);

// Decodes `code` into exactly `outputSize` bytes at `output`. False when the code is
// malformed or does not produce exactly that many bytes; `output` may then be partly written.
bool lzDecode(const uint8_t* code, size_t codeSize, uint8_t* output, size_t outputSize);

} // namespace art
