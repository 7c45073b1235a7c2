// SPDX-License-Identifier: GPL-3.0-or-later
// The effect without an editor, for programs that only process sound.
#include "engine/Drell.h"
#include "host/EffectFactory.h"

AudioEffect* createEffect(audioMasterCallback audioMaster) {
    return new Drell(audioMaster);
}
