#include "editor/Editor.h"

#include "editor/MyFrame.h"
#include "engine/Drell.h"
#include "toolkit/CBitmap.h"
#include "toolkit/DisplayScale.h"

using namespace VSTGUI;

namespace {
constexpr int32_t kBackgroundBitmap = 128;
constexpr int32_t kWidth = 875;
constexpr int32_t kHeight = 171;
} // namespace

Editor::Editor(Drell* effect) : CPresetSystemEditor(effect) {
    setSize(kWidth, kHeight);
    setKnobMode(kLinearMode);
    if (drell != nullptr) drell->setEditorEvents(this);
}

Editor::~Editor() {
    close();
    if (drell != nullptr) drell->setEditorEvents(nullptr);
}

bool Editor::getRect(ERect** rect) {
    if (frame == nullptr && !scaleChosen) {
        setScale(chooseScale());
        scaleChosen = true;
    }
    return AEffGUIEditor::getRect(rect);
}

int32_t Editor::chooseScale() const {
    return detectDisplayScale();
}

bool Editor::open(void* parentWindow) {
    if (frame != nullptr) close();
    if (!scaleChosen) setScale(chooseScale());
    scaleChosen = true;
    AEffGUIEditor::open(parentWindow);
    clearEditedIndex();

    CBitmap* background = new CBitmap(kBackgroundBitmap);
    frame = new MyFrame(CRect(0, 0, kWidth, kHeight), parentWindow, this, getScale());
    frame->setBackground(background);
    background->forget();

    CPresetSystemEditor::open(parentWindow);
    frame->idle();
    return true;
}

void Editor::close() {
    CPresetSystemEditor::close();
    AEffGUIEditor::close();
    // The next open asks the screen and the settings again.
    scaleChosen = false;
}

void Editor::idle() {
    AEffGUIEditor::idle();
    CPresetSystemEditor::idle();
}

void Editor::valueChanged(CDrawContext* context, CControl* control) {
    CPresetSystemEditor::valueChanged(context, control);
}

void Editor::setParameter(std::int32_t index, float value) {
    (void)index, (void)value;
}

void Editor::onProgramSelect() {}

void Editor::onTempoChanged(float tempo) {
    (void)tempo;
}
