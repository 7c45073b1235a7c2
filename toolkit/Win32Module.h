// SPDX-License-Identifier: GPL-3.0-or-later
// The module (DLL or program) whose window class the editor's windows use on Windows.
#pragma once

namespace VSTGUI {

// Called from DllMain: the module the class is registered with. Without a call (a test
// program that links the toolkit directly) the module holding the toolkit is found itself.
void attachWindowModule(void* module);
// Unregisters the window class if it was registered; called when the DLL is unloaded.
void detachWindowModule();

} // namespace VSTGUI
