// SPDX-License-Identifier: GPL-3.0-or-later
// Error messages in a modal MessageBoxA with the caption "Error..." and no owner: the call
// returns when the user has closed the box, as Windows hosts expect of a plug-in.
#pragma once

#include "platform/MessageBox.h"

class Win32MessageBoxes final : public MessageBoxes {
public:
    void showError(std::string_view message, MessageIcon icon = MessageIcon::error) override;
};
