// SPDX-License-Identifier: GPL-3.0-or-later
// A settings store in memory for tests, with switchable write failures.
#pragma once

#include "platform/SettingsStore.h"

#include <map>
#include <string>

class MemorySettingsStore final : public SettingsStore {
public:
    // What every write answers instead of writing, when set.
    std::optional<SettingsWriteStatus> failWrites;
    int writeCount = 0;
    mutable int readCount = 0; // reads of a key or of one value
    std::map<std::string, std::map<std::string, SettingsValue::Value>, std::less<>> keys;

    bool keyExists(std::string_view keyPath) const override { return keys.contains(keyPath); }
    SettingsKeyContents readKey(std::string_view keyPath) const override {
        ++readCount;
        SettingsKeyContents contents;
        auto key = keys.find(keyPath);
        if (key == keys.end()) return contents;
        contents.exists = true;
        for (const auto& [name, value] : key->second) contents.values.push_back({name, value});
        return contents;
    }
    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view name) const override {
        ++readCount;
        const auto* value = find(keyPath, name);
        const auto* text = value ? std::get_if<std::string>(value) : nullptr;
        return text ? std::optional(*text) : std::nullopt;
    }
    std::optional<std::uint32_t> readDword(std::string_view keyPath,
                                           std::string_view name) const override {
        ++readCount;
        const auto* value = find(keyPath, name);
        const auto* number = value ? std::get_if<std::uint32_t>(value) : nullptr;
        return number ? std::optional(*number) : std::nullopt;
    }
    SettingsWriteStatus writeValues(std::string_view keyPath,
                                    const std::vector<SettingsValue>& values) override {
        ++writeCount;
        if (failWrites) return *failWrites;
        auto& key = keys[std::string(keyPath)];
        for (const auto& value : values) key[value.name] = value.value;
        return SettingsWriteStatus::ok;
    }

private:
    const SettingsValue::Value* find(std::string_view keyPath, std::string_view name) const {
        auto key = keys.find(keyPath);
        if (key == keys.end()) return nullptr;
        auto value = key->second.find(std::string(name));
        return value == key->second.end() ? nullptr : &value->second;
    }
};
