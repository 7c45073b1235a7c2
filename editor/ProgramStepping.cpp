// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ProgramStepping.h"

#include "editor/CPresetSystemEditor.h"

namespace programstep {

int32_t ofKey(const VSTGUI::KeyCode& key) {
    if (key.modifiers != 0) return 0;
    switch (key.virt) {
    case VSTGUI::kVKeyRight:
    case VSTGUI::kVKeyUp:
        return 1;
    case VSTGUI::kVKeyLeft:
    case VSTGUI::kVKeyDown:
        return -1;
    default:
        return 0;
    }
}

int32_t ofWheel(float distance) {
    if (distance > 0.0f) return 1;
    if (distance < 0.0f) return -1;
    return 0;
}

bool wheelStepsOver(int32_t tag) {
    return tag == CPresetSystemEditor::kProgramNameTag ||
           tag == CPresetSystemEditor::kProgramRockerTag ||
           tag == CPresetSystemEditor::kProgramMenuTag;
}

} // namespace programstep
