// SPDX-License-Identifier: GPL-3.0-or-later
// Which knob the user is dragging: the knobs set their tag at the start of a drag and clear
// it at the end, and the numeric display shows that parameter meanwhile. -1 for none.
// User-interface thread only.
#pragma once

#include <cstdint>

class EditReceiver {
public:
    virtual ~EditReceiver() = default;
    virtual void setEditedIndex(std::int32_t index) { editedIndex = index; }
    virtual void clearEditedIndex() { editedIndex = -1; }
    virtual std::int32_t getEditedIndex() const { return editedIndex; }

protected:
    std::int32_t editedIndex = -1;
};
