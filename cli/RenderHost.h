// The host side of tessel-render: creates the effect through its entry point, answers the
// effect's callback (version, product, pin connections, tempo and position, latency) and
// feeds it audio in blocks, as a host plays a track.
#pragma once

#include "host/vst2.h"

#include <optional>
#include <string>
#include <string_view>

class CPresetSystemEffect;

namespace cli {

class RenderHost {
public:
    static constexpr VstIntPtr kHostVersion = 2400;
    static constexpr const char* kProductString = "tessel-render";
    static constexpr const char* kVendorString = "Tessel developers";

    // Creates the effect; effect() is null when the entry point refused.
    RenderHost();
    ~RenderHost(); // stops processing and closes the effect
    RenderHost(const RenderHost&) = delete;
    RenderHost& operator=(const RenderHost&) = delete;

    AEffect* effect() const { return aeffect; }
    // The effect's preset system, reached through the record's object as the same code
    // that this program links; null when the effect is not one.
    CPresetSystemEffect* presetSystem() const;

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

    AEffect* aeffect = nullptr;
    bool monoInput = false;
    bool isRunning = false;
    double sampleRate = 44100.0;
    int blockFrames = 512;
    double tempo = 120.0;
    long long position = 0; // frames processed since start
    VstTimeInfo time{};
};

} // namespace cli
