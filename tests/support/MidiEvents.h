// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the event lists a host hands to effProcessEvents.
#pragma once

#include "host/vst2.h"

#include <array>
#include <cstddef>
#include <initializer_list>

// Up to Capacity MIDI events laid out as the host's VstEvents record.
template <std::size_t Capacity = 8>
class MidiEventList {
public:
    MidiEventList(std::initializer_list<std::array<unsigned char, 3>> messages) {
        for (const auto& bytes : messages) add(bytes[0], bytes[1], bytes[2]);
    }
    void add(unsigned char status, unsigned char data1, unsigned char data2) {
        VstMidiEvent& e = midi[list.numEvents];
        e = VstMidiEvent{};
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(data1);
        e.midiData[2] = static_cast<char>(data2);
        list.events[list.numEvents] = reinterpret_cast<VstEvent*>(&e);
        ++list.numEvents;
    }
    VstEvents* events() { return reinterpret_cast<VstEvents*>(&list); }

private:
    struct Layout { // VstEvents with room for Capacity pointers
        VstInt32 numEvents = 0;
        VstIntPtr reserved = 0;
        VstEvent* events[Capacity] = {};
    } list;
    std::array<VstMidiEvent, Capacity> midi{};
};
