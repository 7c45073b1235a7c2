// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands behind the preset bar's save/load buttons. Each takes the window that
// owns the file dialog (an X11 window id; 0 for none).
#pragma once

#include <cstdint>

class CPresetSystemListener {
public:
    virtual ~CPresetSystemListener() = default;
    virtual void loadBank(std::uint64_t ownerWindow) = 0;
    virtual void saveBank(std::uint64_t ownerWindow) = 0;
    virtual void selectDefaultBank(std::uint64_t ownerWindow) = 0;
    virtual void loadPreset(std::uint64_t ownerWindow) = 0;
    virtual void savePreset(std::uint64_t ownerWindow) = 0;
    virtual void loadMidiSettings(std::uint64_t ownerWindow) = 0;
    virtual void saveMidiSettings(std::uint64_t ownerWindow) = 0;
    virtual void clearDefaultBank(std::uint64_t ownerWindow) = 0;
};
