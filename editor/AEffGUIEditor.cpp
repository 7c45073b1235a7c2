// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/AEffGUIEditor.h"

#include "host/AudioEffectX.h"

using namespace VSTGUI;

AEffGUIEditor::AEffGUIEditor(AudioEffectX* effect) : AEffEditor(effect), effectXPtr(effect) {
    updateRect();
}

AEffGUIEditor::~AEffGUIEditor() {
    if (frame != nullptr) {
        frame->forget();
        frame = nullptr;
    }
}

bool AEffGUIEditor::getRect(ERect** result) {
    if (result == nullptr) return false;
    *result = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    if (frame != nullptr) close();
    systemWindow = parentWindow;
    return true;
}

void AEffGUIEditor::close() {
    if (frame != nullptr) {
        CFrame* closing = frame;
        frame = nullptr;
        closing->forget();
    }
    systemWindow = nullptr;
}

void AEffGUIEditor::idle() {
    if (frame != nullptr) frame->idle();
}

namespace {

KeyCode keyFromHost(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
    KeyCode key;
    key.character = character >= 32 && character <= 126 ? character : 0;
    key.virt = virtualKey;
    if (modifiers & MODIFIER_SHIFT) key.modifiers |= kShift;
    if (modifiers & MODIFIER_ALTERNATE) key.modifiers |= kAlt;
    if (modifiers & MODIFIER_COMMAND) key.modifiers |= kControl;
    if (modifiers & MODIFIER_CONTROL) key.modifiers |= kSuper;
    return key;
}

} // namespace

VstInt32 AEffGUIEditor::onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
    if (frame == nullptr) return 0;
    return frame->keyDown(keyFromHost(character, virtualKey, modifiers)) ? 1 : 0;
}

VstInt32 AEffGUIEditor::onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
    if (frame == nullptr) return 0;
    return frame->keyUp(keyFromHost(character, virtualKey, modifiers)) ? 1 : 0;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::beginEdit(int32_t tag) {
    if (effectXPtr != nullptr) effectXPtr->beginEdit(tag);
}

void AEffGUIEditor::endEdit(int32_t tag) {
    if (effectXPtr != nullptr) effectXPtr->endEdit(tag);
}

void AEffGUIEditor::setScale(int32_t newScale) {
    scaleFixed = true;
    applyScale(newScale);
}

void AEffGUIEditor::applyScale(int32_t newScale) {
    scale = newScale == 2 ? 2 : 1;
    if (frame == nullptr) updateRect();
}

void AEffGUIEditor::setSize(int32_t newWidth, int32_t newHeight) {
    width = newWidth;
    height = newHeight;
    updateRect();
}

void AEffGUIEditor::updateRect() {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(height * scale);
    rect.right = static_cast<VstInt16>(width * scale);
}
