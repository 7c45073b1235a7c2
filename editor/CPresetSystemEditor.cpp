// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CPresetSystemEditor.h"

#include "editor/CPSKickButton.h"
#include "editor/CPSOnOffButton.h"
#include "editor/CPSRockerSwitch.h"
#include "editor/CSaveLoadButton.h"
#include "editor/ControlHints.h"
#include "editor/HintLine.h"
#include "editor/MyFrame.h"
#include "editor/PresetBarFrames.h"
#include "engine/Drell.h"
#include "presets/ControllerNames.h"
#include "presets/PresetFileCommands.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CTextEdit.h"

#include <algorithm>
#include <string>

using namespace VSTGUI;

namespace {

constexpr int32_t kNameLength = 24;
constexpr int32_t kSmallFont = 6;
constexpr int32_t kMenuRowHeight = 10;
constexpr int32_t kMenuEntriesPerColumn = 16;
constexpr CColor kInk{76, 76, 72, 255};
constexpr CColor kFieldColour{215, 214, 204, 255};
// The panel's orange, light enough over the field that the name stays readable on it.
constexpr CColor kSelectionColour{224, 106, 20, 110};

// The file buttons by tag and command kind, in creation order.
struct FileButton {
    int32_t tag;
    int32_t kind;
};
constexpr FileButton kBankButtons[] = {
    {CPresetSystemEditor::kLoadBankTag, 0},    {CPresetSystemEditor::kSaveBankTag, 1},
    {CPresetSystemEditor::kDefaultBankTag, 6}, {CPresetSystemEditor::kLoadPresetTag, 2},
    {CPresetSystemEditor::kSavePresetTag, 3},
};
constexpr FileButton kMidiButtons[] = {
    {CPresetSystemEditor::kLoadMidiTag, 4},
    {CPresetSystemEditor::kSaveMidiTag, 5},
};

// Where the layout puts the preset bar's control with `tag`, and its bitmap.
CRect barRect(int32_t tag) {
    const panel::Rect r = panel::rectOf(tag);
    return CRect(r.left, r.top, r.right, r.bottom);
}

CBitmap* bitmapOf(int32_t tag) {
    const panel::Control* row = panel::find(tag);
    return new CBitmap(row != nullptr ? row->bitmap : 0);
}

// The name of a program (at most 24 characters).
std::string programNameOf(Drell& drell, int32_t index) {
    CProgram* program = drell.getProgramAt(index);
    if (program == nullptr) return {};
    char name[kNameLength + 1] = {};
    program->getName(name);
    name[kNameLength] = '\0';
    return name;
}

// What a menu entry or the name field shows of a name: its printable ASCII characters.
std::string printableOnly(const std::string& text) {
    std::string clean;
    for (char c : text)
        if (c >= 32 && c <= 126) clean += c;
    return clean;
}

void styleText(CParamDisplay* display) {
    display->setFont(kSmallFont);
    display->setHoriAlign(kCenterText);
    display->setFontColor(kInk);
    display->setFrameColor(kInk);
}

} // namespace

CPresetSystemEditor::CPresetSystemEditor(Drell* effect) : AEffGUIEditor(effect), drell(effect) {
    if (drell == nullptr) return;
    commands = std::make_unique<PresetFileCommands>(*drell);
    drell->setPresetSystemEvents(this);
}

CPresetSystemEditor::~CPresetSystemEditor() {
    if (drell != nullptr) drell->setPresetSystemEvents(nullptr);
}

void CPresetSystemEditor::addControl(CControl* control) {
    controls.push_back(control);
    frame->addView(control);
}

