// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Win32MessageBoxes.h"

#include <windows.h>

#include <string>

void Win32MessageBoxes::showError(std::string_view message, MessageIcon icon) {
    std::string text(message);
    std::string caption(kMessageCaption);
    UINT style = MB_OK | (icon == MessageIcon::error ? MB_ICONERROR : 0u);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
}
