// SPDX-License-Identifier: GPL-3.0-or-later
// The library's one entry point: the descriptor through which LV2 hosts make instances.
#include "lv2/PortLayout.h"
#include "lv2/TesselLv2.h"

#include <cstring>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

namespace {

TesselLv2* instanceOf(LV2_Handle handle) {
    return static_cast<TesselLv2*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
    return TesselLv2::create(sampleRate, features).release();
}

void connectPort(LV2_Handle handle, std::uint32_t port, void* data) {
    if (handle != nullptr) instanceOf(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle) {
    if (handle != nullptr) instanceOf(handle)->activate();
}

void run(LV2_Handle handle, std::uint32_t frames) {
    if (handle != nullptr) instanceOf(handle)->run(frames);
}

void deactivate(LV2_Handle handle) {
    if (handle != nullptr) instanceOf(handle)->deactivate();
}

void cleanup(LV2_Handle handle) {
    delete instanceOf(handle);
}

LV2_State_Status saveState(LV2_Handle handle, LV2_State_Store_Function store,
                           LV2_State_Handle state, std::uint32_t, const LV2_Feature* const*) {
    if (handle == nullptr || store == nullptr) return LV2_STATE_ERR_UNKNOWN;
    return instanceOf(handle)->saveState(store, state);
}

LV2_State_Status restoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle state, std::uint32_t, const LV2_Feature* const*) {
    if (handle == nullptr || retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
    return instanceOf(handle)->restoreState(retrieve, state);
}

constexpr LV2_State_Interface kState = {saveState, restoreState};

const void* extensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0) return &kState;
    return nullptr;
}

constexpr LV2_Descriptor kDescriptor = {
    lv2ports::kPluginUri, instantiate, connectPort,  activate, run,
    deactivate,           cleanup,     extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
