// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Printable.h"

namespace cli {

namespace {

void appendHex(std::string& out, unsigned char byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// The length of the valid UTF-8 sequence that starts at text[at], or 0. Overlong forms,
// surrogates and code points above U+10FFFF count as invalid.
std::size_t utf8Length(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned int codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3Fu);
    }
    const unsigned int smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF) return 0;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
    if (codePoint >= 0x80 && codePoint <= 0x9F) return 0; // C1 controls
    return length;
}

} // namespace

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x80) {
            if (std::size_t length = utf8Length(text, at)) {
                out.append(text.substr(at, length));
                at += length;
            } else {
                appendHex(out, byte);
                ++at;
            }
            continue;
        }
        switch (byte) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                appendHex(out, byte);
            else
                out += static_cast<char>(byte);
        }
        ++at;
    }
    return out;
}

std::string inQuotes(std::string_view text) {
    return "'" + printable(text) + "'";
}

} // namespace cli
