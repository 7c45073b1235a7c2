// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings, read but never written: for programs that create effects without
// being the plug-in in a host (benchmarks, listings), which must leave the user's
// configuration as they found it. A write answers ok and is dropped, so an effect that
// stores its defaults on a first run neither shows an error nor changes anything on disk.
#pragma once

#include "platform/FileSettingsStore.h"

class ReadOnlySettingsStore final : public SettingsStore {
public:
    bool keyExists(std::string_view keyPath) const override { return store.keyExists(keyPath); }
    SettingsKeyContents readKey(std::string_view keyPath) const override {
        return store.readKey(keyPath);
    }
    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view name) const override {
        return store.readString(keyPath, name);
    }
    std::optional<std::uint32_t> readDword(std::string_view keyPath,
                                           std::string_view name) const override {
        return store.readDword(keyPath, name);
    }
    SettingsWriteStatus writeValues(std::string_view, const std::vector<SettingsValue>&) override {
        return SettingsWriteStatus::ok;
    }

private:
    FileSettingsStore store;
};
