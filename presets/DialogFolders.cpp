// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/DialogFolders.h"

#include "platform/SettingsKeys.h"
#include "platform/SettingsStore.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string_view valueNameOf(DialogFileKind kind) {
    switch (kind) {
    case DialogFileKind::bank:
        return kBankFolderValue;
    case DialogFileKind::preset:
        return kPresetFolderValue;
    case DialogFileKind::midi:
        break;
    }
    return kMidiFolderValue;
}

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

} // namespace

std::string DialogFolders::homeFolder() {
    for (const char* name : {"HOME", "USERPROFILE"})
        if (const char* home = std::getenv(name); home != nullptr && isFolder(home))
            return withTrailingSlash(home);
    return {};
}

std::string DialogFolders::folderFor(DialogFileKind kind) const {
    if (auto folder = store.readString(kSettingsKeyPath, valueNameOf(kind));
        folder && isFolder(*folder))
        return withTrailingSlash(*folder);
    return homeFolder();
}

void DialogFolders::remember(DialogFileKind kind, const std::string& folder) {
    if (folder.empty()) return;
    store.writeValues(kSettingsKeyPath,
                      {{std::string(valueNameOf(kind)), withTrailingSlash(folder)}});
}
