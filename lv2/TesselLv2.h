// SPDX-License-Identifier: GPL-3.0-or-later
// One instance of the LV2 edition: the effect behind the same AEffect record a VST 2 host
// gets, driven by a small VST 2 host of our own. Port changes become setParameter calls at
// the start of each block, where a VST 2 host's automation lands; MIDI events reach
// effProcessEvents; the host's time position answers the effect's time requests. Nothing of
// the dispatcher, the parameter table or the engine is repeated here. Control ports read in
// the parameters' units (ParameterUnits.h) and are mapped to the effect's values here.
//
// Threads, as LV2 defines them: create, activate, deactivate and the destructor are never
// called while run is; connectPort comes between runs; run comes from the audio thread.
#pragma once

#include "host/vst2.h"
#include "lv2/EditQueue.h"
#include "lv2/HostTime.h"
#include "lv2/PortLayout.h"

#include <atomic>
#include <cstdint>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <memory>

class Drell;

// Where the edits the effect reports go: the UI that reaches the instance takes them at its
// idle and writes them to the host as port changes, which the host records as automation.
class HostEdits {
public:
    virtual ~HostEdits() = default;
    virtual void beginEdit(int param) = 0;
    virtual void automate(int param, float value) = 0;
    virtual void endEdit(int param) = 0;
    // Every sound parameter may have changed (a program was selected, or edits were lost).
    virtual void allChanged() = 0;
};

class TesselLv2 {
public:
    // Null when the effect cannot be made or the rate lies outside what it runs. Without urid:map
    // among the features the instance ignores MIDI and the host's time and runs at its own tempo
    // (120 at start).
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
    // False for an instance made by another copy of this library, which a UI of this copy
    // must not reach into.
    bool madeHere() const noexcept { return origin == &kOrigin; }

    // The UI's side, on the host's UI thread. One UI at a time: attachUi answers false while
    // another is attached. Only while one is attached are the edits kept.
    bool attachUi() noexcept;
    void detachUi() noexcept;
    // Hands the edits reported since the last call to `to` in the order they were made, then
    // allChanged when a program was selected or edits were lost to a full queue.
    void takeEdits(HostEdits& to);

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

    // Room for the edits of several UI idles; a program change reports 192.
    static constexpr std::size_t kEditQueueSize = 1024;
    static constexpr char kOrigin = 0;

    explicit TesselLv2(double sampleRate);
    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);
    VstIntPtr answerHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    VstIntPtr reportEdit(Edit::Kind kind, VstInt32 index, float value) noexcept;
    void applyPortChanges();
    // The delay range a delay time port's milliseconds are taken in (any range for others).
    float rangeMsFor(int param);
    void readEvent(const LV2_Atom_Event& event, std::uint32_t& start, std::uint32_t frames);
    void addMidi(const LV2_Atom_Event& event, std::uint32_t delta);
    void deliverMidi();
    void process(std::uint32_t start, std::uint32_t end);

    const void* origin = &kOrigin; // first, where any copy of the library finds it
    Drell* drell = nullptr;        // made and deleted through its record
    AEffect* record = nullptr;
    double rate;
    bool haveUrids = false;
    Urids urids;
    HostTime hostTime;
    std::atomic<bool> uiClaimed{false};
    std::atomic<bool> uiAttached{false};
    std::atomic<bool> resendAll{false};
    EditQueue<kEditQueueSize> edits;

    const float* controls[kNumParams] = {};
    const float* audioIn[2] = {nullptr, nullptr};
    float* audioOut[2] = {nullptr, nullptr};
    const LV2_Atom_Sequence* events = nullptr;
    const float* enabled = nullptr;

    // The bits of the value each control port last handed to setParameter; the first run
    // hands over all of them, as a VST 2 host restores every parameter before playing.
    std::uint32_t appliedBits[kNumParams] = {};
    std::uint32_t appliedEnabledBits = 0;
    bool appliedAll = false;

    EventList eventList;
    VstMidiEvent midi[kMaxEvents] = {};
};
