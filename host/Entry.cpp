// SPDX-License-Identifier: GPL-3.0-or-later
// The library's entry point, exported under the two names hosts look for.
#include "host/AudioEffect.h"
#include "host/EffectFactory.h"
#include "host/vst2.h"

#ifdef _WIN32
#define TESSEL_EXPORT extern "C" __declspec(dllexport)
#else
#define TESSEL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TESSEL_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (audioMaster == nullptr) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        return createEffect(audioMaster)->getAeffect();
    } catch (...) {
        return nullptr; // out of memory: no instance, the host carries on
    }
}

// Older hosts look the entry up as "main"; a C++ function of that name cannot take this
// signature, so a second function carries that symbol name. Programs that link the entry
// point into themselves (the command-line renderer, tests) have a main of their own and
// build this file without the alias.
#ifndef TESSEL_ENTRY_WITHOUT_MAIN_ALIAS
TESSEL_EXPORT AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) {
    return VSTPluginMain(audioMaster);
}
#endif
