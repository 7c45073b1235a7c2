// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Win32FileDialogs.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>

std::string win32FilterText(const std::vector<FileFilter>& filters) {
    std::string text;
    for (const FileFilter& filter : filters) {
        text.append(filter.name).push_back('\0');
        text.append(filter.pattern).push_back('\0');
    }
    text.push_back('\0');
    if (filters.empty()) text.push_back('\0');
    return text;
}

std::string win32InitialDirectory(const std::string& directory) {
    std::string folder = directory;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

bool Win32FileDialogs::start(const FileDialogRequest& request) {
    if (showing) return false;
    std::string filters = win32FilterText(request.filters);
    std::string folder = win32InitialDirectory(request.directory);
    // The pre-filled name, in the buffer that receives the chosen path.
    std::vector<char> path(32768, '\0');
    request.fileName.copy(path.data(), std::min(request.fileName.size(), path.size() - 1));

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = reinterpret_cast<HWND>(static_cast<uintptr_t>(request.parentWindow));
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = DWORD(request.selectedFilter + 1);
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = DWORD(path.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = request.title.c_str();
    dialog.lpstrDefExt =
        request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (request.kind == FileDialogKind::open)
        dialog.Flags |= OFN_FILEMUSTEXIST;
    else
        dialog.Flags |= OFN_OVERWRITEPROMPT;

    showing = true;
    BOOL chosen = request.kind == FileDialogKind::open ? GetOpenFileNameA(&dialog)
                                                       : GetSaveFileNameA(&dialog);
    showing = false;
    if (chosen)
        result = {FileDialogStatus::chosen, std::string(path.data())};
    else
        // Cancelled, or the dialog failed (a path longer than the buffer): nothing to do.
        result = {FileDialogStatus::cancelled, {}};
    return true;
}

FileDialogResult Win32FileDialogs::poll() {
    FileDialogResult answer = result;
    result = {};
    return answer;
}
