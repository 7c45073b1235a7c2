// SPDX-License-Identifier: GPL-3.0-or-later
// The folder each kind of file dialog opens in: the one the last file of that kind was
// loaded from or saved to, kept in the settings store beside the default bank so that it
// holds across sessions and instances; the user's home folder before any choice, or when
// the remembered folder is gone.
#pragma once

#include <string>
#include <string_view>

class SettingsStore;

// Text values of the settings key, one per kind of file.
inline constexpr std::string_view kPresetFolderValue = "presetdir";
inline constexpr std::string_view kBankFolderValue = "bankdir";
inline constexpr std::string_view kMidiFolderValue = "mididir";

enum class DialogFileKind { bank, preset, midi };

class DialogFolders {
public:
    explicit DialogFolders(SettingsStore& store) : store(store) {}

    // The folder to open the next dialog of that kind in, with a trailing '/'; empty lets
    // the dialog choose (no remembered folder and no home folder).
    std::string folderFor(DialogFileKind kind) const;
    // Remembers the folder of a chosen file. A folder that cannot be stored is only not
    // remembered: the file itself was loaded or saved.
    void remember(DialogFileKind kind, const std::string& folder);

    // $HOME (or %USERPROFILE%) with a trailing '/', or empty.
    static std::string homeFolder();

private:
    SettingsStore& store;
};
