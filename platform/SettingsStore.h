// The plug-in's stand-in for a registry: keys named by backslash-separated paths
// ("SOFTWARE\Drellsonic\Tessel"), each holding named values that are either text or a
// 32-bit number. The interface lets tests and the effect use another store.
#pragma once

#include <cstdint>
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

enum class SettingsWriteStatus {
    ok,
    keyNotCreated,   // the key could not be created (no store, bad path, folder not writable)
    valueNotWritten, // the key exists but its values could not be written
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool keyExists(std::string_view keyPath) const = 0;
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
