// SPDX-License-Identifier: GPL-3.0-or-later
// The factory bank as one constant table: the name and the 48 parameter values of each of
// the 61 programs a new instance opens with, in bank order.
//
// Programs 1 to 19 are tempo echoes named after their note values ("1 4-1 8" is a quarter
// on the left and an eighth on the right); "X-talk" crosses the feedback, "->C" and "->R"
// gather it in the centre or on the right, "Single" has none, and "LP", "BP" and "HP"
// switch on that filter. A "Bounce" alternates the sides at its note value even when both
// inputs carry the same sound: the left line repeats once at the note value, the right
// line at twice it and feeds half of each repeat back to itself and half to the left, so
// left and right take turns. Programs 20 to 60 are effects built on the
// sections their names call for. Selectors sit at the centre of their step (a whole-note
// denominator is stored as 0); the section switches and the reverb's mode and type store
// 0 for the first step and 0.5 for the second. The effect programs' output levels are
// matched to the loudness of the echoes.
#pragma once

#include "engine/Parameters.h"
#include "presets/CPresetSystemEffect.h"

struct FactoryProgram {
    const char* name;          // at most 24 characters
    double values[kNumParams]; // in parameter order, each in [0, 1], at most six decimals
};

extern const FactoryProgram kFactoryPrograms[kNumPrograms];
