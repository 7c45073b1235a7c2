// SPDX-License-Identifier: GPL-3.0-or-later
// The effect: a stereo delay with two lines, modulation, filter, drive and reverb.
#pragma once

#include "engine/AntiAliasFilter.h"
#include "engine/DelayLine.h"
#include "engine/Drive.h"
#include "engine/InputMeter.h"
#include "engine/Modulation.h"
#include "engine/ParameterUnits.h"
#include "engine/Parameters.h"
#include "engine/Relaxed.h"
#include "engine/Reverb.h"
#include "engine/StateVariableFilter.h"
#include "engine/TempoSync.h"
#include "host/AEffEditor.h"
#include "presets/CPresetSystemEffect.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class DrellEditorEvents;

class Drell : public CPresetSystemEffect {
public:
    // Services left null are created by the effect (settings file, dialogs, message boxes).
    explicit Drell(audioMasterCallback audioMaster, const PlatformServices& services = {});
    // Destroys the editor first (with its file commands), then the engine, the bank and services.
    ~Drell() override;

    void suspend() override;
    void resume() override;
    // A rate that arrives while the effect is on takes effect before the next block, as if
    // the host had switched the effect off, set the rate and switched it on again.
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    void selectProgram(VstInt32 index) override;

    virtual bool isHostAdapter() { return hostIsAdapter; }
    // The engine's own tempo as 0..1 over the tempo range of TempoSync.h.
    virtual void setTempo(float norm);
    virtual float getTempo();

    // Whether a note value's time or rate lies outside what the engine can run: which = 1
    // left delay, 2 right delay (over 5000 ms), 4 LFO (outside 0.01..15 Hz).
    bool isSyncOutOfRange(int which) const;
    // A value for the editor's four-digit display: digits and point position, sign, split
    // kind (0 number, 1..3 split of two percentages) or note value. Index 0..49, 49 being
    // the tempo. Null pointers are skipped.
    void getDisplayValue(int* digits, int* point, VstInt32 index, bool* isSigned, int* kind,
                         int* num, int* den);
    // The input peaks since the last call (delayed by the host's output latency); clears
    // them. Takes no lock.
    void readInputPeaks(float* peakL, float* peakR);

    // The editor object, owned by the effect from here on (null for none); the record
    // announces it. Set on the host's user-interface thread while no window is open.
    void adoptEditor(std::unique_ptr<AEffEditor> editor);
    // The editor's side of the effect's events, or null; it must stay valid until it is
    // replaced or the effect is destroyed (DrellEditorEvents.h says which thread calls what).
    void setEditorEvents(DrellEditorEvents* events) {
        editorEvents.store(events, std::memory_order_release);
    }

    // Every block through the per-sample chain, with no block-wise shape and no silence: the
    // reference the faster shapes are proved against. Read once per block.
    void setReferenceChain(bool on) noexcept { referenceChain = on; }

    // Sizes that follow the sample rate, for tests and diagnostics.
    float engineRate() const noexcept { return dspRate; }
    int delayLength() const noexcept { return dlyLine[0].length(); }
    int reverbMask() const noexcept { return reverb.rvbMask; }
    int averageLength() const noexcept { return avgLen; }
    int meterLength() const noexcept { return inputMeter.length(); }
    const float* delayMemory(int side) const noexcept { return dlyLine[side & 1].memory(); }

    static constexpr const char* kEffectName = "Tessel";
    static constexpr const char* kVendor = "Tessel developers";
    static constexpr const char* kProduct = "Tessel stereo delay";

    // The longest delay time of each delay range.
    static constexpr const float (&kRangeMs)[3] = kDelayRangeMs;

    // recomputeSync mask bits.
    static constexpr int kSyncLeft = 1;
    static constexpr int kSyncRight = 2;
    static constexpr int kSyncLfo = 4;
    static constexpr int kSyncAll = kSyncLeft | kSyncRight | kSyncLfo;

private:
    // Tests reach the chain's states through it to prove the finite guard covers them.
    friend struct DrellProbe;

    // Working values that setParameter writes as targets and the audio thread glides to,
    // in the order the smoother runs them.
    enum Smoothed : int {
        sInGain,
        sOutGain,
        sMix,
        sFbGainL,
        sFbGainR,
        sFbPanL,
        sFbPanR,
        sModSource,
        sFltModDepth,
        sCutoff,
        sResonance,
        sVcoMod,
        sDrive,
        kNumSmoothed
    };
    static constexpr int kSmoothedLanes = 16; // padded for whole vector steps

    // The state the chain updates every sample, owned by whoever holds the engine lock. A
    // block works on a local copy, which no store to the delay or reverb memories can
    // reach, so the compiler keeps it in registers; the copy goes back whole afterwards.
    struct ChainState {
        alignas(16) float smoothed[kSmoothedLanes] = {}; // current values of the pairs
        // Alternating guard values that keep recursive states out of the denormal range.
        float guard8 = 1e-8f;
        float guard10 = 1e-10f;
        float fbSignal[2] = {0.0f, 0.0f};
        float fadeGain[2] = {1.0f, 1.0f};
        bool dlyTimePending[2] = {false, false};
        float lastA[2] = {0.0f, 0.0f}; // the signal that last entered the delay lines
        InputMeter::Cursor meter;      // with the extremes it saw in the running block
        StateVariableFilter svf;
        AntiAliasFilter antiAlias;
        Drive drive;
        Modulation modulation;