bool CPresetSystemEditor::open(void* parentWindow) {
    (void)parentWindow;
    if (frame == nullptr || drell == nullptr) return false;
    CBitmap* panel = frame->getBackground();
    auto textField = [&](int32_t tag) {
        const CRect rect = barRect(tag);
        auto* field = new CTextEdit(rect, this, tag, nullptr, panel);
        field->setBackOffset({rect.left, rect.top});
        return field;
    };

    programName = textField(kProgramNameTag);
    styleText(programName);
    programName->setBackColor(kFieldColour);
    programName->setSelectionColor(kSelectionColour);
    programName->setMaxLength(kNameLength);
    addControl(programName);

    programMenu = new COptionMenu(barRect(kProgramMenuTag), this, kProgramMenuTag, nullptr,
                                  kNoTextStyle | kCheckStyle);
    styleText(programMenu);
    programMenu->setBackColor(kFieldColour);
    programMenu->setNbEntriesPerColumn(kMenuEntriesPerColumn);
    programMenu->setRowHeight(kMenuRowHeight);
    for (int32_t i = 0; i < kNumPrograms; ++i) programMenu->addEntry(programNameOf(*drell, i));
    addControl(programMenu);
    showBank();

    CBitmap* bitmap = bitmapOf(kProgramRockerTag);
    rocker = new CPSRockerSwitch(barRect(kProgramRockerTag), this, kProgramRockerTag,
                                 int32_t(barRect(kProgramRockerTag).height()), bitmap);
    bitmap->forget();
    addControl(rocker);
    hoverButtons.clear();

    auto addFileButton = [&](const FileButton& b) {
        CBitmap* art = bitmapOf(b.tag);
        const CRect rect = barRect(b.tag);
        auto* button =
            new CSaveLoadButton(rect, this, b.tag, int32_t(rect.height()), art, b.kind, this);
        art->forget();
        addControl(button);
        hoverButtons.push_back(button);
    };
    for (const FileButton& b : kBankButtons) addFileButton(b);

    const CRect controllerField = barRect(kControllerDisplayTag);
    controllerDisplay = new CParamDisplay(controllerField, panel);
    controllerDisplay->setTag(kControllerDisplayTag);
    controllerDisplay->setBackOffset({controllerField.left, controllerField.top});
    styleText(controllerDisplay);
    controllerDisplay->setStringConvert(
        [](float value) { return std::string(controllerNameForValue(value)); });
    controllerDisplay->setValue((kNoControllerNameIndex + 0.5f) / kControllerNameCount);
    addControl(controllerDisplay);

    hintLine = new HintLine(barRect(kHintLineTag), panel);
    hintLine->setTag(kHintLineTag);
    addControl(hintLine);

    auto toggle = [&](int32_t tag) {
        CBitmap* art = bitmapOf(tag);
        const CRect rect = barRect(tag);
        auto* button = new CPSOnOffButton(rect, this, tag, int32_t(rect.height()), art);
        art->forget();
        return button;
    };
    learnSwitch = toggle(kLearnTag);
    addControl(learnSwitch);

    for (const FileButton& b : kMidiButtons) addFileButton(b);

    bitmap = bitmapOf(kStoreMidiTag);
    const CRect storeRect = barRect(kStoreMidiTag);
    auto* store =
        new CPSKickButton(storeRect, this, kStoreMidiTag, int32_t(storeRect.height()), bitmap);
    bitmap->forget();
    addControl(store);

    clearSwitch = toggle(kClearTag);
    addControl(clearSwitch);
    hoverButtons.insert(hoverButtons.end(), {store, learnSwitch, clearSwitch});

    if (commands) commands->setProgramMenu(this);
    if (auto* myFrame = dynamic_cast<MyFrame*>(frame)) myFrame->setProgramStepping(this);
    // A window always opens with learn and clear mode off.
    drell->stopLearn();
    drell->stopClear();
    learnEnded = clearEnded = nameChanged = false;
    return true;
}

void CPresetSystemEditor::close() {
    if (commands) {
        commands->cancel();
        commands->setProgramMenu(nullptr);
    }
    programName = nullptr;
    programMenu = nullptr;
    rocker = nullptr;
    controllerDisplay = nullptr;
    hintLine = nullptr;
    learnSwitch = nullptr;
    clearSwitch = nullptr;
    controls.clear();
    hoverButtons.clear();
}

CControl* CPresetSystemEditor::getPresetBarControl(int32_t tag) const {
    for (CControl* control : controls)
        if (control->getTag() == tag) return control;
    return nullptr;
}

void CPresetSystemEditor::showBank() {
    if (drell == nullptr) return;
    int32_t current = drell->getCurrentProgramIndex();
    if (programMenu) {
        for (int32_t i = 0; i < kNumPrograms; ++i)
            programMenu->setEntry(i, programNameOf(*drell, i));
        programMenu->setCurrent(current);
    }
    if (programName && !programName->hasFocus())
        programName->setText(programNameOf(*drell, current));
}

