// SPDX-License-Identifier: GPL-3.0-or-later
// A host for the LV2 edition on lilv: finds the bundle through LV2_PATH as hosts do, offers
// urid:map or no feature at all, applies presets, queues MIDI and time position events for
// the next block and renders stereo audio.
#pragma once

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <lilv/lilv.h>
#include <lv2/urid/urid.h>
#include <memory>
#include <string>
#include <vector>

class Lv2World {
public:
    // LV2_PATH names a fresh folder that holds only a link to the built bundle.
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr; // null when the bundle was not found
    LilvNode* node(const char* uri);    // owned by the world object

private:
    TempFolder folder;
    ScopedEnv path{"LV2_PATH", folder.path().c_str()};
    std::vector<LilvNode*> nodes;
};

// Identifiers for the host side and, when offered, for the plug-in.
class UridMap {
public:
    LV2_URID map(const char* uri);
    LV2_URID_Map* feature() { return &lv2Map; }

private:
    static LV2_URID callback(LV2_URID_Map_Handle handle, const char* uri);
    std::vector<std::string> uris;
    LV2_URID_Map lv2Map{this, &UridMap::callback};
};

class Lv2Instance {
public:
    struct Output {
        std::vector<float> left, right;
    };

    // withMap: offer urid:map; connectEvents: connect the event input at all.
    Lv2Instance(Lv2World& world, double rate, bool withMap = true, bool connectEvents = true);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool valid() const { return instance != nullptr; }
    LilvInstance* raw() const { return instance; }
    LV2_URID map(const char* uri) { return urids.map(uri); }
    void set(const std::string& symbol, float value);
    // The port values of a preset, as a host's preset menu applies them.
    void applyPreset(const LilvNode* preset);
    // Events for the next block, at frames inside it.
    void queueMidi(std::uint32_t frame, std::uint8_t status, std::uint8_t data1,
                   std::uint8_t data2);
    void queueTempo(std::uint32_t frame, float beatsPerMinute, int beatUnit);
    // Renders in blocks; beforeBlock(n) may queue events for block n.
    template <class BeforeBlock>
    Output render(const std::vector<float>& left, const std::vector<float>& right, int block,
                  BeforeBlock beforeBlock);
    Output render(const std::vector<float>& left, const std::vector<float>& right, int block) {
        return render(left, right, block, [](int) {});
    }

private:
    void runBlock(const float* left, const float* right, float* outLeft, float* outRight,
                  std::uint32_t frames);

    Lv2World& world;
    UridMap urids;
    LilvInstance* instance = nullptr;
    std::vector<float> controls;
    float enabled = 1.0f; // the host's bypass switch
    bool eventsConnected;
    struct Event {
        std::uint32_t frame;
        bool tempo;
        std::uint8_t midi[3];
        float bpm;
        int unit;
    };
    std::vector<Event> pending;
    std::vector<std::uint64_t> eventBuffer; // 8-byte aligned atom sequence
};

template <class BeforeBlock>
Lv2Instance::Output Lv2Instance::render(const std::vector<float>& left,
                                        const std::vector<float>& right, int block,
                                        BeforeBlock beforeBlock) {
    Output out;
    out.left.assign(left.size(), 0.0f);
    out.right.assign(left.size(), 0.0f);
    int n = 0;
    for (std::size_t pos = 0; pos < left.size(); pos += static_cast<std::size_t>(block), ++n) {
        beforeBlock(n);
        const auto frames =
            static_cast<std::uint32_t>(std::min<std::size_t>(block, left.size() - pos));
        runBlock(left.data() + pos, right.data() + pos, out.left.data() + pos,
                 out.right.data() + pos, frames);
    }
    return out;
}