        // The guards flip once per sample.
        TESSEL_PER_SAMPLE void flipGuards() noexcept {
            guard8 = -guard8;
            guard10 = -guard10;
        }
        // A delay-time fade runs or waits to start.
        bool fading() const noexcept {
            return dlyTimePending[0] || dlyTimePending[1] || fadeGain[0] < 1.0f ||
                   fadeGain[1] < 1.0f;
        }
        // After n samples of settled smoothers from the block's sample first: the smoothers
        // hold the last sample's values, and the guards have flipped n times.
        void settleAfter(const float (&settledValues)[2][kSmoothedLanes], int first,
                         int n) noexcept;
        // Whether the chain's own values and every stage's states are numbers.
        bool isFinite() const noexcept;
    };

    // Parameter mapping (ParameterMapping.cpp).
    void applyParameter(VstInt32 index, float value);
    void setDelayMode(int side, float v);
    void setDelayRange(int side, float v);
    void setDelayTime(int side, float v);
    void setReverbType(float v);
    void setLfoRate(float v);
    void setEnvelopeSpeed(float v);
    void recomputeSync(int mask);
    void takeTempo(float bpm);
    float cutoffFor(float v) const noexcept;
    DrellEditorEvents* editorListener() const noexcept {
        return editorEvents.load(std::memory_order_acquire);
    }

    // Signal path (SignalPath.cpp): the prologue, the choice of shape, the per-sample chain
    // and the epilogue.
    struct Frame {
        float l, r;
    };
    using Lines = DelayLine::Cursor[2];
    // Placement of the filter for a block: off, or on in mode "in", "fb" or "fx".
    enum FilterPlacement : int { kFilterOff, kFilterIn, kFilterFb, kFilterFx };
    struct BlockSettings;
    void beginBlock(float** inputs, float** outputs) noexcept;
    BlockSettings readBlockSettings(const ChainState& c) const noexcept;
    template <typename Run>
    void dispatchShape(const BlockSettings& b, Run&& run) noexcept;
    template <bool Clocked, int Filter>
    void runBlock(ChainState& c, const BlockSettings& b, int first, int frames) noexcept;
    template <bool Clocked, int Filter>
    Frame processSample(ChainState& c, Lines& line, AntiAliasFilter::Voice& aa, Reverb::Voice& rv,
                        const BlockSettings& b, float lfoL, float lfoR, float inL,
                        float inR) noexcept;
    void applyRequests(ChainState& c) noexcept;
    void smoothParameters(ChainState& c, const BlockSettings& b) noexcept;
    // The stages between the input and the delay lines, and between the lines and the
    // feedback: each runs one sample of both sides, in every shape of the chain.
    template <bool Clocked, int Filter>
    void linesInput(ChainState& c, AntiAliasFilter::Voice& aa, const BlockSettings& b,
                    const float* sm, float x[2], float a[2]) noexcept;
    void modulate(ChainState& c, const BlockSettings& b, const float* sm, const float a[2],
                  float lfoL, float lfoR, bool filterReads) noexcept;
    template <int Filter>
    void linesOutput(ChainState& c, const BlockSettings& b, const float y[2], float w[2]) noexcept;
    float fadeDelayTime(ChainState& c, Lines& line, int side, float y) noexcept;
    static void runReverb(Reverb::Voice& rv, float w[2], float guard8, float rvbAmt) noexcept;

    // The block-wise chain (StretchChain.cpp): with the smoothers settled and no delay-time
    // fade, each stage runs as a loop of its own over stretches of the block that the delay
    // lines' feedback cannot reach within (no longer than the shorter delay); shorter delays
    // run the per-sample chain.
    template <bool Clocked, int Filter>
    void runStretches(ChainState& c, const BlockSettings& b, int frames) noexcept;
    static void clockRates(const BlockSettings& b, const float* argument, const float manual[2],
                           int parity, int n, float* rates) noexcept;

    // Silence (Silence.cpp): after the input and every memory and state have stayed below
    // the silence level, blocks output zeros and keep only what moves with time.
    struct QuietWatch;
    QuietWatch watchQuiet() const noexcept;
    void updateQuiet(const QuietWatch& before, const BlockSettings& b, bool inputQuiet,
                     int frames) noexcept;
    bool statesAreQuiet(const BlockSettings& b) const noexcept;
    void runSilentBlock(ChainState& c, const BlockSettings& b, int frames) noexcept;
    bool inputIsQuiet(int frames) const noexcept;