void CPresetSystemEditor::valueChanged(CDrawContext*, CControl* control) {
    if (drell == nullptr || control == nullptr) return;
    float value = control->getValue();
    switch (control->getTag()) {
    case kAboutTag:
        aboutShown = value > control->getMin() ? 1 : 0;
        break;
    case kProgramNameTag:
        if (control == programName) renameFromField();
        break;
    case kProgramRockerTag:
        stepProgram(value);
        break;
    case kLearnTag:
        drell->stopClear();
        if (value == 0.0f)
            drell->stopLearn();
        else
            drell->startLearn();
        break;
    case kStoreMidiTag:
        if (value != 0.0f) drell->saveMidiMapToRegistry();
        break;
    case kClearTag:
        drell->stopLearn();
        if (value == 0.0f)
            drell->stopClear();
        else
            drell->startClear();
        break;
    case kProgramMenuTag:
        if (control == programMenu) chooseFromMenu();
        break;
    default:
        break;
    }
}

void CPresetSystemEditor::renameFromField() {
    const std::string& text = programName->getText();
    if (programMenu) programMenu->setEntry(drell->getCurrentProgramIndex(), text);
    drell->renameCurrentProgram(text.c_str());
}

void CPresetSystemEditor::stepProgram(float rockerValue) {
    // Only a pressed half steps; the hover values and the rest are no steps.
    if (rockerValue > -1.0f && rockerValue < 1.0f) return;
    stepPrograms(rockerValue > 0.0f ? 1 : -1);
}

void CPresetSystemEditor::stepPrograms(int32_t steps) {
    if (drell == nullptr) return;
    int32_t current = drell->getCurrentProgramIndex();
    int32_t next = std::clamp(current + steps, 0, kNumPrograms - 1);
    if (next == current) return; // at the first or last program the rocker stays put
    if (programMenu) programMenu->setCurrent(next);
    if (programName) programName->setText(programNameOf(*drell, next));
    drell->selectProgram(next);
}

void CPresetSystemEditor::chooseFromMenu() {
    int32_t index = programMenu->getLastResult();
    if (index < 0) index = programMenu->getCurrent();
    if (index < 0 || index >= kNumPrograms) return;
    std::string text = programMenu->getEntry(index);
    drell->selectProgram(index);
    // The entry names the program; a name with characters the menu cannot show keeps them.
    std::string name = programNameOf(*drell, index);
    if (printableOnly(name) != text) drell->renameCurrentProgram(text.c_str());
    if (programName) programName->setText(text);
}

void CPresetSystemEditor::onProgramNameChanged(std::int32_t, const char* name) {
    if (name == nullptr) return;
    size_t i = 0;
    for (; i < size_t(kNameLength) && name[i] != '\0'; ++i)
        newName[i].store(name[i], std::memory_order_relaxed);
    newName[i].store('\0', std::memory_order_relaxed);
    nameChanged.store(true, std::memory_order_release);
}

void CPresetSystemEditor::onLearnEnded() {
    learnEnded.store(true, std::memory_order_release);
}

void CPresetSystemEditor::onClearEnded() {
    clearEnded.store(true, std::memory_order_release);
}

void CPresetSystemEditor::applyNews() {
    if (nameChanged.exchange(false, std::memory_order_acquire)) {
        std::string name;
        for (size_t i = 0; i < size_t(kNameLength); ++i) {
            char c = newName[i].load(std::memory_order_relaxed);
            if (c == '\0') break;
            name += c;
        }
        if (programMenu) programMenu->setEntry(programMenu->getCurrent(), name);
        if (programName) programName->setText(name);
    }
    // The switch follows the mode: a mode switched on again since the news stays shown.
    if (learnEnded.exchange(false, std::memory_order_acquire) && learnSwitch &&
        !drell->isLearning())
        learnSwitch->setValue(presetbar::kRestValue);
    if (clearEnded.exchange(false, std::memory_order_acquire) && clearSwitch &&
        !drell->isClearing())
        clearSwitch->setValue(presetbar::kRestValue);
}

