// What the effect tells an existing editor: a parameter change from anywhere, a program
// about to be applied, and a recomputation of the tempo-synchronised values.
#pragma once

#include <cstdint>

class DrellEditorEvents {
public:
    virtual ~DrellEditorEvents() = default;
    virtual void setParameter(std::int32_t index, float value) = 0;
    virtual void onProgramSelect() = 0;
    virtual void onTempoChanged(float tempo) = 0;
};
