// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store on the Windows registry. Keys are read from HKEY_CURRENT_USER first and
// HKEY_LOCAL_MACHINE second, so a value a user stored for themselves wins over the machine's.
// Writes go to HKEY_LOCAL_MACHINE when it can be opened for writing (an administrator) and
// to HKEY_CURRENT_USER otherwise (any other user, on current Windows): a normal user can
// still keep a controller map and a default bank. After a write to the machine's key the
// user's values of the same names are removed, so reads see what was just written.
// Text values are REG_SZ, numbers REG_DWORD.
#pragma once

#include "platform/SettingsStore.h"

#include <string>

struct RegistryPlaces {
    // Put before every key path, with a trailing backslash ("Software\Tests\1\"): tests keep
    // their keys apart from the real ones. Empty for the real keys.
    std::string prefix;
    // False makes the store act as a user without administrator rights would: the
    // machine's keys are read but never written.
    bool machineWritable = true;
};

class RegistrySettingsStore final : public SettingsStore {
public:
    explicit RegistrySettingsStore(RegistryPlaces places = {});

    bool keyExists(std::string_view keyPath) const override;
    SettingsKeyContents readKey(std::string_view keyPath) const override;
    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view name) const override;
    std::optional<std::uint32_t> readDword(std::string_view keyPath,
                                           std::string_view name) const override;
    SettingsWriteStatus writeValues(std::string_view keyPath,
                                    const std::vector<SettingsValue>& values) override;

private:
    std::string fullPath(std::string_view keyPath) const;
    std::optional<SettingsValue::Value> find(std::string_view keyPath, std::string_view name) const;

    RegistryPlaces places;
};
