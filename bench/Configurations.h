// SPDX-License-Identifier: GPL-3.0-or-later
// The settings the engine benchmarks play, written against a parameter setter and a program
// selector so that the effect built in and the plug-in loaded by a host are set alike.
#pragma once

#include "engine/Parameters.h"

// The delays every case starts from: feedback 60 % with some of it cross-panned, short
// left and right times.
template <class SetParameter>
void setBenchDelays(SetParameter setParameter) {
    setParameter(kDlyLFb, 0.6f);
    setParameter(kDlyRFb, 0.6f);
    setParameter(kDlyLFbPan, 0.3f);
    setParameter(kDlyLTime, 0.05f);
    setParameter(kDlyRTime, 0.07f);
}

// The common configurations, on top of the bench delays:
//   0 plain delay: VCO and every section off (feedback 60 %, 250 and 350 ms);
//   1 the default program "*Init" (VCO on at a fixed clock, no feedback, 2000 ms);
//   2 the LFO moving the clock (sine at about 1 Hz, LFO only, VCO depth 70 %);
//   3 every section on with the spring reverb, 4 the same with the plate;
//   5 the LFO and the envelopes moving the clock (as 2, the source at 30 %).
// The caller then switches the effect off and on, as a host starts playback.
template <class SetParameter, class SelectProgram>
void setConfiguration(int config, SetParameter setParameter, SelectProgram selectProgram) {
    if (config == 1) {
        selectProgram(0);
        return;
    }
    setParameter(kVcoOn, config == 0 ? 0.0f : 1.0f);
    if (config == 5) {
        setConfiguration(2, setParameter, selectProgram);
        setParameter(kModSource, 0.3f);
        return;
    }
    if (config >= 2) {
        setParameter(kModOn, 1.0f);
        setParameter(kModLfoWave, 0.1f);
        setParameter(kModLfoRate, 0.3f);
        setParameter(kModSource, 0.0f);
        setParameter(kVcoMod, 0.85f);
    }
    if (config >= 3) {
        setParameter(kFltOn, 1.0f);
        setParameter(kFltMode, 0.5f); // "fb"
        setParameter(kFltCutoff, 0.6f);
        setParameter(kFltRes, 0.6f);
        setParameter(kFltMod, 0.8f);
        setParameter(kDrvOn, 1.0f);
        setParameter(kDrvGain, 0.5f);
        setParameter(kModSource, 0.3f);
        setParameter(kRvbOn, 1.0f);
        setParameter(kRvbType, config == 4 ? 1.0f : 0.0f);
        setParameter(kRvbAmt, 0.5f);
    }
}
