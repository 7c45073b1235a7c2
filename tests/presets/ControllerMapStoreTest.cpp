// SPDX-License-Identifier: GPL-3.0-or-later
// The controller map in the settings store: written on the first start, read by every new
// instance, written again only when the user stores it.
#include "engine/Drell.h"
#include "platform/SettingsKeys.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

namespace {

std::optional<std::uint32_t> storedController(const SettingsStore& store, int p) {
    return store.readDword(kMidiSettingsKeyPath, midiControllerValueName(p));
}

} // namespace

TEST(ControllerMapStore, FirstStartWritesTheDefaults) {
    FakeServices fakes;
    Drell effect(nullptr, fakes.services());
    ASSERT_TRUE(fakes.settings.keyExists(kMidiSettingsKeyPath)) << "no key after the first start";
    for (int p = 0; p < kNumParams; ++p) {
        EXPECT_EQ(storedController(fakes.settings, p),
                  std::optional<std::uint32_t>(kDefaultControllers[p]))
            << "param" << p;
        EXPECT_EQ(effect.getControllerOfParameter(p), kDefaultControllers[p]);
    }
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST(ControllerMapStore, StoredMapOverridesTheDefaults) {
    FakeServices fakes;
    auto& key = fakes.settings.keys[std::string(kMidiSettingsKeyPath)];
    for (int p = 0; p < kNumParams; ++p)
        key[midiControllerValueName(p)] = static_cast<std::uint32_t>(kDefaultControllers[p]);
    key["param000"] = 22u; // swapped with parameter 1
    key["param001"] = 20u;
    key.erase("param005");                 // missing: no controller
    key["param006"] = 999u;                // explicitly none
    key["param007"] = 121u;                // a mode controller: still routed
    key["param008"] = 4000u;               // out of range: kept, routes nothing
    key["param009"] = std::string("oops"); // wrong type reads as missing
    const int writesBefore = fakes.settings.writeCount;

    Drell effect(nullptr, fakes.services());
    EXPECT_EQ(fakes.settings.writeCount, writesBefore) << "an existing key must not be rewritten";
    EXPECT_EQ(fakes.settings.readCount, 1)
        << "one reading of the MIDI key (the editor reads the default bank)";
    EXPECT_EQ(effect.getControllerOfParameter(0), 22);
    EXPECT_EQ(effect.getControllerOfParameter(1), 20);
    EXPECT_EQ(effect.getParameterOfController(22), 0);
    EXPECT_EQ(effect.getParameterOfController(20), 1);
    EXPECT_EQ(effect.getControllerOfParameter(5), kNotAssigned);
    EXPECT_EQ(effect.getParameterOfController(kDefaultControllers[5]), kNotAssigned)
        << "the default controller of a parameter without a stored value still routes";
    EXPECT_EQ(effect.getControllerOfParameter(6), kNotAssigned);
    EXPECT_EQ(effect.getParameterOfController(121), 7);
    EXPECT_EQ(effect.getControllerOfParameter(8), 4000);
    EXPECT_EQ(effect.getParameter(kNumParams + 8), 1.0f);
    EXPECT_EQ(effect.getParameterOfController(kDefaultControllers[8]), kNotAssigned);
    EXPECT_EQ(effect.getControllerOfParameter(9), kNotAssigned);
}

TEST(ControllerMapStore, OnlySavingWritesTheCurrentMapIncludingUnusualNumbers) {
    FakeServices fakes;
    Drell effect(nullptr, fakes.services());
    effect.assignController(3, 1);
    effect.unassignParameter(4);
    effect.assignController(5, -7);
    effect.setParameter(kNumParams + 2, 0.0f);
    EXPECT_EQ(storedController(fakes.settings, 3), 23u) << "a binding reached the store unsaved";
    EXPECT_EQ(storedController(fakes.settings, 2), 21u) << "a binding reached the store unsaved";
    effect.saveMidiMapToRegistry();
    EXPECT_EQ(storedController(fakes.settings, 3), 1u);
    EXPECT_EQ(storedController(fakes.settings, 4), 999u);

    // A new instance reads them back, -7 included.
    Drell next(nullptr, fakes.services());
    EXPECT_EQ(next.getControllerOfParameter(3), 1);
    EXPECT_EQ(next.getControllerOfParameter(4), kNotAssigned);
    EXPECT_EQ(next.getControllerOfParameter(5), -7);
    EXPECT_EQ(next.getParameter(kNumParams + 5), 1.0f);
}

TEST(ControllerMapStore, WriteFailuresShowTheirMessageAndKeepTheMap) {
    const std::pair<SettingsWriteStatus, const char*> cases[] = {
        {SettingsWriteStatus::keyNotCreated,
         "Could not create registry key for storing MIDI settings!"},
        {SettingsWriteStatus::valueNotWritten,
         "Could not create registry value for storing MIDI settings!"}};
    for (const auto& [status, message] : cases) {
        FakeServices fakes;
        fakes.settings.failWrites = status;
        Drell effect(nullptr, fakes.services()); // first start: the write fails
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].message, message);
        EXPECT_EQ(fakes.messages.shown[0].icon, MessageIcon::none);
        EXPECT_EQ(effect.getControllerOfParameter(0), 20) << "defaults lost after a failed write";

        effect.assignController(0, 1);
        effect.saveMidiMapToRegistry();
        ASSERT_EQ(fakes.messages.shown.size(), 2u);
        EXPECT_EQ(fakes.messages.shown[1].message, message);
        EXPECT_EQ(effect.getControllerOfParameter(0), 1);
        EXPECT_EQ(effect.getParameterOfController(1), 0);
    }
}
