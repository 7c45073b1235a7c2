// Persistence of the controller map between runs. Until the settings store exists the
// map lives only in memory.
#include "presets/CPresetSystemEffect.h"

void CPresetSystemEffect::loadMidiMapFromRegistry() {}

void CPresetSystemEffect::saveMidiMapToRegistry() {}
