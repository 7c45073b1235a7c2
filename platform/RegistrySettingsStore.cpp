// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegistrySettingsStore.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Read order: the user's settings before the machine's.
std::array<HKEY, 2> readOrder() {
    return {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
}

// Values longer than this are not ours and are skipped (the longest we write is a path).
constexpr DWORD kMaxValueBytes = 64 * 1024;

// An open registry key, closed when leaving scope.
class Key {
public:
    Key() = default;
    ~Key() {
        if (handle != nullptr) RegCloseKey(handle);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool open(HKEY root, const std::string& path, REGSAM access) {
        return RegOpenKeyExA(root, path.c_str(), 0, access, &handle) == ERROR_SUCCESS;
    }
    bool create(HKEY root, const std::string& path) {
        return RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &handle,
                               nullptr) == ERROR_SUCCESS;
    }
    HKEY get() const { return handle; }

private:
    HKEY handle = nullptr;
};

// A value's data as ours: REG_SZ as text without its terminating NUL, REG_DWORD as a number.
std::optional<SettingsValue::Value> decode(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        return SettingsValue::Value(std::uint32_t(number));
    }
    if (type == REG_SZ) {
        std::string text(data.begin(), data.end());
        // Stored with its NUL, or without one by another program: up to the first NUL.
        text.resize(std::strlen(text.c_str()));
        return SettingsValue::Value(std::move(text));
    }
    return std::nullopt;
}

std::optional<SettingsValue::Value> query(HKEY key, const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size > kMaxValueBytes)
        return std::nullopt;
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return decode(type, data);
}

// Every value of a key in the registry's order; values of other types are named in damage.
void readAll(HKEY key, SettingsKeyContents& contents) {
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        auto value = query(key, std::string(name, nameLength));
        if (!value) {
            if (!contents.damage.empty()) contents.damage += ", ";
            contents.damage += "the value " + std::string(name, nameLength) + " is not readable";
            continue;
        }
        contents.values.push_back({std::string(name, nameLength), std::move(*value)});
    }
}

bool setValue(HKEY key, const SettingsValue& value) {
    if (const auto* number = std::get_if<std::uint32_t>(&value.value)) {
        DWORD data = *number;
        return RegSetValueExA(key, value.name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
    }
    const std::string& text = std::get<std::string>(value.value);
    // The stored length counts the terminating NUL.
    return RegSetValueExA(key, value.name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          DWORD(text.size() + 1)) == ERROR_SUCCESS;
}

// Registry names end at a NUL: a name holding one cannot be stored faithfully.
bool storable(const SettingsValue& value) {
    if (value.name.empty() || value.name.find('\0') != std::string::npos) return false;
    const auto* text = std::get_if<std::string>(&value.value);
    return text == nullptr || text->find('\0') == std::string::npos;
}

} // namespace

RegistrySettingsStore::RegistrySettingsStore(RegistryPlaces places) : places(std::move(places)) {}

std::string RegistrySettingsStore::fullPath(std::string_view keyPath) const {
    return places.prefix + std::string(keyPath);
}

bool RegistrySettingsStore::keyExists(std::string_view keyPath) const {
    if (keyPath.empty()) return false;
    std::string path = fullPath(keyPath);
    auto roots = readOrder();
    return std::any_of(roots.begin(), roots.end(), [&](HKEY root) {
        Key key;
        return key.open(root, path, KEY_QUERY_VALUE);
    });
}

SettingsKeyContents RegistrySettingsStore::readKey(std::string_view keyPath) const {
    SettingsKeyContents contents;
    if (keyPath.empty()) return contents;
    std::string path = fullPath(keyPath);
    // The machine's values first: of two values of one name the later, the user's, wins.
    auto roots = readOrder();
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) {
        Key key;
        if (!key.open(*root, path, KEY_QUERY_VALUE)) continue;
        contents.exists = true;
        readAll(key.get(), contents);
    }
    return contents;
}

std::optional<SettingsValue::Value> RegistrySettingsStore::find(std::string_view keyPath,
                                                                std::string_view name) const {
    if (keyPath.empty()) return std::nullopt;
    std::string path = fullPath(keyPath);
    for (HKEY root : readOrder()) {
        Key key;
        if (!key.open(root, path, KEY_QUERY_VALUE)) continue;
        if (auto value = query(key.get(), std::string(name))) return value;
    }
    return std::nullopt;
}

std::optional<std::string> RegistrySettingsStore::readString(std::string_view keyPath,
                                                             std::string_view name) const {
    auto value = find(keyPath, name);
    if (!value || !std::holds_alternative<std::string>(*value)) return std::nullopt;
    return std::get<std::string>(*value);
}

std::optional<std::uint32_t> RegistrySettingsStore::readDword(std::string_view keyPath,
                                                              std::string_view name) const {
    auto value = find(keyPath, name);
    if (!value || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
    return std::get<std::uint32_t>(*value);
}

SettingsWriteStatus RegistrySettingsStore::writeValues(std::string_view keyPath,
                                                       const std::vector<SettingsValue>& values) {
    if (keyPath.empty()) return SettingsWriteStatus::keyNotCreated;
    std::string path = fullPath(keyPath);
    Key key;
    bool machine = places.machineWritable && key.create(HKEY_LOCAL_MACHINE, path);
    if (!machine && !key.create(HKEY_CURRENT_USER, path)) return SettingsWriteStatus::keyNotCreated;
    bool written = true;
    for (const SettingsValue& value : values)
        written = storable(value) && setValue(key.get(), value) && written;
    if (machine) {
        // A user's value of the same name would hide the machine's one just written.
        Key user;
        if (user.open(HKEY_CURRENT_USER, path, KEY_SET_VALUE))
            for (const SettingsValue& value : values)
                RegDeleteValueA(user.get(), value.name.c_str());
    }
    return written ? SettingsWriteStatus::ok : SettingsWriteStatus::valueNotWritten;
}
