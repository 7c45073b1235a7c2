// SPDX-License-Identifier: GPL-3.0-or-later
// The DLL's load and unload on Windows: the module handle goes to the toolkit, which
// registers its window class with it, and the class goes away with the module. Nothing
// else happens here: the loader lock is held.
#include "toolkit/Win32Module.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        VSTGUI::attachWindowModule(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary; at process exit the class goes with the process.
        VSTGUI::detachWindowModule();
    }
    return TRUE;
}
