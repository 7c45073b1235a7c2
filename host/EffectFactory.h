// SPDX-License-Identifier: GPL-3.0-or-later
// The effect an entry point hands to the host. The plug-in makes the effect with its
// editor; programs that run the effect without a window (the command-line renderer) link a
// factory that makes it without one.
#pragma once

#include "host/vst2.h"

class AudioEffect;

// A new effect for the host callback; throws only when memory runs out.
AudioEffect* createEffect(audioMasterCallback audioMaster);
