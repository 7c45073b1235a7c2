// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the description of the LV2 bundle: manifest.ttl, tessel.ttl (the plug-in and its
// ports) and presets.ttl (the factory programs), all from the tables the plug-in itself is
// built from: the parameter table for names, defaults and kinds, its units table for units
// and ranges, the effect's own value texts for the labels of the choices, the factory table
// for the presets.
//
//   tessel-lv2-ttl BUNDLE_FOLDER
#include "engine/Drell.h"
#include "engine/ParameterUnits.h"
#include "engine/Version.h"
#include "lv2/PortLayout.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "presets/FactoryPrograms.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace {

// A settings store that holds nothing and keeps nothing: the texts and tables written here
// never depend on the settings of the machine that builds.
class NoSettings final : public SettingsStore {
public:
    bool keyExists(std::string_view) const override { return false; }
    SettingsKeyContents readKey(std::string_view) const override { return {}; }
    std::optional<std::string> readString(std::string_view, std::string_view) const override {
        return std::nullopt;
    }
    std::optional<std::uint32_t> readDword(std::string_view, std::string_view) const override {
        return std::nullopt;
    }
    SettingsWriteStatus writeValues(std::string_view, const std::vector<SettingsValue>&) override {
        return SettingsWriteStatus::ok;
    }
};

class NoMessages final : public MessageBoxes {
public:
    void showError(std::string_view, MessageIcon) override {}
};

VstIntPtr noHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A float as Turtle reads it back to the same float: the shortest form, always with a point.
std::string number(float v) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, v);
    std::string s(text, result.ptr);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string quoted(const char* text) {
    std::string s = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        const auto u = static_cast<unsigned char>(*c);
        if (*c == '"' || *c == '\\') {
            s += '\\';
            s += *c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", u);
            s += escaped;
        } else {
            s += *c;
        }
    }
    return s + "\"";
}

std::string presetUri(int program) {
    return "<" + lv2ports::presetUri(program) + ">";
}

const std::string kPlugin = std::string("<") + lv2ports::kPluginUri + ">";
const std::string kUi = std::string("<") + lv2ports::kUiUri + ">";

const char* const kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                              "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                              "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
                              "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                              "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string manifest() {
    std::ostringstream out;
    out << kPrefixes;
    out << kPlugin << "\n    a lv2:Plugin ;\n    lv2:binary <" << lv2ports::kBinaryName
        << "> ;\n    rdfs:seeAlso <tessel.ttl> .\n";
    // The editor: it opens into the host's window and reaches the instance itself, so hosts
    // without instance access show their own controls instead.
    out << "\n"
        << kUi << "\n    a ui:X11UI ;\n    ui:binary <" << lv2ports::kBinaryName << "> ;\n"
        << "    lv2:requiredFeature ui:idleInterface, ui:parent,\n"
        << "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:optionalFeature ui:noUserResize, ui:resize, ui:touch ;\n"
        << "    lv2:extensionData ui:idleInterface .\n";
    for (int p = 0; p < kNumPrograms; ++p)
        out << "\n"
            << presetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo " << kPlugin
            << " ;\n    rdfs:label " << quoted(kFactoryPrograms[p].name)
            << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return out.str();
}

// A parameter's port value in a program: a delay time in ms of the program's own range.
float portValueIn(const FactoryProgram& program, int param) {
    return lv2ports::portValueOf(param, [&program](int i) { return program.values[i]; });
}

const char* unitUri(ValueUnit unit) {
    switch (unit) {
    case ValueUnit::Decibels:
        return "units:db";
    case ValueUnit::Percent:
        return "units:pc";
    case ValueUnit::Hertz:
        return "units:hz";
    case ValueUnit::Milliseconds:
        return "units:ms";
    case ValueUnit::Degrees:
        return "units:degree";
    case ValueUnit::None:
        break;
    }
    return nullptr;
}

