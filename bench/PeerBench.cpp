// SPDX-License-Identifier: GPL-3.0-or-later
// Tessel beside two other plug-ins, every one loaded from its shared library by the same
// small host and timed alike: 256-frame stereo blocks of noise at 44100 Hz with the
// transport playing at 120 bpm, reported in "ns/frame" as tessel_bench does, so that the
// ratios come from one run of one program. The peers are a stereo multi-tap delay set to
// one 500 ms tap with 60 % feedback (cases Peer/Delay) and a plate reverb at its own
// defaults (Peer/Plate); Tessel plays the common configurations 0..4 (Tessel/config:N).
// The libraries are read from $TESSEL_PEER_DELAY, $TESSEL_PEER_PLATE and $TESSEL_PLUGIN
// (defaults: the Debian packages' paths and the built plug-in). One that is missing, will
// not load or does not take its settings skips its cases with the reason.
#include "Configurations.h"
#include "FrameTime.h"
#include "host/vst2.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <dlfcn.h>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr int kFrames = 256;
constexpr float kRate = 44100.0f;
constexpr double kTempo = 120.0;

const char* pathFrom(const char* variable, const char* fallback) {
    const char* path = std::getenv(variable);
    return path != nullptr && *path != '\0' ? path : fallback;
}

// One parameter of a peer, found by its name, set to a normalised value; the peer must then
// display the expected text, so that a version with other ranges skips rather than being
// timed with other settings.
struct PeerSetting {
    const char* name;
    float value;
    const char* display;
};

// The multi-tap delay's first tap: on, 500 ms, feedback on at -4.44 dB (60 %) through a
// feedback delay of 500 ms as well. Both times run from 0 to 256 s, the gain from -80 to
// 0 dB. Every other tap stays off; dry and wet stay at 0 dB.
const std::vector<PeerSetting> kDelaySettings = {
    {"on0", 1.0f, "on"},
    {"dadd0", 0.5f / 256.0f, "0.500"},
    {"fbe0", 1.0f, "on"},
    {"fbg0", 1.0f - 4.437f / 80.0f, "-4.44"},
    {"fbadd0", 0.5f / 256.0f, "0.500"},
};
// The plate reverb plays its defaults.
const std::vector<PeerSetting> kPlateSettings;

// A plug-in loaded, opened and playing in 256-frame blocks: the host's side of it. The
// callback answers the version and the time and 0 to everything else, and keeps no record,
// so that what is timed is the plug-in's own work. (The tests' host locks and logs every
// call; Tessel calls four times a block, the delay once and the plate never.) Every step
// that can fail leaves a reason in error() and the session unusable. One session at a time.
class Session {
public:
    explicit Session(const char* path) {
        current = this;
        library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (library != nullptr)
            open();
        else
            fail(std::string("cannot load it: ") + dlerror());
    }

    ~Session() {
        if (effect != nullptr) {
            if (started) dispatch(effStopProcess);
            dispatch(effMainsChanged, 0, 0);
            dispatch(effClose);
        }
        if (library != nullptr) dlclose(library);
        current = nullptr;
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ok() const { return reason.empty(); }
    const std::string& error() const { return reason; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) {
        return effect->dispatcher(effect, opcode, index, value, nullptr, 0.0f);
    }
    void setParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }

    // Sets each named parameter and checks what the plug-in then displays.
    void set(const std::vector<PeerSetting>& settings) {
        std::vector<std::string> names;
        for (VstInt32 i = 0; i < effect->numParams; ++i) names.push_back(text(effGetParamName, i));
        for (const PeerSetting& setting : settings) {
            const auto found = std::find(names.begin(), names.end(), setting.name);
            if (found == names.end())
                return fail(std::string("it has no parameter \"") + setting.name + "\"");
            const auto index = static_cast<VstInt32>(found - names.begin());
            setParameter(index, setting.value);
            const std::string shown = text(effGetParamDisplay, index);
            if (shown != setting.display)
                return fail(std::string("its \"") + setting.name + "\" shows \"" + shown +
                            "\" instead of \"" + setting.display + "\"");
        }
    }

    // Switches off and on, as a host starts playback after changing settings; then plays
    // three seconds, past the longest echo of any case (2000 ms), and checks that the
    // output is not the input passed through. The first blocks come at about real-time
    // pace: some plug-ins take up new settings in a thread of their own between blocks.
    void start() {
        dispatch(effMainsChanged, 0, 0);
        dispatch(effMainsChanged, 0, 1);
        dispatch(effStartProcess);
        started = true;
        constexpr int kPacedBlocks = 64;
        for (int b = 0; b < 3 * static_cast<int>(kRate) / kFrames; ++b) {
            if (b < kPacedBlocks) std::this_thread::sleep_for(std::chrono::milliseconds(3));
            block();
        }
        if (!changesSound()) fail("its output is its input: bypassed, or settings not taken");
    }

