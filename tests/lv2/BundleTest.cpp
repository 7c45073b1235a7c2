// The bundle as a host's scan sees it: the plug-in, its ports with their names, defaults,
// toggles and labelled choices, the presets, the editor's UI, and the two exported symbols.
#include "lv2/Lv2Host.h"
#include "lv2/PortLayout.h"
#include "presets/FactoryPrograms.h"
#include "testhost/TestHost.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>
#include <lv2/ui/ui.h>
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
    for (int i = 0; i < kNumParams; ++i) {
        SCOPED_TRACE(kParameterTable[i].name);
        const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, i);
        ASSERT_TRUE(lilv_port_is_a(w.plugin, port, control));
        LilvNode* name = lilv_port_get_name(w.plugin, port);
        EXPECT_EQ(text(name), vst.paramName(i));
        lilv_node_free(name);
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(w.plugin, port, &def, &min, &max);
        const float program0 = static_cast<float>(kFactoryPrograms[0].values[i]);
        EXPECT_FLOAT_EQ(lilv_node_as_float(def), lv2ports::portValue(i, program0));
        EXPECT_EQ(lilv_node_as_float(min), 0.0f);
        EXPECT_EQ(lilv_node_as_float(max), 1.0f);
        lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);

        const bool isToggle = lilv_port_has_property(w.plugin, port, toggled);
        const bool isChoice = lilv_port_has_property(w.plugin, port, enumeration);
        EXPECT_EQ(isToggle, lv2ports::controlKind(i) == lv2ports::ControlKind::Toggle);
        EXPECT_EQ(isChoice, lv2ports::controlKind(i) == lv2ports::ControlKind::Choice);
        LilvScalePoints* points = lilv_port_get_scale_points(w.plugin, port);
        EXPECT_EQ(static_cast<int>(lilv_scale_points_size(points)),
                  isChoice ? kParameterTable[i].steps : 0);
        LILV_FOREACH(scale_points, it, points) {
            const LilvScalePoint* point = lilv_scale_points_get(points, it);
            vst.setParameter(i, lilv_node_as_float(lilv_scale_point_get_value(point)));
            EXPECT_EQ(text(lilv_scale_point_get_label(point)), vst.paramDisplay(i));
        }
        lilv_scale_points_free(points);
    }
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
