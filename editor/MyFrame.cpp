#include "editor/MyFrame.h"

using namespace VSTGUI;

MyFrame::MyFrame(const CRect& size, void* parentWindow, CFrameOwner* owner, int32_t scale)
    : CFrame(size, parentWindow, owner, scale) {}