    void block() {
        effect->processReplacing(effect, inputs.data(), outputs.data(), kFrames);
        benchmark::DoNotOptimize(outputs.data());
        time.samplePos += kFrames;
        time.ppqPos = time.samplePos / kRate * kTempo / 60.0;
        time.barStartPos = std::floor(time.ppqPos / 4.0) * 4.0;
    }

private:
    // Calls the entry point, checks what the host relies on, opens the effect and switches
    // it on at 44100 Hz in blocks of 256 frames.
    void open() {
        using Entry = AEffect* (*)(audioMasterCallback);
        for (const char* name : {"VSTPluginMain", "main"})
            if (auto entry = reinterpret_cast<Entry>(dlsym(library, name)); entry != nullptr) {
                effect = entry(&Session::callback);
                break;
            }
        if (effect == nullptr) return fail("its entry point is missing or answered no effect");
        if (effect->magic != kEffectMagic) {
            effect = nullptr; // not an effect: nothing to close
            return fail("its effect has the wrong magic number");
        }
        if ((effect->flags & effFlagsCanReplacing) == 0 || effect->processReplacing == nullptr)
            return fail("it cannot process in place of its output (processReplacing)");
        if (effect->numInputs < 1 || effect->numOutputs < 1)
            return fail("it has no audio input or no audio output");
        makeBuffers(effect->numInputs, effect->numOutputs);
        time.sampleRate = kRate;
        time.tempo = kTempo;
        time.timeSigNumerator = 4;
        time.timeSigDenominator = 4;
        time.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                     kVstTimeSigValid;
        dispatch(effOpen);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, kRate);
        dispatch(effSetBlockSize, 0, kFrames);
        dispatch(effMainsChanged, 0, 1);
    }

    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetTime:
            return current != nullptr ? reinterpret_cast<VstIntPtr>(&current->time) : 0;
        default:
            return 0;
        }
    }

    // A parameter's name or display text, without the padding some plug-ins add.
    std::string text(VstInt32 opcode, VstInt32 index) {
        char buffer[256] = {};
        effect->dispatcher(effect, opcode, index, 0, buffer, 0.0f);
        buffer[sizeof buffer - 1] = '\0';
        std::string_view view(buffer);
        const auto first = view.find_first_not_of(' ');
        if (first == std::string_view::npos) return {};
        return std::string(view.substr(first, view.find_last_not_of(' ') - first + 1));
    }

    void fail(const std::string& why) {
        if (reason.empty()) reason = why;
    }

    void makeBuffers(int inputCount, int outputCount) {
        std::mt19937 noise(1);
        std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
        in.assign(static_cast<size_t>(inputCount), std::vector<float>(kFrames));
        out.assign(static_cast<size_t>(outputCount), std::vector<float>(kFrames));
        for (auto& channel : in)
            for (float& sample : channel) sample = dist(noise);
        for (auto& channel : in) inputs.push_back(channel.data());
        for (auto& channel : out) outputs.push_back(channel.data());
    }

    bool changesSound() const {
        for (size_t c = 0; c < std::min(in.size(), out.size()); ++c)
            for (size_t i = 0; i < kFrames; ++i)
                if (std::fabs(out[c][i] - in[c][i]) > 1e-3f) return true;
        return false;
    }

    // The session the callback answers for; it may be called before the effect exists.
    static inline Session* current = nullptr;

    void* library = nullptr;
    AEffect* effect = nullptr;
    VstTimeInfo time{};
    std::string reason;
    std::vector<std::vector<float>> in, out;
    std::vector<float*> inputs, outputs;
    bool started = false;
};

// Starts the session and times its blocks, or skips with the plug-in's path and the reason.
void play(benchmark::State& state, Session& session, const char* path, const char* variable) {
    if (session.ok()) session.start();
    if (!session.ok()) {
        const std::string message = std::string(path) + " ($" + variable + "): " + session.error();
        state.SkipWithError(message.c_str());
        return;
    }
    const FrameTime time;
    for (auto _ : state) session.block();
    time.report(state, kFrames);
}

void Peer(benchmark::State& state, const char* variable, const char* fallback,
          const std::vector<PeerSetting>* settings) {
    const char* path = pathFrom(variable, fallback);
    Session session(path);
    if (session.ok()) session.set(*settings);
    play(state, session, path, variable);
}
BENCHMARK_CAPTURE(Peer, Delay, "TESSEL_PEER_DELAY", "/usr/lib/vst/lsp-plugins/art-delay-stereo.so",
                  &kDelaySettings);
BENCHMARK_CAPTURE(Peer, Plate, "TESSEL_PEER_PLATE", "/usr/lib/lxvst/DragonflyPlateReverb-vst.so",
                  &kPlateSettings);

// Tessel through the same host, set as tessel_bench's Configuration cases. A host cannot
// choose among Tessel's programs (it shows hosts one), so the default program "*Init" is
// set as its parameters' construction values, which are that program's.
void Tessel(benchmark::State& state) {
    const char* path = pathFrom("TESSEL_PLUGIN", TESSEL_PLUGIN_PATH);
    Session session(path);
    if (session.ok()) {
        const auto setParameter = [&session](ParameterId id, float value) {
            session.setParameter(id, value);
        };
        const auto selectInit = [&session](VstInt32) {
            for (VstInt32 i = 0; i < kNumParams; ++i)
                session.setParameter(i, kParameterTable[i].constructionValue);
        };
        setBenchDelays(setParameter);
        setConfiguration(static_cast<int>(state.range(0)), setParameter, selectInit);
    }
    play(state, session, path, "TESSEL_PLUGIN");
}
BENCHMARK(Tessel)->DenseRange(0, 4)->ArgName("config");

} // namespace
