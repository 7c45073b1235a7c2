// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RenderHost.h"

#include "engine/Drell.h"
#include "host/HostText.h"
#include "presets/PresetFileCommands.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cli {

namespace {

// Text buffers handed to the effect: larger than any text it writes.
constexpr std::size_t kTextBytes = 256;
constexpr int kMaxProgramsListed = 1024;

} // namespace

RenderHost::RenderHost() {
    // As the entry point creates it, but with the tool's services. The effect asks the
    // callback its questions while it is being built, before the user field is set.
    try {
        drell = new Drell(&RenderHost::callback, services.forEffect());
    } catch (...) {
        return; // out of memory: no effect, and the tool says so
    }
    aeffect = drell->getAeffect();
    // The record's user field belongs to the host: it leads the callback back here.
    aeffect->user = this;
    // The tool's own file commands, as the editor has them; they load the default bank
    // again, which leaves the bank as it is.
    commands = std::make_unique<PresetFileCommands>(*drell);
    firstMessages = services.messages.take();
    updateTime();
}

RenderHost::~RenderHost() {
    if (aeffect == nullptr) return;
    stop();
    commands.reset();
    aeffect->dispatcher(aeffect, effClose, 0, 0, nullptr, 0.0f);
}

CPresetSystemEffect* RenderHost::presetSystem() const {
    return drell;
}

void RenderHost::configure(double sampleRateHz, int blockSize, double tempoBpm) {
    sampleRate = sampleRateHz;
    blockFrames = std::max(1, blockSize);
    tempo = tempoBpm;
    updateTime();
    if (aeffect == nullptr) return;
    aeffect->dispatcher(aeffect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    aeffect->dispatcher(aeffect, effSetBlockSize, 0, blockFrames, nullptr, 0.0f);
}

void RenderHost::start() {
    if (aeffect == nullptr || isRunning) return;
    position = 0;
    updateTime();
    aeffect->dispatcher(aeffect, effMainsChanged, 0, 1, nullptr, 0.0f);
    isRunning = true;
}

void RenderHost::stop() {
    if (aeffect == nullptr || !isRunning) return;
    aeffect->dispatcher(aeffect, effMainsChanged, 0, 0, nullptr, 0.0f);
    isRunning = false;
}

void RenderHost::process(const float* inL, const float* inR, float* outL, float* outR,
                         long long frames) {
    if (aeffect == nullptr) return;
    if (inR == nullptr || monoInput) inR = inL;
    for (long long done = 0; done < frames;) {
        auto n = static_cast<VstInt32>(std::min<long long>(blockFrames, frames - done));
        updateTime();
        // The interface takes non-const channel pointers; the effect only reads inputs.
        float* inputs[2] = {const_cast<float*>(inL + done), const_cast<float*>(inR + done)};
        float* outputs[2] = {outL + done, outR + done};
        aeffect->processReplacing(aeffect, inputs, outputs, n);
        done += n;
        position += n;
    }
    updateTime();
}

void RenderHost::updateTime() {
    // A transport playing from the start in 4/4 at a steady tempo.
    const double quarterNotes = static_cast<double>(position) / sampleRate * tempo / 60.0;
    time = VstTimeInfo{};
    time.samplePos = static_cast<double>(position);
    time.sampleRate = sampleRate;
    time.ppqPos = quarterNotes;
    time.tempo = tempo;
    time.barStartPos = std::floor(quarterNotes / 4.0) * 4.0;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    time.flags =
        kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
}

std::string RenderHost::text(VstInt32 opcode, int index) const {
    char buffer[kTextBytes] = {};
    if (aeffect != nullptr) aeffect->dispatcher(aeffect, opcode, index, 0, buffer, 0.0f);
    buffer[kTextBytes - 1] = '\0';
    return buffer;
}

int RenderHost::numParameters() const {
    return aeffect != nullptr ? aeffect->numParams : 0;
}

std::string RenderHost::parameterName(int index) const {
    return text(effGetParamName, index);
}

std::string RenderHost::parameterLabel(int index) const {
    return text(effGetParamLabel, index);
}

std::string RenderHost::parameterDisplay(int index) const {
    return text(effGetParamDisplay, index);
}

float RenderHost::parameterValue(int index) const {
    return aeffect != nullptr ? aeffect->getParameter(aeffect, index) : 0.0f;
}

void RenderHost::setParameter(int index, float value) {
    if (aeffect != nullptr) aeffect->setParameter(aeffect, index, value);
}

std::optional<int> RenderHost::parameterSteps(int index) const {
    VstParameterProperties properties{};
    if (aeffect == nullptr ||
        aeffect->dispatcher(aeffect, effGetParameterProperties, index, 0, &properties, 0.0f) == 0)
        return std::nullopt;
    // Times and speeds step in fractions; the others name their whole-number range.
    if ((properties.flags & kVstParameterUsesFloatStep) != 0 ||
        properties.maxInteger <= properties.minInteger)
        return std::nullopt;
    return properties.maxInteger - properties.minInteger + 1;
}

std::optional<int> RenderHost::parameterIndex(std::string_view name) const {
    for (int i = 0; i < numParameters(); ++i)
        if (parameterName(i) == name) return i;
    return std::nullopt;
}

std::optional<std::string> RenderHost::programName(int index) const {
    if (aeffect == nullptr || index < 0 || index >= kMaxProgramsListed) return std::nullopt;
    char buffer[kTextBytes] = {};
    if (aeffect->dispatcher(aeffect, effGetProgramNameIndexed, index, 0, buffer, 0.0f) == 0)
        return std::nullopt;
    buffer[kTextBytes - 1] = '\0';
    return std::string(buffer);
}

bool RenderHost::selectProgram(int index) {
    CPresetSystemEffect* presets = presetSystem();
    if (presets == nullptr || !programName(index)) return false;
    presets->selectProgram(index);
    return true;
}

VstIntPtr RenderHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float) {
    // Calls made while the entry point is still constructing the effect come before the
    // record's user field is set; they get this host's fixed answers.
    RenderHost* host = effect != nullptr ? static_cast<RenderHost*>(effect->user) : nullptr;
    if (host != nullptr) return host->answer(opcode, index, value, ptr);
    switch (opcode) {
    case audioMasterVersion:
        return kHostVersion;
    case audioMasterGetProductString:
        hosttext::copy(static_cast<char*>(ptr), kProductString, hosttext::kVendorBytes);
        return ptr != nullptr ? 1 : 0;
    case audioMasterGetVendorString:
        hosttext::copy(static_cast<char*>(ptr), kVendorString, hosttext::kVendorBytes);
        return ptr != nullptr ? 1 : 0;
    default:
        return 0;
    }
}

VstIntPtr RenderHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
    switch (opcode) {
    case audioMasterPinConnected: {
        // 0 means connected. value 0 asks about an input, 1 about an output.
        const bool input = value == 0;
        if (index < 0 || index > 1) return 1;
        if (input && index == 1 && monoInput) return 1;
        return 0;
    }
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(&time);
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate);
    case audioMasterGetBlockSize:
        return blockFrames;
    case audioMasterGetOutputLatency:
    case audioMasterGetInputLatency:
    case audioMasterCanDo:
        return 0;
    default:
        return callback(nullptr, opcode, index, value, ptr, 0.0f);
    }
}

} // namespace cli
