// SPDX-License-Identifier: GPL-3.0-or-later
// The bundle as a host's scan sees it: the plug-in, its ports with their names, defaults,
// units and ranges, toggles and labelled choices, the presets, the editor's UI, and the two
// exported symbols.
#include "lv2/Lv2Host.h"
#include "lv2/PortLayout.h"
#include "presets/FactoryPrograms.h"
#include "testhost/TestHost.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/midi/midi.h>
#include <lv2/port-groups/port-groups.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <set>

namespace {

std::string text(const LilvNode* node) {
    return node != nullptr ? lilv_node_as_string(node) : "";
}

} // namespace

TEST(Lv2Bundle, DescribesTheEffectWithStereoAudioAndAnOptionalEventInput) {
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr) << "no plug-in " << lv2ports::kPluginUri << " under LV2_PATH";
    LilvNode* name = lilv_plugin_get_name(w.plugin);
    EXPECT_EQ(text(name), "Tessel");
    lilv_node_free(name);
    EXPECT_EQ(lilv_plugin_get_num_ports(w.plugin), lv2ports::kNumPorts);
    LilvNode* audio = w.node(LV2_CORE__AudioPort);
    LilvNode* input = w.node(LV2_CORE__InputPort);
    LilvNode* output = w.node(LV2_CORE__OutputPort);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(w.plugin, audio, input, nullptr), 2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(w.plugin, audio, output, nullptr), 2u);
    EXPECT_FALSE(lilv_plugin_has_latency(w.plugin));
    LilvNodes* required = lilv_plugin_get_required_features(w.plugin);
    EXPECT_EQ(lilv_nodes_size(required), 0u) << "a host without features could not load it";
    lilv_nodes_free(required);

    const LilvPort* events = lilv_plugin_get_port_by_index(w.plugin, lv2ports::kEvents);
    EXPECT_TRUE(lilv_port_has_property(w.plugin, events, w.node(LV2_CORE__connectionOptional)));
    EXPECT_TRUE(lilv_port_supports_event(w.plugin, events, w.node(LV2_MIDI__MidiEvent)));
    EXPECT_TRUE(lilv_port_supports_event(w.plugin, events, w.node(LV2_TIME__Position)));
}

// The editor is an X11 UI in the plug-in's binary that a host offers only with the features
// it cannot work without; a host lacking one shows its own controls.
TEST(Lv2Bundle, DeclaresTheEditorAsAnX11UiNeedingInstanceAccess) {
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    LilvUIs* uis = lilv_plugin_get_uis(w.plugin);
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    EXPECT_EQ(text(lilv_ui_get_uri(ui)), lv2ports::kUiUri);
    EXPECT_TRUE(lilv_ui_is_a(ui, w.node(LV2_UI__X11UI)));
    EXPECT_EQ(text(lilv_ui_get_binary_uri(ui)), text(lilv_plugin_get_library_uri(w.plugin)));

    LilvNode* subject = lilv_node_duplicate(lilv_ui_get_uri(ui));
    auto objects = [&](const char* predicate) {
        std::set<std::string> result;
        LilvNodes* nodes = lilv_world_find_nodes(w.world, subject, w.node(predicate), nullptr);
        LILV_FOREACH(nodes, i, nodes) result.insert(text(lilv_nodes_get(nodes, i)));
        lilv_nodes_free(nodes);
        return result;
    };
    EXPECT_EQ(
        objects(LV2_CORE__requiredFeature),
        (std::set<std::string>{LV2_INSTANCE_ACCESS_URI, LV2_UI__idleInterface, LV2_UI__parent}));
    EXPECT_EQ(objects(LV2_CORE__extensionData), std::set<std::string>{LV2_UI__idleInterface});
    EXPECT_TRUE(objects(LV2_CORE__optionalFeature).contains(LV2_UI__touch));
    lilv_node_free(subject);
    lilv_uis_free(uis);
}

