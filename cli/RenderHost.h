// SPDX-License-Identifier: GPL-3.0-or-later
// The host side of tessel-render: creates the effect as the plug-in's entry point does,
// with the tool's own services (settings read but never written, messages collected, files
// named on the command line), answers the effect's callback (version, product, pin
// connections, tempo and position, latency) and feeds it audio in blocks, as a host plays
// a track. Everything else goes through the record and its dispatcher, as in a host.
#pragma once

#include "cli/ToolServices.h"
#include "host/vst2.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CPresetSystemEffect;
class Drell;
class PresetFileCommands;

namespace cli {

class RenderHost {
public:
    static constexpr VstIntPtr kHostVersion = 2400;
    static constexpr const char* kProductString = "tessel-render";
    static constexpr const char* kVendorString = "Tessel developers";

    // Creates the effect; effect() is null when it could not be created.
    RenderHost();
    ~RenderHost(); // stops processing and closes the effect
    RenderHost(const RenderHost&) = delete;
    RenderHost& operator=(const RenderHost&) = delete;

    AEffect* effect() const { return aeffect; }
    // The effect's preset system; null when there is no effect.
    CPresetSystemEffect* presetSystem() const;
    // The effect object itself (tessel-shot gives it an editor); null when there is none.
    Drell* drellEffect() const { return drell; }
    // The preset system's file commands, answered with the files named by answerWith.
    PresetFileCommands* fileCommands() const { return commands.get(); }
    NamedFileDialogs& fileDialogs() { return services.fileDialogs; }
    // What the effect said while it was being created (a damaged default bank).
    const std::vector<std::string>& startupMessages() const { return firstMessages; }
    // The effect's messages since the last call (a refused file).
    std::vector<std::string> takeMessages() { return services.messages.take(); }

    // A mono source feeds input 0 only: input pin 1 is reported as not connected and
    // receives the same samples as pin 0.
    void setMonoInput(bool mono) { monoInput = mono; }

    // Before start: the rate, block size and tempo the effect will run at.
    void configure(double sampleRateHz, int blockSize, double tempoBpm);
    void start(); // effMainsChanged 1
    void stop();  // effMainsChanged 0
    bool running() const { return isRunning; }
    int blockSize() const { return blockFrames; }
    double sampleRateHz() const { return sampleRate; }

    // Processes frames (any count) in blocks of at most the configured block size. For a
    // mono source inR may be null or equal to inL. The host position advances with every
    // frame processed.
    void process(const float* inL, const float* inR, float* outL, float* outR, long long frames);
    long long framesProcessed() const { return position; }

    int numParameters() const;
    std::string parameterName(int index) const;
    std::string parameterLabel(int index) const;
    std::string parameterDisplay(int index) const;
    float parameterValue(int index) const;
    void setParameter(int index, float value);
    // The number of steps of a stepped parameter as its properties give them; none for a
    // continuous one.
    std::optional<int> parameterSteps(int index) const;
    // The index of the parameter with exactly this host name; none when there is none.
    std::optional<int> parameterIndex(std::string_view name) const;

    // The bank's program names as effGetProgramNameIndexed gives them; none past the end.
    std::optional<std::string> programName(int index) const;
    bool selectProgram(int index);

    // The time info the effect receives for the next block.
    const VstTimeInfo& timeInfo() const { return time; }

    // The host callback handed to the entry point.
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);

private:
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);
    std::string text(VstInt32 opcode, int index) const;
    void updateTime();

    ToolServices services; // outlives the effect
    Drell* drell = nullptr;
    AEffect* aeffect = nullptr;
    std::unique_ptr<PresetFileCommands> commands;
    std::vector<std::string> firstMessages;
    bool monoInput = false;
    bool isRunning = false;
    double sampleRate = 44100.0;
    int blockFrames = 512;
    double tempo = 120.0;
    long long position = 0; // frames processed since start
    VstTimeInfo time{};
};

} // namespace cli
