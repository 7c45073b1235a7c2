// What the preset system tells an open editor: a renamed program and the end of the
// learn and clear modes. The editor implements it; tests plug in a recorder.
#pragma once

#include <cstdint>

class PresetSystemEvents {
public:
    virtual ~PresetSystemEvents() = default;
    virtual void onProgramNameChanged(std::int32_t program, const char* name) = 0;
    virtual void onLearnEnded() = 0;
    virtual void onClearEnded() = 0;
};