    // Lifecycle (Lifecycle.cpp).
    // Zeroed delay and reverb memories for a sample rate, made before the engine lock is
    // taken; after the swap they hold the old memories, freed once the lock is released.
    struct RateMemories {
        std::vector<float> delay[2];
        std::vector<float> reverbPool;
        static RateMemories forRate(float sr);
    };
    void setEngineRate(float sr, RateMemories& memories);
    void setEngineRate(float sr) {
        RateMemories none;
        setEngineRate(sr, none);
    }
    void setMeterLength(int n);
    void placeReadPositions() noexcept;
    void settleSmoothedValues() noexcept;
    void startClean() noexcept;
    void settleStart() noexcept;
    void settleDelayTimes() noexcept;
    void reset() noexcept;
    [[gnu::noinline]] void prepareMemories(int frames, bool clocked) noexcept;
    bool chainIsFinite() const noexcept;

    // Value texts (ValueTexts.cpp).
    void formatValue(VstInt32 index, char* text);

    // Held by the constructor, resume, suspend, each audio block and the reverb type change.
    std::recursive_mutex engineLock;
    bool hostIsAdapter = false;
    bool processingOn = false; // between resume and suspend; under the engine lock
    // Set by resume, cleared by the first block after it: what the host sets between
    // switching the effect on and that block is the starting state, not a glide. Under the
    // engine lock.
    bool settleAtNextBlock = false;
    // Whether an unsupported sample rate was reported; each instance says it once.
    bool rateReported = false;
    std::atomic<DrellEditorEvents*> editorEvents{nullptr};
    Relaxed<bool> referenceChain{false};

    // The last value each sound parameter received, as getParameter returns it.
    Relaxed<float> params[kNumParams];

    // Working values written by setParameter (any thread) and read per sample or block.
    Relaxed<float> smoothTarget[kNumSmoothed];
    Relaxed<float> fbSign[2] = {1.0f, 1.0f};
    Relaxed<float> dlySign[2] = {1.0f, 1.0f};
    Relaxed<int> lfoWave{0};
    Relaxed<float> lfoRateHz{3.0f};
    Relaxed<float> lfoInc{0.0f};
    Relaxed<float> lfoOffset{0.0f};
    Relaxed<int> fltType{0}, fltMode{0};
    Relaxed<float> vcoManual{0.0f};
    Relaxed<float> envMs{100.0f}, envPole{0.0f}, envGain{0.0f}, envSens{1.0f};
    Relaxed<int> lfoMode{0}, lfoNumIdx{0}, lfoDenIdx{0};
    Relaxed<int> dlyMode[2], dlyNumIdx[2], dlyDenIdx[2];
    Relaxed<float> dlyRangeMs[2] = {5000.0f, 5000.0f};
    Relaxed<float> dlyTimeFrac[2] = {0.4f, 0.4f};
    Relaxed<float> dlyTimeMs[2] = {2000.0f, 2000.0f};
    Relaxed<int> rvbMode{0}, rvbType{0};
    Relaxed<float> rvbDamp{0.1f}, rvbAmt{0.0f};
    Relaxed<int> bypass{0}, fltOn{0}, drvOn{0}, modOn{0}, vcoOn{1}, rvbOn{0};
    Relaxed<float> tempo{temposync::kStartTempoBpm};
    Relaxed<float> tempoNorm{temposync::normOfTempo(temposync::kStartTempoBpm)};

    // Requests to state the audio thread owns, applied at the start of its next block.
    Relaxed<bool> dlyTimeRequest[2] = {false, false}; // a new delay time waits for a fade
    Relaxed<bool> lfoRestartRequest{false};           // a wave change restarts the LFO
    Relaxed<bool> lfoPlaceRequest{false};             // an offset change moves the side phases

    // The engine's sample rate; written under the lock by resume, read anywhere.
    Relaxed<float> dspRate{44100.0f};
    Relaxed<int> dspRateInt{44100};
    Relaxed<int> avgLen{4};

    // Values that follow the sample rate; written and read under the engine lock.
    float smoothPole = 0.0f;
    float smoothGain = 1.0f;
    float fadeStep = 1.0f;
    float cutoffCeiling = 16036.0f;

    // Audio state, owned by whoever holds the engine lock: the chain's state and the
    // memories it reads and writes in place.
    ChainState chain;
    DelayLine dlyLine[2];
    InputMeter inputMeter;
    Reverb reverb;

    // Silence: whether blocks are silent, and how long the input, the delay memories (in
    // memory samples) and the reverb memories have stayed quiet. Under the engine lock.
    bool silent = false;
    long quietInputFrames = 0;
    long quietDelayWrites[2] = {0, 0};
    long quietReverbFrames = 0;
    bool silentWithReverb = false; // the reverb was on when the silence began

    // The block's channels, chosen in the prologue.
    const float* blockIn[2] = {nullptr, nullptr};
    float* blockOut[2] = {nullptr, nullptr};

    // The editor object (with the preset bar's file commands).
    std::unique_ptr<AEffEditor> ownedEditor;
};
