// One instance of the LV2 edition: the effect behind the same AEffect record a VST 2 host
// gets, driven by a small VST 2 host of our own. Port changes become setParameter calls at
// the start of each block, where a VST 2 host's automation lands; MIDI events reach
// effProcessEvents; the host's time position answers the effect's time requests. Nothing of
// the dispatcher, the parameter table or the engine is repeated here.
//
// Threads, as LV2 defines them: create, activate, deactivate and the destructor are never
// called while run is; connectPort comes between runs; run comes from the audio thread.
#pragma once

#include "host/vst2.h"
#include "lv2/HostTime.h"
#include "lv2/PortLayout.h"

#include <atomic>
#include <cstdint>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <memory>

class Drell;

// Where edits the effect reports to its host go: a UI that reaches the instance registers
// one to turn its knob gestures into port writes the host records as automation.
class HostEdits {
public:
    virtual ~HostEdits() = default;
    virtual void beginEdit(int param) = 0;
    virtual void automate(int param, float value) = 0;
    virtual void endEdit(int param) = 0;
};

class TesselLv2 {
public:
    // Null when the effect cannot be made. Without urid:map among the features the instance
    // ignores MIDI and the host's time and runs at its own tempo (120 at start).
    static std::unique_ptr<TesselLv2> create(double sampleRate, const LV2_Feature* const* features);
    ~TesselLv2();
    TesselLv2(const TesselLv2&) = delete;
    TesselLv2& operator=(const TesselLv2&) = delete;

    void connectPort(std::uint32_t port, void* data) noexcept;
    void activate();
    void deactivate();
    void run(std::uint32_t frames);

    // The controller map travels with the host's session, as a VST 2 host saves it in
    // parameters 48..95: one text of 48 controller numbers (999 for none) in parameter order.
    // A state without it (a preset) leaves the map alone; one that cannot be read changes
    // nothing. Both need urid:map.
    LV2_State_Status saveState(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    // The effect, for a UI that reaches the instance (instance access).
    Drell& effect() noexcept { return *drell; }
    // Set from the UI thread; null for none.
    void setHostEdits(HostEdits* edits) noexcept { hostEdits.store(edits); }

private:
    // VstEvents with room for a batch of MIDI events.
    static constexpr int kMaxEvents = 256;
    struct EventList {
        VstInt32 numEvents = 0;
        VstIntPtr reserved = 0;
        VstEvent* events[kMaxEvents] = {};
    };
    struct Urids {
        LV2_URID atomSequence = 0, atomObject = 0, atomBlank = 0, atomString = 0, midiEvent = 0;
        LV2_URID controllers = 0;
        TimeUrids time;
    };

    explicit TesselLv2(double sampleRate);
    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);
    VstIntPtr answerHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    void applyPortChanges();
    void readEvent(const LV2_Atom_Event& event, std::uint32_t& start, std::uint32_t frames);
    void addMidi(const LV2_Atom_Event& event, std::uint32_t delta);
    void deliverMidi();
    void process(std::uint32_t start, std::uint32_t end);

    Drell* drell = nullptr; // made and deleted through its record
    AEffect* record = nullptr;
    double rate;
    bool haveUrids = false;
    Urids urids;
    HostTime hostTime;
    std::atomic<HostEdits*> hostEdits{nullptr};

    const float* controls[kNumParams] = {};
    const float* audioIn[2] = {nullptr, nullptr};
    float* audioOut[2] = {nullptr, nullptr};
    const LV2_Atom_Sequence* events = nullptr;

    // The bits of the value each control port last handed to setParameter; the first run
    // hands over all of them, as a VST 2 host restores every parameter before playing.
    std::uint32_t appliedBits[kNumParams] = {};
    bool appliedAll = false;

    EventList eventList;
    VstMidiEvent midi[kMaxEvents] = {};
};