// Each control port against the VST 2 edition's parameter of the same index: name, and the
// value text of every labelled point; the default is the first program's value.
TEST(Lv2Bundle, ControlPortsMatchTheParametersTheVst2HostSees) {
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    TestHost vst;
    ASSERT_TRUE(vst.load());
    LilvNode* control = w.node(LV2_CORE__ControlPort);
    LilvNode* toggled = w.node(LV2_CORE__toggled);
    LilvNode* enumeration = w.node(LV2_CORE__enumeration);
    LilvNode* strict = w.node(LV2_PORT_PROPS__hasStrictBounds);
    for (int i = 0; i < kNumParams; ++i) {
        SCOPED_TRACE(kParameterTable[i].name);
        const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, i);
        ASSERT_TRUE(lilv_port_is_a(w.plugin, port, control));
        LilvNode* name = lilv_port_get_name(w.plugin, port);
        EXPECT_EQ(text(name), vst.paramName(i));
        lilv_node_free(name);
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(w.plugin, port, &def, &min, &max);
        const float program0 =
            lv2ports::portValueOf(i, [](int p) { return kFactoryPrograms[0].values[p]; });
        EXPECT_FLOAT_EQ(lilv_node_as_float(def), program0);
        EXPECT_EQ(lilv_node_as_float(min), unitScale(i).minimum);
        EXPECT_EQ(lilv_node_as_float(max), unitScale(i).maximum);
        lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);
        EXPECT_TRUE(lilv_port_has_property(w.plugin, port, strict));

        const bool isToggle = lilv_port_has_property(w.plugin, port, toggled);
        const bool isChoice = lilv_port_has_property(w.plugin, port, enumeration);
        EXPECT_EQ(isToggle, lv2ports::controlKind(i) == lv2ports::ControlKind::Toggle);
        EXPECT_EQ(isChoice, lv2ports::controlKind(i) == lv2ports::ControlKind::Choice);
        LilvScalePoints* points = lilv_port_get_scale_points(w.plugin, port);
        EXPECT_EQ(static_cast<int>(lilv_scale_points_size(points)),
                  isChoice ? kParameterTable[i].steps : 0);
        LILV_FOREACH(scale_points, it, points) {
            const LilvScalePoint* point = lilv_scale_points_get(points, it);
            const float index = lilv_node_as_float(lilv_scale_point_get_value(point));
            EXPECT_EQ(index, std::round(index)) << "a menu's points are whole numbers";
            vst.setParameter(i, lv2ports::parameterValue(i, index));
            EXPECT_EQ(text(lilv_scale_point_get_label(point)), vst.paramDisplay(i));
        }
        lilv_scale_points_free(points);
    }
}

