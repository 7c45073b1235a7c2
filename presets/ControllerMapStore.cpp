// SPDX-License-Identifier: GPL-3.0-or-later
// Persistence of the controller map between runs and instances: one 32-bit number per sound
// parameter ("param000".."param047") in the settings store's MIDI key.
#include "platform/MessageBox.h"
#include "platform/SettingsKeys.h"
#include "platform/SettingsStore.h"
#include "presets/CPresetSystemEffect.h"

#include <vector>

namespace {

constexpr std::string_view kKeyNotCreatedMessage =
    "Could not create registry key for storing MIDI settings!";
constexpr std::string_view kValueNotWrittenMessage =
    "Could not create registry value for storing MIDI settings!";

} // namespace

void CPresetSystemEffect::loadMidiMapFromRegistry() {
    if (!paramToController || !controllerToParam) return;
    // One reading of the whole key, so a store by another instance meanwhile cannot mix
    // two versions.
    const SettingsKeyContents key = settingsStore().readKey(kMidiSettingsKeyPath);
    if (!key.exists) {
        // First run: the key is created holding the current map, the defaults.
        saveMidiMapToRegistry();
        return;
    }
    // Of a key that cannot be read whole, what can be read is used and the rest keeps its
    // default; nothing is written until the user stores a map, so the user's values survive.
    const bool whole = key.damage.empty();
    if (!whole)
        reportSettingsDamage(key.damage, "the MIDI controllers read from it are used, the "
                                         "defaults for the rest; it is not written until a "
                                         "map is stored");
    for (VstInt32 p = 0; p < kNumParams; ++p) {
        const SettingsValue::Value* value = key.find(midiControllerValueName(p));
        const std::uint32_t* stored = value ? std::get_if<std::uint32_t>(value) : nullptr;
        if (stored) {
            // Stored as the two's complement of the map's number; anything outside 0..127
            // stays in the map but routes nothing.
            bindController(p, static_cast<VstInt32>(*stored));
        } else if (whole) {
            unassignParameter(p);
        }
    }
}

void CPresetSystemEffect::saveMidiMapToRegistry() {
    if (!paramToController || !controllerToParam) return;
    std::vector<SettingsValue> values;
    values.reserve(kNumParams);
    for (VstInt32 p = 0; p < kNumParams; ++p) {
        auto number = static_cast<std::uint32_t>(static_cast<VstInt32>(paramToController[p]));
        values.push_back({midiControllerValueName(p), number});
    }
    switch (settingsStore().writeValues(kMidiSettingsKeyPath, values)) {
    case SettingsWriteStatus::ok:
        break;
    case SettingsWriteStatus::keyNotCreated:
        messageBoxes().showError(kKeyNotCreatedMessage, MessageIcon::none);
        break;
    case SettingsWriteStatus::valueNotWritten:
        messageBoxes().showError(kValueNotWrittenMessage, MessageIcon::none);
        break;
    }
}
