// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store on disk: each key is a folder under the root named after the key path
// below its top branch (SOFTWARE\Drellsonic\Tessel\MIDI is ROOT/Drellsonic/Tessel/MIDI; a
// key found only in the earlier place ROOT/SOFTWARE/... is read there until it is next
// written, which moves it), its values are
// the file "values" in that folder, in the text form of SettingsText.h. A key exists when
// its values file exists. Key path components are case-sensitive; empty components, "." and
// "..", "values" and components holding '/' are refused.
//
// The root is the constructor argument, else $TESSEL_CONFIG_HOME, else $XDG_CONFIG_HOME
// (when absolute), else $HOME/.config; with none of these the store is unavailable: reads
// find nothing and writes fail with keyNotCreated.
//
// A write replaces the values file atomically (FileIo.h), holding an advisory lock on the
// key's ".lock" file so that concurrent writers in threads or processes merge their values
// one after the other instead of losing some. Readers take no lock and always see a complete
// file. Of a file that cannot be read whole (unreadable, over 256 KiB, malformed lines) the
// values that can be read are used, and readKey names the damage; a write keeps them.
#pragma once

#include "platform/SettingsStore.h"

#include <optional>
#include <string>

class FileSettingsStore final : public SettingsStore {
public:
    explicit FileSettingsStore(std::optional<std::string> root = std::nullopt);

    // Empty when the store is unavailable.
    const std::string& root() const { return rootFolder; }

    bool keyExists(std::string_view keyPath) const override;
    SettingsKeyContents readKey(std::string_view keyPath) const override;
    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view name) const override;
    std::optional<std::uint32_t> readDword(std::string_view keyPath,
                                           std::string_view name) const override;
    SettingsWriteStatus writeValues(std::string_view keyPath,
                                    const std::vector<SettingsValue>& values) override;

    // The folder of a key; empty for an invalid path or an unavailable store. legacy: where
    // earlier versions kept it, under a folder named after the registry's top branch.
    std::string keyFolder(std::string_view keyPath, bool legacy = false) const;

private:
    // The folder a key is read from: its own, or its earlier one while only that exists.
    std::string readFolder(std::string_view keyPath) const;
    std::optional<SettingsValue> find(std::string_view keyPath, std::string_view name) const;

    std::string rootFolder;
};
