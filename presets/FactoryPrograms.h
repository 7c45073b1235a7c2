// The factory bank as one constant table: the name and the 48 parameter values of each of
// the 61 programs, in bank order.
#pragma once

#include "engine/Parameters.h"
#include "presets/CPresetSystemEffect.h"

struct FactoryProgram {
    const char* name;          // at most 24 characters
    double values[kNumParams]; // in parameter order, each in [0, 1], at most six decimals
};

extern const FactoryProgram kFactoryPrograms[kNumPrograms];