// A host's generic controls read the units of the value texts, in groups by section; the
// host's own bypass switch is a port of its own.
TEST(Lv2Bundle, ControlsReadInUnitsAndGroupsWithTheHostsBypass) {
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    struct Expected {
        int param;
        const char* unit; // null for a plain number
        bool logarithmic;
    };
    const Expected expected[] = {
        {kMainOut, LV2_UNITS__db, false},
        {kMainMix, LV2_UNITS__pc, false},
        {kDlyLFb, LV2_UNITS__db, false},
        {kModLfoRate, LV2_UNITS__hz, true},
        {kModLfoOffset, LV2_UNITS__degree, false},
        {kFltCutoff, LV2_UNITS__hz, true},
        {kFltRes, nullptr, false},
        {kVcoManual, nullptr, true},
        {kDrvGain, LV2_UNITS__db, false},
        {kModEnvSpeed, LV2_UNITS__ms, false},
        {kDlyRTime, LV2_UNITS__ms, false},
        {kRvbAmt, LV2_UNITS__pc, false},
        {kDlyLRange, nullptr, false},
    };
    LilvNode* unitPredicate = w.node(LV2_UNITS__unit);
    LilvNode* logarithmic = w.node(LV2_PORT_PROPS__logarithmic);
    LilvNode* groupPredicate = w.node(LV2_PORT_GROUPS__group);
    for (const Expected& e : expected) {
        SCOPED_TRACE(kParameterTable[e.param].name);
        const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, std::uint32_t(e.param));
        LilvNodes* units = lilv_port_get_value(w.plugin, port, unitPredicate);
        EXPECT_EQ(units != nullptr ? text(lilv_nodes_get_first(units)) : "",
                  e.unit != nullptr ? e.unit : "");
        lilv_nodes_free(units);
        EXPECT_EQ(lilv_port_has_property(w.plugin, port, logarithmic), e.logarithmic);
        LilvNodes* group = lilv_port_get_value(w.plugin, port, groupPredicate);
        EXPECT_EQ(lilv_nodes_size(group), 1u);
        lilv_nodes_free(group);
    }
    // A gain that reads "-oo" at the bottom has a finite minimum that is silence.
    EXPECT_EQ(fromUnits(kDlyLFb, unitScale(kDlyLFb).minimum), 0.0f);
    EXPECT_EQ(fromUnits(kMainIn, unitScale(kMainIn).minimum), 0.0f);

    const LilvPort* enabled = lilv_plugin_get_port_by_index(w.plugin, lv2ports::kEnabled);
    ASSERT_NE(enabled, nullptr);
    LilvNodes* designation = lilv_port_get_value(w.plugin, enabled, w.node(LV2_CORE__designation));
    EXPECT_EQ(designation != nullptr ? text(lilv_nodes_get_first(designation)) : "",
              LV2_CORE__enabled);
    lilv_nodes_free(designation);

    // The plug-in is a project, and promises no hard real-time safety.
    LilvNode* uri = lilv_node_duplicate(lilv_plugin_get_uri(w.plugin));
    EXPECT_TRUE(lilv_world_ask(w.world, uri, w.node(LILV_NS_RDF "type"),
                               w.node("http://usefulinc.com/ns/doap#Project")));
    lilv_node_free(uri);
    EXPECT_FALSE(lilv_plugin_has_feature(w.plugin, w.node(LV2_CORE__hardRTCapable)));
}

TEST(Lv2Bundle, ListsEveryFactoryProgramAsAPresetUnderItsName) {
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    LilvNode* presetClass = w.node(LV2_PRESETS__Preset);
    LilvNode* label = w.node(LILV_NS_RDFS "label");
    LilvNodes* presets = lilv_plugin_get_related(w.plugin, presetClass);
    std::multiset<std::string> names;
    LILV_FOREACH(nodes, it, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, it);
        lilv_world_load_resource(w.world, preset);
        LilvNodes* labels = lilv_world_find_nodes(w.world, preset, label, nullptr);
        ASSERT_EQ(lilv_nodes_size(labels), 1u) << text(preset);
        names.insert(text(lilv_nodes_get_first(labels)));
        lilv_nodes_free(labels);
    }
    lilv_nodes_free(presets);
    std::multiset<std::string> expected;
    for (const FactoryProgram& program : kFactoryPrograms) expected.insert(program.name);
    EXPECT_EQ(names, expected);
}

TEST(Lv2Bundle, LibraryExportsOnlyTheTwoDescriptors) {
    const std::string command =
        std::string("nm -D --defined-only -j ") + TESSEL_LV2_BUNDLE + "/" + lv2ports::kBinaryName;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string symbol(line);
        while (!symbol.empty() && (symbol.back() == '\n' || symbol.back() == ' '))
            symbol.pop_back();
        if (!symbol.empty()) symbols.insert(symbol);
    }
    ASSERT_EQ(pclose(pipe), 0) << "nm failed";
    EXPECT_EQ(symbols, (std::set<std::string>{"lv2_descriptor", "lv2ui_descriptor"}));
}
