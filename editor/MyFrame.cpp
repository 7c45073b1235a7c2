#include "editor/MyFrame.h"

using namespace VSTGUI;

MyFrame::MyFrame(const CRect& size, void* parentWindow, CFrameOwner* owner, int32_t scale)
    : CFrame(size, parentWindow, owner, scale) {}

bool MyFrame::onWheel(CDrawContext* context, const CPoint& where, float distance, int32_t buttons) {
    if (context == nullptr) context = getDrawContext();
    CPoint pointer = where;
    getCurrentMouseLocation(pointer);
    CView* target = getModalView();
    if (target == nullptr) target = getFocusView();
    if (target == nullptr) {
        target = getViewAt(pointer);
        if (target != nullptr && !target->getMouseEnabled()) target = nullptr;
    }
    if (target == nullptr) return false;
    SharedRef<CView> keep(target);
    return target->onWheel(context, pointer, distance, buttons);
}
