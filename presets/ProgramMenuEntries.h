// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's program menu as the file commands see it: a loaded bank renames its entries.
// Implemented by the editor while its window is open.
#pragma once

#include <cstdint>

class ProgramMenuEntries {
public:
    virtual ~ProgramMenuEntries() = default;
    // Entry index (0..60) now shows name.
    virtual void setProgramMenuEntry(std::int32_t index, const char* name) = 0;
};
