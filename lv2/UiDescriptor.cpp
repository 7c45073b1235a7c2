// SPDX-License-Identifier: GPL-3.0-or-later
// The library's second entry point: the descriptor of the editor as an X11 UI, which hosts
// find in the same binary as the plug-in.
#include "lv2/PortLayout.h"
#include "lv2/TesselLv2Ui.h"

#include <cstring>
#include <lv2/ui/ui.h>

namespace {

TesselLv2Ui* uiOf(LV2UI_Handle handle) {
    return static_cast<TesselLv2Ui*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (pluginUri == nullptr || std::strcmp(pluginUri, lv2ports::kPluginUri) != 0) return nullptr;
    try {
        return TesselLv2Ui::create(write, controller, widget, features).release();
    } catch (...) {
        return nullptr; // out of memory: the host shows its own controls
    }
}

void cleanup(LV2UI_Handle handle) {
    delete uiOf(handle);
}

// The instance applies the host's values in its run and the editor follows them there.
void portEvent(LV2UI_Handle, std::uint32_t, std::uint32_t, std::uint32_t, const void*) {}

int idle(LV2UI_Handle handle) {
    return handle != nullptr ? uiOf(handle)->idle() : 1;
}

constexpr LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
    return nullptr;
}

constexpr LV2UI_Descriptor kDescriptor = {lv2ports::kUiUri, instantiate, cleanup, portEvent,
                                          extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
