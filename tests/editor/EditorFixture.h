// An effect with its editor for the editor's tests: a recording host, settings in memory,
// and the window opened without a parent (the frame draws into its framebuffer only).
#pragma once

#include "editor/Editor.h"
#include "engine/Drell.h"
#include "support/EffectHost.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <memory>

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformServices services;
        services.settings = &settings;
        drell = host.make(services);
        auto owned = std::make_unique<Editor>(drell.get());
        editor = owned.get();
        drell->adoptEditor(std::move(owned));
    }

    EffectHost host;
    MemorySettingsStore settings;
    std::unique_ptr<Drell> drell;
    Editor* editor = nullptr;
};
