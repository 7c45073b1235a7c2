// SPDX-License-Identifier: GPL-3.0-or-later
// The MIDI controller map of the preset system: bindings between the 48 sound parameters
// and the 128 controller numbers, learn and clear modes, and control-change routing.
#include "presets/ControllerMap.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/PresetSystemEvents.h"

namespace {

constexpr bool isController(VstInt32 cc) {
    return cc >= 0 && cc < kNumControllers;
}

} // namespace

void CPresetSystemEffect::bindController(VstInt32 param, VstInt32 controller) {
    if (!isSoundParameter(param) || !paramToController || !controllerToParam) return;
    VstInt32 old = paramToController[param];
    if (isController(old) && controllerToParam[old] == param) controllerToParam[old] = kNotAssigned;
    if (isController(controller)) {
        VstInt32 holder = controllerToParam[controller];
        if (isSoundParameter(holder) && holder != param) paramToController[holder] = kNotAssigned;
        controllerToParam[controller] = param;
    }
    paramToController[param] = controller;
}

void CPresetSystemEffect::assignController(VstInt32 param, VstInt32 controller) {
    bindController(param, controller);
}

void CPresetSystemEffect::unassignParameter(VstInt32 param) {
    if (!isSoundParameter(param) || !paramToController || !controllerToParam) return;
    VstInt32 cc = paramToController[param];
    paramToController[param] = kNotAssigned;
    if (isController(cc)) controllerToParam[cc] = kNotAssigned;
}

void CPresetSystemEffect::unassignController(VstInt32 controller) {
    if (!isController(controller) || !paramToController || !controllerToParam) return;
    VstInt32 p = controllerToParam[controller];
    controllerToParam[controller] = kNotAssigned;
    if (isSoundParameter(p)) paramToController[p] = kNotAssigned;
}

VstInt32 CPresetSystemEffect::getControllerOfParameter(VstInt32 param) {
    if (!isSoundParameter(param) || !paramToController) return kNotAssigned;
    return paramToController[param];
}

VstInt32 CPresetSystemEffect::getParameterOfController(VstInt32 controller) {
    if (!isController(controller) || !paramToController || !controllerToParam) return kNotAssigned;
    VstInt32 p = controllerToParam[controller];
    if (isSoundParameter(p) && paramToController[p] != kNotAssigned) return p;
    return kNotAssigned;
}

void CPresetSystemEffect::startLearn() {
    learnTarget = -1;
    learnMode = true;
}

void CPresetSystemEffect::stopLearn() {
    learnMode = false;
    learnTarget = -1;
    if (PresetSystemEvents* events = presetListener()) events->onLearnEnded();
}

void CPresetSystemEffect::setLearnTarget(VstInt32 param) {
    learnTarget = param;
}

void CPresetSystemEffect::startClear() {
    clearMode = true;
}

void CPresetSystemEffect::stopClear() {
    clearMode = false;
    if (PresetSystemEvents* events = presetListener()) events->onClearEnded();
}

void CPresetSystemEffect::resetMidiMap() {
    if (!paramToController || !controllerToParam) return;
    for (VstInt32 cc = 0; cc < kNumControllers; ++cc) controllerToParam[cc] = kNotAssigned;
    for (VstInt32 p = 0; p < kNumParams; ++p) {
        paramToController[p] = kDefaultControllers[p];
        controllerToParam[kDefaultControllers[p]] = p;
    }
    loadMidiMapFromRegistry();
}

VstInt32 CPresetSystemEffect::processEvents(VstEvents* events) {
    if (!paramToController || !controllerToParam || events == nullptr) return 0;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = events->events[i];
        if (event == nullptr || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        auto status = static_cast<unsigned char>(midi->midiData[0]);
        if ((status & 0xF0) != 0xB0) continue; // control change on any channel
        auto cc = static_cast<unsigned char>(midi->midiData[1]);
        if (cc >= 128) continue;
        auto data = static_cast<signed char>(midi->midiData[2]);

        VstInt32 target = learnTarget;
        if (learnMode && isSoundParameter(target) && cc < kFirstModeController) {
            for (VstInt32 p = 0; p < kNumParams; ++p)
                if (paramToController[p] == cc) paramToController[p] = kNotAssigned;
            bindController(target, cc);
            stopLearn();
        }

        VstInt32 p = controllerToParam[cc];
        if (isSoundParameter(p)) {
            int d = data < 0 ? 0 : data;
            setParameter(p, static_cast<float>(d) / 127.0f);
        }
    }
    return 1;
}
