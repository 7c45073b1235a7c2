// SPDX-License-Identifier: GPL-3.0-or-later
#include "lv2/TesselLv2.h"

#include "engine/Drell.h"
#include "engine/SampleRates.h"
#include "host/EffectFactory.h"
#include "presets/ControllerMap.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>
#include <new>
#include <string>

namespace {

const LV2_URID_Map* findMap(const LV2_Feature* const* features) {
    if (features == nullptr) return nullptr;
    for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
        if (std::strcmp((*f)->URI, LV2_URID__map) == 0 && (*f)->data != nullptr)
            return static_cast<const LV2_URID_Map*>((*f)->data);
    return nullptr;
}

} // namespace

std::unique_ptr<TesselLv2> TesselLv2::create(double sampleRate,
                                             const LV2_Feature* const* features) {
    // A host that runs at a rate the engine cannot time correctly gets no instance rather
    // than a wrong one.
    if (!samplerates::isSupported(sampleRate)) return nullptr;
    std::unique_ptr<TesselLv2> instance;
    try {
        instance.reset(new TesselLv2(sampleRate));
    } catch (...) {
        return nullptr; // out of memory: no instance, the host carries on
    }
    if (const LV2_URID_Map* map = findMap(features)) {
        auto id = [map](const char* uri) { return map->map(map->handle, uri); };
        Urids& u = instance->urids;
        u.atomSequence = id(LV2_ATOM__Sequence);
        u.atomObject = id(LV2_ATOM__Object);
        u.atomBlank = id(LV2_ATOM__Blank);
        u.atomString = id(LV2_ATOM__String);
        u.midiEvent = id(LV2_MIDI__MidiEvent);
        u.controllers = id(lv2ports::kControllersUri);
        u.time.map(*map);
        instance->haveUrids = true;
    }
    return instance;
}

TesselLv2::TesselLv2(double sampleRate) : rate(sampleRate) {
    // The effect is made (with its editor, which a UI opens) and driven through its record,
    // as a VST 2 host makes and drives it.
    drell = static_cast<Drell*>(createEffect(&TesselLv2::hostCallback));
    record = drell->getAeffect();
    record->user = this;
    hostTime.setSampleRate(sampleRate);
    record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    for (int i = 0; i < kMaxEvents; ++i)
        eventList.events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
}

