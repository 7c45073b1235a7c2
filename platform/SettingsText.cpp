// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsText.h"

#include <charconv>

namespace {

constexpr std::string_view kText = "text";
constexpr std::string_view kDword = "dword";

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (isControl(c)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            i += 1;
            continue;
        }
        if (i + 3 < text.size() && text[i + 1] == 'x') {
            int hi = hexDigit(text[i + 2]), lo = hexDigit(text[i + 3]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 3;
            continue;
        }
        return std::nullopt;
    }
    return out;
}

std::optional<SettingsValue> parseLine(std::string_view line) {
    auto firstSpace = line.find(' ');
    if (firstSpace == std::string_view::npos) return std::nullopt;
    auto secondSpace = line.find(' ', firstSpace + 1);
    if (secondSpace == std::string_view::npos) return std::nullopt;
    std::string_view name = line.substr(0, firstSpace);
    std::string_view type = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    std::string_view value = line.substr(secondSpace + 1);
    if (!isValidSettingsName(name)) return std::nullopt;

    if (type == kDword) {
        std::uint32_t number = 0;
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc{} || end != value.data() + value.size() || value.empty())
            return std::nullopt;
        return SettingsValue{std::string(name), number};
    }
    if (type == kText) {
        for (char c : value)
            if (isControl(static_cast<unsigned char>(c))) return std::nullopt;
        auto text = unescape(value);
        if (!text) return std::nullopt;
        return SettingsValue{std::string(name), std::move(*text)};
    }
    return std::nullopt;
}

} // namespace

bool isValidSettingsName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) return false;
    }
    return name[0] != '#';
}

std::string formatSettingsText(std::string_view keyPath, const std::vector<SettingsValue>& values) {
    std::string out = "# Tessel settings key ";
    appendEscaped(out, keyPath);
    out += '\n';
    for (const auto& entry : values) {
        if (!isValidSettingsName(entry.name)) continue;
        out += entry.name;
        if (const auto* text = std::get_if<std::string>(&entry.value)) {
            out += ' ';
            out += kText;
            out += ' ';
            appendEscaped(out, *text);
        } else {
            char digits[16];
            auto number = std::get<std::uint32_t>(entry.value);
            auto result = std::to_chars(digits, digits + sizeof digits, number);
            out += ' ';
            out += kDword;
            out += ' ';
            out.append(digits, result.ptr);
        }
        out += '\n';
    }
    return out;
}

std::vector<SettingsValue> parseSettingsText(std::string_view text, int* malformedLines) {
    std::vector<SettingsValue> values;
    int malformed = 0;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        if (auto value = parseLine(line))
            values.push_back(std::move(*value));
        else
            ++malformed;
    }
    if (malformedLines != nullptr) *malformedLines = malformed;
    return values;
}
