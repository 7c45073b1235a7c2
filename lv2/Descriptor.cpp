// The library's one entry point: the descriptor through which LV2 hosts make instances.
#include "lv2/PortLayout.h"
#include "lv2/TesselLv2.h"

#include <lv2/core/lv2.h>

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

const void* extensionData(const char*) {
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