TesselLv2::~TesselLv2() {
    // Closing through the record deletes the effect.
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr TesselLv2::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    // Calls from inside the effect's constructor come before the record is ours: they get
    // the answers of a host that offers nothing.
    auto* self = effect != nullptr ? static_cast<TesselLv2*>(effect->user) : nullptr;
    return self != nullptr ? self->answerHost(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr TesselLv2::answerHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    switch (opcode) {
    case audioMasterGetTime:
        return haveUrids ? reinterpret_cast<VstIntPtr>(hostTime.info()) : 0;
    case audioMasterPinConnected: {
        // 0 means connected. value 0 asks about an input, 1 about an output.
        if (index < 0 || index > 1) return 1;
        const void* port = value == 0 ? static_cast<const void*>(audioIn[index])
                                      : static_cast<const void*>(audioOut[index]);
        return port != nullptr ? 0 : 1;
    }
    case audioMasterWantMidi:
        return 1;
    case audioMasterCanDo:
        return haveUrids && ptr != nullptr &&
               std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0;
    case audioMasterBeginEdit:
        return reportEdit(Edit::Kind::Begin, index, 0.0f);
    case audioMasterAutomate:
        return reportEdit(Edit::Kind::Value, index, opt);
    case audioMasterEndEdit:
        return reportEdit(Edit::Kind::End, index, 0.0f);
    case audioMasterUpdateDisplay:
        // A program was selected: the UI writes every port.
        if (!uiAttached.load(std::memory_order_acquire)) return 0;
        resendAll.store(true, std::memory_order_release);
        return 1;
    default:
        (void)ptr;
        return 0; // no product string, no latency, no window
    }
}

VstIntPtr TesselLv2::reportEdit(Edit::Kind kind, VstInt32 index, float value) noexcept {
    // Any thread: the effect may report from the audio thread as well as from the editor.
    if (!uiAttached.load(std::memory_order_acquire) || !isSoundParameter(index)) return 0;
    if (!edits.push({kind, index, value})) resendAll.store(true, std::memory_order_release);
    return 1;
}

bool TesselLv2::attachUi() noexcept {
    if (uiClaimed.exchange(true, std::memory_order_acq_rel)) return false;
    // Edits from the previous UI's last moments are not this one's.
    Edit stale;
    while (edits.pop(stale)) {
    }
    resendAll.store(false, std::memory_order_relaxed);
    uiAttached.store(true, std::memory_order_release);
    return true;
}

void TesselLv2::detachUi() noexcept {
    uiAttached.store(false, std::memory_order_release);
    uiClaimed.store(false, std::memory_order_release);
}

void TesselLv2::takeEdits(HostEdits& to) {
    // At most one queue's worth per call, so a stream of control changes cannot hold the
    // UI thread here.
    Edit edit;
    for (std::size_t n = 0; n < kEditQueueSize && edits.pop(edit); ++n) {
        switch (edit.kind) {
        case Edit::Kind::Begin:
            to.beginEdit(edit.param);
            break;
        case Edit::Kind::Value:
            to.automate(edit.param, edit.value);
            break;
        case Edit::Kind::End:
            to.endEdit(edit.param);
            break;
        }
    }
    if (resendAll.exchange(false, std::memory_order_acq_rel)) to.allChanged();
}

void TesselLv2::connectPort(std::uint32_t port, void* data) noexcept {
    if (port < static_cast<std::uint32_t>(kNumParams)) {
        controls[port] = static_cast<const float*>(data);
        return;
    }
    switch (port) {
    case lv2ports::kAudioInLeft:
    case lv2ports::kAudioInRight:
        audioIn[port - lv2ports::kAudioInLeft] = static_cast<const float*>(data);
        break;
    case lv2ports::kAudioOutLeft:
    case lv2ports::kAudioOutRight:
        audioOut[port - lv2ports::kAudioOutLeft] = static_cast<float*>(data);
        break;
    case lv2ports::kEvents:
        events = static_cast<const LV2_Atom_Sequence*>(data);
        break;
    case lv2ports::kEnabled:
        enabled = static_cast<const float*>(data);
        break;
    default:
        break;
    }
}

void TesselLv2::activate() {
    record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
}

void TesselLv2::deactivate() {
    record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0.0f);
}

void TesselLv2::run(std::uint32_t frames) {
    applyPortChanges();
    std::uint32_t start = 0;
    if (haveUrids && events != nullptr && events->atom.type == urids.atomSequence &&
        events->atom.size >= sizeof(LV2_Atom_Sequence_Body)) {
        LV2_ATOM_SEQUENCE_FOREACH(events, event) readEvent(*event, start, frames);
    }
    deliverMidi();
    process(start, frames);
}

void TesselLv2::applyPortChanges() {
    bool changed[kNumParams] = {};
    for (int i = 0; i < kNumParams; ++i) {
        if (controls[i] == nullptr) continue;
        const auto bits = std::bit_cast<std::uint32_t>(*controls[i]);
        if (appliedAll && bits == appliedBits[i]) continue;
        appliedBits[i] = bits;
        changed[i] = true;
    }
    if (enabled != nullptr) {
        const auto bits = std::bit_cast<std::uint32_t>(*enabled);
        if (!appliedAll || bits != appliedEnabledBits) changed[kMainBypass] = true;
        appliedEnabledBits = bits;
    }
    appliedAll = true;
    // A delay line's mode and range move the time the effect keeps for it, so the ports
    // that set the time follow them again, later in parameter order: the line then plays
    // what its ports say, whatever the effect held before.
    for (int side = 0; side < 2; ++side) {
        const bool mode = changed[side == 0 ? kDlyLMode : kDlyRMode];
        const bool range = changed[side == 0 ? kDlyLRange : kDlyRRange];
        if (mode) changed[side == 0 ? kDlyLRange : kDlyRRange] = true;
        if (mode || range)
            for (ParameterId follower :
                 {side == 0 ? kDlyLNum : kDlyRNum, side == 0 ? kDlyLDen : kDlyRDen,
                  side == 0 ? kDlyLTime : kDlyRTime})
                changed[follower] = true;
    }
    for (int i = 0; i < kNumParams; ++i) {
        if (!changed[i]) continue;
        if (i == kMainBypass) {
            const bool bypassed = (controls[i] != nullptr && *controls[i] >= 0.5f) ||
                                  (enabled != nullptr && !(*enabled >= 0.5f));
            record->setParameter(record, i, bypassed ? 1.0f : 0.0f);
        } else if (controls[i] != nullptr) {
            record->setParameter(record, i,
                                 lv2ports::parameterValue(i, *controls[i], rangeMsFor(i)));
        }
    }
}

