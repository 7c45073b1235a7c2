// SPDX-License-Identifier: GPL-3.0-or-later
#include "lv2/Lv2Host.h"

#include "lv2/PortLayout.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

Lv2World::Lv2World() {
    std::filesystem::create_directory_symlink(TESSEL_LV2_BUNDLE, folder / "Tessel.lv2");
    world = lilv_world_new();
    lilv_world_load_all(world);
    LilvNode* uri = node(lv2ports::kPluginUri);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
}

Lv2World::~Lv2World() {
    for (LilvNode* n : nodes) lilv_node_free(n);
    lilv_world_free(world);
}

LilvNode* Lv2World::node(const char* uri) {
    nodes.push_back(lilv_new_uri(world, uri));
    return nodes.back();
}

LV2_URID UridMap::map(const char* uri) {
    for (std::size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

LV2_URID UridMap::callback(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<UridMap*>(handle)->map(uri);
}

Lv2Instance::Lv2Instance(Lv2World& world, double rate, bool withMap, bool connectEvents)
    : world(world), eventsConnected(connectEvents) {
    const LV2_Feature mapFeature{LV2_URID__map, urids.feature()};
    const LV2_Feature* withMapFeatures[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(world.plugin, rate, withMap ? withMapFeatures : nullptr);
    if (instance == nullptr) return;
    controls.resize(kNumParams);
    std::vector<float> defaults(lilv_plugin_get_num_ports(world.plugin));
    lilv_plugin_get_port_ranges_float(world.plugin, nullptr, nullptr, defaults.data());
    for (int i = 0; i < kNumParams; ++i) {
        controls[i] = defaults[i];
        lilv_instance_connect_port(instance, i, &controls[i]);
    }
    enabled = defaults[lv2ports::kEnabled];
    lilv_instance_connect_port(instance, lv2ports::kEnabled, &enabled);
    eventBuffer.resize(8192);
    lilv_instance_connect_port(instance, lv2ports::kEvents,
                               eventsConnected ? eventBuffer.data() : nullptr);
    lilv_instance_activate(instance);
}

Lv2Instance::~Lv2Instance() {
    if (instance == nullptr) return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void Lv2Instance::set(const std::string& symbol, float value) {
    if (symbol == "enabled") enabled = value;
    for (int i = 0; i < kNumParams; ++i)
        if (lv2ports::symbolOf(i) == symbol) controls[i] = value;
}

void Lv2Instance::applyPreset(const LilvNode* preset) {
    // The preset's values live in the file the manifest points to, read on demand.
    lilv_world_load_resource(world.world, preset);
    LilvState* state = lilv_state_new_from_world(world.world, urids.feature(), preset);
    ASSERT_NE(state, nullptr) << lilv_node_as_string(preset);
    struct Target {
        Lv2Instance* self;
        LV2_URID floatType, doubleType, intType;
    } target{this, urids.map(LV2_ATOM__Float), urids.map(LV2_ATOM__Double),
             urids.map(LV2_ATOM__Int)};
    lilv_state_emit_port_values(
        state,
        [](const char* symbol, void* data, const void* value, std::uint32_t, std::uint32_t type) {
            auto* t = static_cast<Target*>(data);
            float v = 0.0f;
            if (type == t->floatType)
                v = *static_cast<const float*>(value);
            else if (type == t->doubleType)
                v = static_cast<float>(*static_cast<const double*>(value));
            else if (type == t->intType)
                v = static_cast<float>(*static_cast<const std::int32_t*>(value));
            t->self->set(symbol, v);
        },
        &target);
    lilv_state_free(state);
}

void Lv2Instance::queueMidi(std::uint32_t frame, std::uint8_t status, std::uint8_t data1,
                            std::uint8_t data2) {
    pending.push_back({frame, false, {status, data1, data2}, 0.0f, 0});
}

void Lv2Instance::queueTempo(std::uint32_t frame, float beatsPerMinute, int beatUnit) {
    pending.push_back({frame, true, {}, beatsPerMinute, beatUnit});
}

void Lv2Instance::runBlock(const float* left, const float* right, float* outLeft, float* outRight,
                           std::uint32_t frames) {
    if (eventsConnected) {
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, urids.feature());
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(eventBuffer.data()),
                                  eventBuffer.size() * sizeof(std::uint64_t));
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        for (const Event& e : pending) {
            lv2_atom_forge_frame_time(&forge, e.frame);
            if (e.tempo) {
                LV2_Atom_Forge_Frame object;
                lv2_atom_forge_object(&forge, &object, 0, urids.map(LV2_TIME__Position));
                lv2_atom_forge_key(&forge, urids.map(LV2_TIME__beatsPerMinute));
                lv2_atom_forge_float(&forge, e.bpm);
                lv2_atom_forge_key(&forge, urids.map(LV2_TIME__beatUnit));
                lv2_atom_forge_int(&forge, e.unit);
                lv2_atom_forge_key(&forge, urids.map(LV2_TIME__speed));
                lv2_atom_forge_float(&forge, 1.0f);
                lv2_atom_forge_pop(&forge, &object);
            } else {
                lv2_atom_forge_atom(&forge, 3, urids.map(LV2_MIDI__MidiEvent));
                lv2_atom_forge_write(&forge, e.midi, 3);
            }
        }
        lv2_atom_forge_pop(&forge, &sequence);
    }
    pending.clear();
    lilv_instance_connect_port(instance, lv2ports::kAudioInLeft, const_cast<float*>(left));
    lilv_instance_connect_port(instance, lv2ports::kAudioInRight, const_cast<float*>(right));
    lilv_instance_connect_port(instance, lv2ports::kAudioOutLeft, outLeft);
    lilv_instance_connect_port(instance, lv2ports::kAudioOutRight, outRight);
    lilv_instance_run(instance, frames);
}