void CPresetSystemEditor::idle() {
    if (drell == nullptr) return;
    if (commands && commands->busy()) {
        commands->idle();
        // A finished command may have loaded a bank or a preset.
        if (!commands->busy()) showBank();
    }
    applyNews();
    // A program selected elsewhere (a loaded preset, the host's program list) shows too.
    if (programMenu && !programMenu->isOpen() &&
        programMenu->getCurrent() != drell->getCurrentProgramIndex())
        showBank();
    if (frame == nullptr || controllerDisplay == nullptr) return;
    CPoint where;
    frame->getCurrentMouseLocation(where);
    showControllerOfPointedControl(where);
    showHoverFrames(where);
    showHint(where);
}

void CPresetSystemEditor::showHint(const CPoint& where) {
    if (hintLine == nullptr || aboutShown) return; // the about picture covers the bar
    if (drell->isLearning()) {
        const VstInt32 target = drell->getLearnTarget();
        char name[64] = {};
        if (target >= 0 && target < kNumParams) drell->getParameterName(target, name);
        hintLine->setText(hints::learnText(name));
        return;
    }
    if (drell->isClearing()) {
        hintLine->setText(hints::kClear);
        return;
    }
    auto* control = where.x >= 0 ? dynamic_cast<CControl*>(frame->getViewAt(where)) : nullptr;
    hintLine->setText(control != nullptr ? hints::forControl(control->getTag())
                                         : std::string_view());
}

void CPresetSystemEditor::showControllerOfPointedControl(const CPoint& where) {
    CView* view = where.x >= 0 ? frame->getViewAt(where) : nullptr;
    int index = kNoControllerNameIndex;
    if (view != nullptr) {
        if (aboutShown) return; // the about picture covers the panel: keep what was shown
        auto* control = dynamic_cast<CControl*>(view);
        int32_t tag = control ? control->getTag() : -1;
        if (tag >= 0 && tag < kNumParams) {
            VstInt32 controller = drell->getControllerOfParameter(tag);
            index = controller >= 0 && controller < 128 ? int(controller) : kNotAssignedNameIndex;
        }
    }
    controllerDisplay->setValue((float(index) + 0.5f) / float(kControllerNameCount));
}

void CPresetSystemEditor::showHoverFrames(const CPoint& where) {
    for (CControl* button : hoverButtons) {
        bool inside = button->getViewSize().pointInside(where);
        float value = button->getValue();
        if (inside && value == presetbar::kRestValue)
            button->setValue(presetbar::kHoverValue);
        else if (!inside && value == presetbar::kHoverValue)
            button->setValue(presetbar::kRestValue);
    }
    if (rocker && !rocker->isPressed()) {
        float hover = rocker->valueAt(where) * 0.5f; // -0.5 left half, +0.5 right, 0 outside
        if (rocker->getValue() != hover) rocker->setValue(hover);
    }
}

void CPresetSystemEditor::loadDefaultBank() {
    if (commands) commands->loadDefaultBank();
}

void CPresetSystemEditor::loadBank(std::uint64_t ownerWindow) {
    if (commands) commands->loadBank(ownerWindow);
}

void CPresetSystemEditor::saveBank(std::uint64_t ownerWindow) {
    if (commands) commands->saveBank(ownerWindow);
}

void CPresetSystemEditor::selectDefaultBank(std::uint64_t ownerWindow) {
    if (commands) commands->selectDefaultBank(ownerWindow);
}

void CPresetSystemEditor::loadPreset(std::uint64_t ownerWindow) {
    if (commands) commands->loadPreset(ownerWindow);
}

void CPresetSystemEditor::savePreset(std::uint64_t ownerWindow) {
    if (commands) commands->savePreset(ownerWindow);
}

void CPresetSystemEditor::loadMidiSettings(std::uint64_t ownerWindow) {
    if (commands) commands->loadMidiSettings(ownerWindow);
}

void CPresetSystemEditor::saveMidiSettings(std::uint64_t ownerWindow) {
    if (commands) commands->saveMidiSettings(ownerWindow);
}

void CPresetSystemEditor::clearDefaultBank(std::uint64_t ownerWindow) {
    if (commands) commands->clearDefaultBank(ownerWindow);
}

void CPresetSystemEditor::setProgramMenuEntry(std::int32_t index, const char* name) {
    if (programMenu && name) programMenu->setEntry(index, name);
}