float TesselLv2::rangeMsFor(int param) {
    if (param != kDlyLTime && param != kDlyRTime) return kDelayRangeMs[2];
    // The range the line's Range port says, which was applied before its time.
    const ParameterId range = lv2ports::rangeOfTime(param);
    const float value = controls[range] != nullptr
                            ? lv2ports::parameterValue(range, *controls[range])
                            : record->getParameter(record, range);
    return delayRangeMsOf(value);
}

void TesselLv2::readEvent(const LV2_Atom_Event& event, std::uint32_t& start, std::uint32_t frames) {
    const std::int64_t at = std::clamp<std::int64_t>(event.time.frames, start, frames);
    const auto frame = static_cast<std::uint32_t>(at);
    if (event.body.type == urids.midiEvent) {
        addMidi(event, frame - start);
        return;
    }
    if (event.body.type != urids.atomObject && event.body.type != urids.atomBlank) return;
    if (event.body.size < sizeof(LV2_Atom_Object_Body)) return;
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event.body);
    if (object->body.otype != urids.time.position) return;
    // A new position holds from its own frame: the block is split there.
    if (frame > start) {
        deliverMidi();
        process(start, frame);
        start = frame;
    }
    hostTime.take(object, urids.time);
}

void TesselLv2::addMidi(const LV2_Atom_Event& event, std::uint32_t delta) {
    // Short messages only; the effect looks at control changes.
    if (event.body.size < 1 || event.body.size > 3) return;
    if (eventList.numEvents == kMaxEvents) deliverMidi();
    VstMidiEvent& e = midi[eventList.numEvents++];
    e = VstMidiEvent{};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = static_cast<VstInt32>(delta);
    std::memcpy(e.midiData, LV2_ATOM_BODY_CONST(&event.body), event.body.size);
}

void TesselLv2::deliverMidi() {
    if (eventList.numEvents == 0) return;
    record->dispatcher(record, effProcessEvents, 0, 0, reinterpret_cast<VstEvents*>(&eventList),
                       0.0f);
    eventList.numEvents = 0;
}

void TesselLv2::process(std::uint32_t start, std::uint32_t end) {
    if (end <= start) return;
    if (audioIn[0] != nullptr && audioOut[0] != nullptr) {
        float* in[2] = {const_cast<float*>(audioIn[0]) + start,
                        audioIn[1] != nullptr ? const_cast<float*>(audioIn[1]) + start : nullptr};
        float* out[2] = {audioOut[0] + start,
                         audioOut[1] != nullptr ? audioOut[1] + start : nullptr};
        record->processReplacing(record, in, out, static_cast<VstInt32>(end - start));
    }
    hostTime.advance(end - start);
}

LV2_State_Status TesselLv2::saveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!haveUrids) return LV2_STATE_ERR_NO_FEATURE;
    std::string text;
    for (int p = 0; p < kNumParams; ++p) {
        const float v = record->getParameter(record, kNumParams + p);
        if (p > 0) text += ' ';
        text += std::to_string(controllerOfHostValue(v));
    }
    return store(handle, urids.controllers, text.c_str(), text.size() + 1, urids.atomString,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status TesselLv2::restoreState(LV2_State_Retrieve_Function retrieve,
                                         LV2_State_Handle handle) {
    if (!haveUrids) return LV2_STATE_ERR_NO_FEATURE;
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const auto* text =
        static_cast<const char*>(retrieve(handle, urids.controllers, &size, &type, &flags));
    if (text == nullptr) return LV2_STATE_SUCCESS; // a preset: the map stays
    if (type != urids.atomString) return LV2_STATE_ERR_BAD_TYPE;
    int controllers[kNumParams];
    const char* at = text;
    const char* end = text + strnlen(text, size);
    for (int& cc : controllers) {
        while (at < end && *at == ' ') ++at;
        const auto [next, error] = std::from_chars(at, end, cc);
        if (error != std::errc{}) return LV2_STATE_ERR_UNKNOWN; // unreadable: nothing changes
        at = next;
    }
    for (int p = 0; p < kNumParams; ++p) {
        record->setParameter(record, kNumParams + p, hostValueOfController(controllers[p]));
    }
    return LV2_STATE_SUCCESS;
}
