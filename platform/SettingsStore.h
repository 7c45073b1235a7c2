// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in's stand-in for a registry: keys named by backslash-separated paths
// ("SOFTWARE\Drellsonic\Tessel"), each holding named values that are either text or a
// 32-bit number. The interface lets tests and the effect use another store.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct SettingsValue {
    using Value = std::variant<std::string, std::uint32_t>; // text or 32-bit number
    std::string name;
    Value value;
};

// Everything one key holds, read in one go.
struct SettingsKeyContents {
    bool exists = false; // the key is there, also when its values cannot be read
    // Empty when every value could be read; otherwise what could not be, for the user.
    std::string damage;
    std::vector<SettingsValue> values; // what could be read, in stored order

    // The value of a name (of duplicates the later), or null.
    const SettingsValue::Value* find(std::string_view name) const {
        for (auto it = values.rbegin(); it != values.rend(); ++it)
            if (it->name == name) return &it->value;
        return nullptr;
    }
};

enum class SettingsWriteStatus {
    ok,
    keyNotCreated,   // the key could not be created (no store, bad path, folder not writable)
    valueNotWritten, // the key exists but its values could not be written
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool keyExists(std::string_view keyPath) const = 0;
    // The whole key at once: one reading sees one version of it.
    virtual SettingsKeyContents readKey(std::string_view keyPath) const = 0;
    // Absent when the key or value does not exist or holds the other type.
    virtual std::optional<std::string> readString(std::string_view keyPath,
                                                  std::string_view name) const = 0;
    virtual std::optional<std::uint32_t> readDword(std::string_view keyPath,
                                                   std::string_view name) const = 0;
    // Creates the key if needed and sets all the values in one step: readers see either
    // none or all of them. Other values of the key are kept.
    virtual SettingsWriteStatus writeValues(std::string_view keyPath,
                                            const std::vector<SettingsValue>& values) = 0;
};

// Tells the user in one line on standard error that a key could not be read whole, and what
// is done instead.
// Control characters (a path may hold any) are written as \xNN, so that the line stays one
// line and cannot move the terminal's cursor.
inline void reportSettingsDamage(std::string_view damage, std::string_view consequence) {
    std::string line = "Tessel: ";
    for (const char c : damage) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || c == '\\') {
            const char* hex = "0123456789abcdef";
            line += "\\x";
            line += hex[u >> 4];
            line += hex[u & 15];
        } else {
            line += c;
        }
    }
    line.append(": ").append(consequence).append("\n");
    std::fputs(line.c_str(), stderr);
}
