#include "editor/CPresetSystemEditor.h"

#include "engine/Drell.h"

using namespace VSTGUI;

CPresetSystemEditor::CPresetSystemEditor(Drell* effect) : AEffGUIEditor(effect), drell(effect) {}

CPresetSystemEditor::~CPresetSystemEditor() = default;

bool CPresetSystemEditor::open(void* parentWindow) {
    (void)parentWindow;
    return true;
}

void CPresetSystemEditor::close() {}

void CPresetSystemEditor::idle() {}

void CPresetSystemEditor::valueChanged(CDrawContext* context, CControl* control) {
    (void)context, (void)control;
}

void CPresetSystemEditor::onProgramNameChanged(std::int32_t program, const char* name) {
    (void)program, (void)name;
}

void CPresetSystemEditor::onLearnEnded() {}

void CPresetSystemEditor::onClearEnded() {}
