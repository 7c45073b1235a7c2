// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in's effect: Drell with its editor, which the effect owns from here on.
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "host/EffectFactory.h"

#include <memory>

AudioEffect* createEffect(audioMasterCallback audioMaster) {
    auto drell = std::make_unique<Drell>(audioMaster);
    drell->adoptEditor(std::make_unique<Editor>(drell.get()));
    return drell.release();
}
