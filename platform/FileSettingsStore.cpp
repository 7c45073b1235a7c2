// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSettingsStore.h"

#include "platform/FileIo.h"
#include "platform/SettingsText.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kValuesFile = "/values";
constexpr std::size_t kMaxSettingsBytes = 256 * 1024;
constexpr std::string_view kTopBranch = "SOFTWARE\\";

bool hasValuesFile(const std::string& folder) {
    struct stat st {};
    return ::stat((folder + kValuesFile).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string defaultRoot() {
    const char* tessel = std::getenv("TESSEL_CONFIG_HOME");
    if (tessel != nullptr && *tessel != '\0') return tessel;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return std::string(home) + "/.config";
    return {};
}

bool isValidComponent(std::string_view part) {
    return !part.empty() && part != "." && part != ".." && part != "values" &&
           part.find('/') == std::string_view::npos && part.find('\0') == std::string_view::npos;
}

// mkdir -p; new folders are private to the user, as configuration folders should be.
bool makeFolders(const std::string& folder) {
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/') continue;
        std::string prefix = folder.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A key's values file, line by line: what can be read is used, and whatever cannot be (a
// file that cannot be opened or read to its end, one over the size limit, malformed lines)
// is named in the damage. The limit bounds what one reading costs.
SettingsKeyContents readValues(const std::string& folder) {
    SettingsKeyContents contents;
    const std::string path = folder + kValuesFile;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return contents;
        contents.exists = true;
        contents.damage = path + " cannot be opened";
        return contents;
    }
    contents.exists = true;
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        contents.damage = path + " is not a regular file";
    } else {
        char chunk[16384];
        for (;;) {
            const std::size_t room = kMaxSettingsBytes - text.size();
            ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, room + 1));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                contents.damage = path + " cannot be read to its end";
                break;
            }
            if (n == 0) break;
            if (static_cast<std::size_t>(n) > room) {
                text.append(chunk, room);
                contents.damage = path + " is larger than " + std::to_string(kMaxSettingsBytes) +
                                  " bytes; only its beginning was read";
                break;
            }
            text.append(chunk, static_cast<std::size_t>(n));
        }
        // A line cut off by the failure or the limit is not used.
        if (!contents.damage.empty()) text.erase(text.rfind('\n') + 1);
    }
    ::close(fd);
    int malformed = 0;
    contents.values = parseSettingsText(text, &malformed);
    if (malformed > 0 && contents.damage.empty())
        contents.damage = path + ": " + std::to_string(malformed) + " unreadable line" +
                          (malformed == 1 ? "" : "s");
    return contents;
}

// Holds an exclusive advisory lock on the key's lock file while it lives. Without the lock
// (a file system that has none) the write still happens; it is atomic either way.
class KeyLock {
public:
    explicit KeyLock(const std::string& folder)
        : fd(::open((folder + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600)) {
        if (fd >= 0) {
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~KeyLock() {
        if (fd >= 0) ::close(fd); // closing releases the lock
    }
    KeyLock(const KeyLock&) = delete;
    KeyLock& operator=(const KeyLock&) = delete;

private:
    int fd;
};

} // namespace

FileSettingsStore::FileSettingsStore(std::optional<std::string> root)
    : rootFolder(root ? std::move(*root) : defaultRoot()) {
    while (rootFolder.size() > 1 && rootFolder.back() == '/') rootFolder.pop_back();
}

std::string FileSettingsStore::keyFolder(std::string_view keyPath, bool legacy) const {
    if (rootFolder.empty() || keyPath.empty()) return {};
    std::string folder = rootFolder;
    // "SOFTWARE" is the registry's top branch; on disk the keys start below it, so that the
    // plug-in's settings are ROOT/Drellsonic/Tessel. Earlier versions kept the branch.
    if (!legacy && keyPath.starts_with(kTopBranch)) keyPath.remove_prefix(kTopBranch.size());
    while (true) {
        auto split = keyPath.find('\\');
        std::string_view part = keyPath.substr(0, split);
        if (!isValidComponent(part)) return {};
        folder += '/';
        folder += part;
        if (split == std::string_view::npos) break;
        keyPath.remove_prefix(split + 1);
    }
    return folder;
}

std::string FileSettingsStore::readFolder(std::string_view keyPath) const {
    const std::string folder = keyFolder(keyPath, false);
    if (folder.empty() || hasValuesFile(folder)) return folder;
    // Settings written where earlier versions kept them are read until the key is written.
    const std::string legacy = keyFolder(keyPath, true);
    return legacy != folder && !legacy.empty() && hasValuesFile(legacy) ? legacy : folder;
}

bool FileSettingsStore::keyExists(std::string_view keyPath) const {
    std::string folder = readFolder(keyPath);
    return !folder.empty() && hasValuesFile(folder);
}

SettingsKeyContents FileSettingsStore::readKey(std::string_view keyPath) const {
    std::string folder = readFolder(keyPath);
    if (folder.empty()) return {};
    return readValues(folder);
}

std::optional<SettingsValue> FileSettingsStore::find(std::string_view keyPath,
                                                     std::string_view name) const {
    const SettingsKeyContents contents = readKey(keyPath);
    if (const SettingsValue::Value* value = contents.find(name))
        return SettingsValue{std::string(name), *value};
    return std::nullopt;
}

std::optional<std::string> FileSettingsStore::readString(std::string_view keyPath,
                                                         std::string_view name) const {
    auto value = find(keyPath, name);
    if (!value) return std::nullopt;
    if (auto* text = std::get_if<std::string>(&value->value)) return std::move(*text);
    return std::nullopt;
}

std::optional<std::uint32_t> FileSettingsStore::readDword(std::string_view keyPath,
                                                          std::string_view name) const {
    auto value = find(keyPath, name);
    if (!value) return std::nullopt;
    if (auto* number = std::get_if<std::uint32_t>(&value->value)) return *number;
    return std::nullopt;
}

SettingsWriteStatus FileSettingsStore::writeValues(std::string_view keyPath,
                                                   const std::vector<SettingsValue>& values) {
    std::string folder = keyFolder(keyPath, false);
    if (folder.empty() || !makeFolders(folder)) return SettingsWriteStatus::keyNotCreated;
    for (const auto& value : values)
        if (!isValidSettingsName(value.name)) return SettingsWriteStatus::valueNotWritten;

    KeyLock lock(folder);
    // Merge: existing values keep their order, new ones follow; duplicates collapse. A key
    // still in its earlier place moves here with its values.
    std::vector<SettingsValue> merged;
    for (auto& existing : readValues(readFolder(keyPath)).values) {
        auto same = [&](const SettingsValue& v) { return v.name == existing.name; };
        if (std::none_of(values.begin(), values.end(), same)) {
            auto old = std::find_if(merged.begin(), merged.end(), same);
            if (old != merged.end())
                *old = std::move(existing);
            else
                merged.push_back(std::move(existing));
        }
    }
    for (const auto& value : values) {
        auto old = std::find_if(merged.begin(), merged.end(),
                                [&](const SettingsValue& v) { return v.name == value.name; });
        if (old != merged.end())
            *old = value;
        else
            merged.push_back(value);
    }

    std::string text = formatSettingsText(keyPath, merged);
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (writeFileAtomically(folder + kValuesFile, bytes) != 0)
        return SettingsWriteStatus::valueNotWritten;
    return SettingsWriteStatus::ok;
}