// The section a parameter belongs to: the first word of its name ("DlyL", "Mod", ...).
std::string sectionOf(int param) {
    const std::string name = kParameterTable[param].name;
    return name.substr(0, name.find(' '));
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A section's title as the panel writes it.
const char* sectionTitle(const std::string& section) {
    static const std::pair<const char*, const char*> kTitles[] = {
        {"Main", "Main"},  {"DlyL", "Delay L"}, {"DlyR", "Delay R"}, {"Mod", "Modulation"},
        {"Flt", "Filter"}, {"Vco", "VCO"},      {"Drv", "Drive"},    {"Rvb", "Reverb"}};
    for (const auto& [prefix, title] : kTitles)
        if (section == prefix) return title;
    return section.c_str();
}

std::string groupUri(const std::string& section) {
    return std::string("<") + lv2ports::kPluginUri + "#" + lowerCase(section) + ">";
}

void controlPort(std::ostringstream& out, Drell& effect, int param) {
    const ParameterInfo& info = kParameterTable[param];
    const UnitScale& scale = unitScale(param);
    // The port starts at the first factory program's value.
    out << "        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << param << " ;\n"
        << "        lv2:symbol \"" << lv2ports::symbolOf(param) << "\" ;\n"
        << "        lv2:name " << quoted(info.name) << " ;\n"
        << "        pg:group " << groupUri(sectionOf(param)) << " ;\n"
        << "        lv2:default " << number(portValueIn(kFactoryPrograms[0], param)) << " ;\n"
        << "        lv2:minimum " << number(scale.minimum) << " ;\n"
        << "        lv2:maximum " << number(scale.maximum) << " ;\n"
        << "        lv2:portProperty pprops:hasStrictBounds";
    if (const char* unit = unitUri(scale.unit)) out << " ;\n        units:unit " << unit;
    if (scale.logarithmic) out << " ;\n        lv2:portProperty pprops:logarithmic";
    switch (lv2ports::controlKind(param)) {
    case lv2ports::ControlKind::Toggle:
        out << " ;\n        lv2:portProperty lv2:toggled, lv2:integer";
        break;
    case lv2ports::ControlKind::Choice:
        out << " ;\n        lv2:portProperty lv2:enumeration, lv2:integer ;\n"
            << "        lv2:scalePoint ";
        for (int k = 0; k < info.steps; ++k) {
            // Each point is labelled with the text the effect shows for that step.
            char text[256] = {};
            effect.setParameter(param, centre(k, info.steps));
            effect.getParameterDisplay(param, text);
            out << (k > 0 ? " , " : "") << "[ rdfs:label " << quoted(text) << " ; rdf:value " << k
                << " ]";
        }
        break;
    case lv2ports::ControlKind::Continuous:
        break;
    }
}

// The port groups: one per section of the effect, and the stereo input and output.
void groups(std::ostringstream& out) {
    std::string seen;
    for (int p = 0; p < kNumParams; ++p) {
        const std::string section = sectionOf(p);
        if (seen.find("|" + section + "|") != std::string::npos) continue;
        seen += "|" + section + "|";
        out << "\n"
            << groupUri(section) << "\n    a pg:Group ;\n    lv2:symbol \"" << lowerCase(section)
            << "\" ;\n    rdfs:label \"" << sectionTitle(section) << "\" .\n";
    }
    out << "\n"
        << groupUri("In") << "\n    a pg:StereoGroup, pg:InputGroup ;\n"
        << "    lv2:symbol \"in\" ;\n    rdfs:label \"Input\" .\n";
    out << "\n"
        << groupUri("Out") << "\n    a pg:StereoGroup, pg:OutputGroup ;\n"
        << "    lv2:symbol \"out\" ;\n    rdfs:label \"Output\" .\n";
}

void audioPort(std::ostringstream& out, std::uint32_t index, const char* direction,
               const char* symbol, const char* name) {
    const bool input = std::string(direction) == "InputPort";
    const bool left = symbol[std::strlen(symbol) - 1] == 'l';
    out << "        a lv2:" << direction << ", lv2:AudioPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name \"" << name << "\" ;\n"
        << "        pg:group " << groupUri(input ? "In" : "Out") << " ;\n"
        << "        lv2:designation " << (left ? "pg:left" : "pg:right");
}

std::string description(Drell& effect) {
    std::ostringstream out;
    out << kPrefixes;
    out << kPlugin << "\n"
        << "    a lv2:Plugin, lv2:DelayPlugin, doap:Project ;\n"
        << "    doap:name \"" << Drell::kEffectName << "\" ;\n"
        << "    doap:maintainer [ foaf:name \"" << Drell::kVendor << "\" ] ;\n"
        << "    rdfs:comment \"A stereo delay with two lines that run free or follow the "
           "tempo, modulation, filter, drive and reverb.\" ;\n"
        << "    doap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;\n"
        << "    lv2:minorVersion " << version::lv2MinorVersion() << " ;\n"
        << "    lv2:microVersion " << version::lv2MicroVersion()
        << " ;\n"
        // No hardRTCapable: an editor's change of the reverb type takes the engine lock on
        // the UI thread, which run may then wait for.
        << "    lv2:optionalFeature urid:map ;\n"
        << "    lv2:extensionData state:interface ;\n"
        << "    ui:ui " << kUi << " ;\n"
        << "    lv2:port [\n";
    for (int p = 0; p < kNumParams; ++p) {
        controlPort(out, effect, p);
        out << "\n    ] , [\n";
    }
    audioPort(out, lv2ports::kAudioInLeft, "InputPort", "in_l", "In L");
    out << "\n    ] , [\n";
    audioPort(out, lv2ports::kAudioInRight, "InputPort", "in_r", "In R");
    out << "\n    ] , [\n";
    audioPort(out, lv2ports::kAudioOutLeft, "OutputPort", "out_l", "Out L");
    out << "\n    ] , [\n";
    audioPort(out, lv2ports::kAudioOutRight, "OutputPort", "out_r", "Out R");
    out << "\n    ] , [\n"
        << "        a lv2:InputPort, atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent, time:Position ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:portProperty lv2:connectionOptional ;\n"
        << "        lv2:index " << lv2ports::kEvents << " ;\n"
        << "        lv2:symbol \"control\" ;\n"
        << "        lv2:name \"MIDI and time in\"\n"
        << "    ] , [\n"
        << "        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << lv2ports::kEnabled << " ;\n"
        << "        lv2:symbol \"enabled\" ;\n"
        << "        lv2:name \"Enabled\" ;\n"
        << "        lv2:designation lv2:enabled ;\n"
        << "        lv2:default 1 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1 ;\n"
        << "        lv2:portProperty lv2:toggled, lv2:integer, pprops:hasStrictBounds\n"
        << "    ] .\n";
    groups(out);
    return out.str();
}

std::string presets() {
    std::ostringstream out;
    out << kPrefixes;
    for (int p = 0; p < kNumPrograms; ++p) {
        const FactoryProgram& program = kFactoryPrograms[p];
        out << presetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo " << kPlugin
            << " ;\n    rdfs:label " << quoted(program.name) << " ;\n    lv2:port ";
        for (int i = 0; i < kNumParams; ++i) {
            const float v = portValueIn(program, i);
            out << (i > 0 ? " , " : "") << "[ lv2:symbol \"" << lv2ports::symbolOf(i)
                << "\" ; pset:value " << number(v) << " ]";
        }
        out << " .\n\n";
    }
    return out.str();
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "tessel-lv2-ttl: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessel-lv2-ttl BUNDLE_FOLDER\n");
        return 2;
    }
    NoSettings settings;
    NoMessages messages;
    Drell effect(&noHost, PlatformServices{&settings, &messages, nullptr});
    const std::string folder = argv[1];
    const bool ok = write(folder + "/manifest.ttl", manifest()) &&
                    write(folder + "/tessel.ttl", description(effect)) &&
                    write(folder + "/presets.ttl", presets());
    return ok ? 0 : 1;
}
