// SPDX-License-Identifier: GPL-3.0-or-later
// The controller map kept in the registry: written on the first start, read by the next
// instance, and kept for a user who may not write the machine's keys.
#include "engine/Drell.h"
#include "platform/SettingsKeys.h"
#include "presets/ControllerMap.h"
#include "support/RecordingMessageBoxes.h"
#include "support/ScriptedFileDialogs.h"
#include "windows/RegistryPlacesForTest.h"

#include <gtest/gtest.h>

namespace {

void storeMapOf(bool machineWritable) {
    TestRegistryPlaces test(machineWritable);
    RegistrySettingsStore store(test.places);
    RecordingMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    PlatformServices services{&store, &messages, &dialogs};
    {
        Drell first(nullptr, services);
        EXPECT_EQ(store.readDword(kMidiSettingsKeyPath, "param000"), 20u) << "defaults written";
        first.assignController(0, 7);
        first.unassignParameter(5);
        first.saveMidiMapToRegistry();
    }
    HKEY hive = machineWritable ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(hive, test.path(kMidiSettingsKeyPath).c_str(), 0, KEY_QUERY_VALUE, &key),
        ERROR_SUCCESS);
    RegCloseKey(key);

    Drell second(nullptr, services);
    EXPECT_EQ(second.getControllerOfParameter(0), 7);
    EXPECT_EQ(second.getParameterOfController(7), 0);
    EXPECT_EQ(second.getControllerOfParameter(5), kNotAssigned);
    EXPECT_EQ(second.getControllerOfParameter(1), kDefaultControllers[1]);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace

TEST(RegistryControllerMap, StoredInTheMachinesKeyAndReadByTheNextInstance) {
    storeMapOf(true);
}

TEST(RegistryControllerMap, AUserWithoutAdministratorRightsKeepsTheirMap) {
    storeMapOf(false);
}
