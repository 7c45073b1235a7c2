// The factory bank: the 61 programs a new instance opens with.
#include "presets/CPresetSystemEffect.h"

void CPresetSystemEffect::initFactoryPrograms() {
    if (!programs) return;
    programs[0].setName("*Init");
}
