// The editor's frame: a CFrame that sends the wheel to the control under the pointer.
#pragma once

#include "toolkit/CFrame.h"

class MyFrame : public VSTGUI::CFrame {
public:
    MyFrame(const VSTGUI::CRect& size, void* parentWindow, VSTGUI::CFrameOwner* owner,
            int32_t scale = 1);
};
