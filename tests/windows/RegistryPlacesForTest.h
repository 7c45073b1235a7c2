// SPDX-License-Identifier: GPL-3.0-or-later
// Registry keys of one test, apart from the real ones and from other tests: a prefix under
// Software\TesselTests in both hives, removed again when the test ends.
#pragma once

#include "platform/RegistrySettingsStore.h"

#include <windows.h>

#include <atomic>
#include <string>

class TestRegistryPlaces {
public:
    explicit TestRegistryPlaces(bool machineWritable = true) {
        static std::atomic<unsigned> counter{0};
        root = "Software\\TesselTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter.fetch_add(1));
        places.prefix = root + "\\";
        places.machineWritable = machineWritable;
    }
    ~TestRegistryPlaces() {
        RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, root.c_str());
    }
    TestRegistryPlaces(const TestRegistryPlaces&) = delete;
    TestRegistryPlaces& operator=(const TestRegistryPlaces&) = delete;

    // The full path of a key under one hive, for reading behind the store's back.
    std::string path(std::string_view keyPath) const {
        return places.prefix + std::string(keyPath);
    }

    std::string root;
    RegistryPlaces places;
};
