// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/MyFrame.h"

#include "editor/ProgramStepping.h"
#include "toolkit/CControl.h"

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
    if (auto* control = dynamic_cast<CControl*>(target);
        control != nullptr && programStepping != nullptr && target != getModalView() &&
        target != getFocusView() && programstep::wheelStepsOver(control->getTag())) {
        programStepping->stepPrograms(programstep::ofWheel(distance));
        return true;
    }
    SharedRef<CView> keep(target);
    return target->onWheel(context, pointer, distance, buttons);
}

bool MyFrame::onKeyDown(const KeyCode& key) {
    if (CFrame::onKeyDown(key)) return true;
    if (programStepping == nullptr || getFocusView() != nullptr || getModalView() != nullptr)
        return false;
    const int32_t step = programstep::ofKey(key);
    if (step == 0) return false;
    programStepping->stepPrograms(step);
    return true;
}
