// SPDX-License-Identifier: GPL-3.0-or-later
#include "lv2/TesselLv2Ui.h"

#include "editor/AEffGUIEditor.h"
#include "engine/Drell.h"
#include "lv2/PortLayout.h"

#include <cstdint>
#include <cstring>
#include <lv2/instance-access/instance-access.h>

namespace {

const void* featureData(const LV2_Feature* const* features, const char* uri) {
    if (features == nullptr) return nullptr;
    for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

} // namespace

std::unique_ptr<TesselLv2Ui> TesselLv2Ui::create(LV2UI_Write_Function write,
                                                 LV2UI_Controller controller, LV2UI_Widget* widget,
                                                 const LV2_Feature* const* features) {
    auto* instance =
        static_cast<TesselLv2*>(const_cast<void*>(featureData(features, LV2_INSTANCE_ACCESS_URI)));
    // The window id travels in the pointer.
    const void* parent = featureData(features, LV2_UI__parent);
    if (instance == nullptr || parent == nullptr || write == nullptr || widget == nullptr)
        return nullptr;
    if (!instance->madeHere() || !instance->attachUi()) return nullptr;
    const auto* touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
    if (touch != nullptr && touch->touch == nullptr) touch = nullptr;

    std::unique_ptr<TesselLv2Ui> ui;
    try {
        ui.reset(new TesselLv2Ui(*instance, write, controller, touch));
    } catch (...) {
        instance->detachUi();
        return nullptr;
    }
    AEffect* record = ui->record;
    auto* editor = static_cast<AEffGUIEditor*>(instance->effect().getEditor());
    if (editor == nullptr ||
        record->dispatcher(record, effEditOpen, 0, 0, const_cast<void*>(parent), 0.0f) == 0 ||
        editor->getFrame() == nullptr || editor->getFrame()->getSystemWindow() == nullptr)
        return nullptr; // the destructor closes what opened and lets the instance go
    *widget = editor->getFrame()->getSystemWindow();
    ui->open = true;

    // A host that sizes its window to the UI's learns the size here; the size is fixed.
    if (const auto* resize =
            static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
        resize != nullptr && resize->ui_resize != nullptr)
        resize->ui_resize(resize->handle, editor->getWidth() * editor->getScale(),
                          editor->getHeight() * editor->getScale());
    return ui;
}

TesselLv2Ui::TesselLv2Ui(TesselLv2& instance, LV2UI_Write_Function write,
                         LV2UI_Controller controller, const LV2UI_Touch* touch)
    : instance(instance), record(instance.effect().getAeffect()), write(write),
      controller(controller), touch(touch) {}

TesselLv2Ui::~TesselLv2Ui() {
    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    if (open) {
        // What the last moments changed still reaches the host, and no gesture stays open.
        instance.takeEdits(*this);
        for (int p = 0; p < kNumParams; ++p)
            if (touched[p]) setTouch(p, false);
    }
    instance.detachUi();
}

int TesselLv2Ui::idle() {
    record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);
    instance.takeEdits(*this);
    const auto* editor = static_cast<const AEffGUIEditor*>(instance.effect().getEditor());
    return editor->getFrame() != nullptr && editor->getFrame()->hasWindow() ? 0 : 1;
}

void TesselLv2Ui::beginEdit(int param) {
    if (!touched[param]) setTouch(param, true);
}

void TesselLv2Ui::automate(int param, float value) {
    writePort(param, value);
}

void TesselLv2Ui::endEdit(int param) {
    if (touched[param]) setTouch(param, false);
}

void TesselLv2Ui::allChanged() {
    for (int p = 0; p < kNumParams; ++p) writePort(p, record->getParameter(record, p));
}

void TesselLv2Ui::writePort(int param, float value) {
    // The value a port of its kind holds: its units, 0 or 1 for a switch, the index of a
    // choice; a delay time in ms of the line's present range.
    const float port = lv2ports::portValueOf(param, [this, param, value](int i) {
        return i == param ? value : record->getParameter(record, i);
    });
    write(controller, static_cast<std::uint32_t>(param), sizeof port, 0, &port);
}

void TesselLv2Ui::setTouch(int param, bool grabbed) {
    touched[param] = grabbed;
    if (touch != nullptr) touch->touch(touch->handle, static_cast<std::uint32_t>(param), grabbed);
}
