// The effect: a stereo delay with two lines, modulation, filter, drive and reverb.
#pragma once

#include "engine/Parameters.h"
#include "engine/Relaxed.h"
#include "presets/CPresetSystemEffect.h"

#include <memory>
#include <mutex>

class DrellEditorEvents;
class PresetFileCommands;

class Drell : public CPresetSystemEffect {
public:
    // Services left null are created by the effect (settings file, dialogs, message boxes).
    explicit Drell(audioMasterCallback audioMaster, const PlatformServices& services = {});
    ~Drell() override;

    void suspend() override;
    void resume() override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    void selectProgram(VstInt32 index) override;

    virtual bool isHostAdapter() { return hostIsAdapter; }

    // The open editor's side of the effect, or null.
    void setEditorEvents(DrellEditorEvents* events) { editorEvents = events; }

    // The preset bar's file commands; created with the effect, which loads the default bank.
    PresetFileCommands& fileCommands() { return *presetFileCommands; }

    static constexpr const char* kEffectName = "Tessel";
    static constexpr const char* kVendor = "Tessel developers";
    static constexpr const char* kProduct = "Tessel stereo delay";

private:
    // Held by the constructor, resume, suspend, each audio block and the reverb type change.
    std::recursive_mutex engineLock;
    bool hostIsAdapter = false;
    DrellEditorEvents* editorEvents = nullptr;
    std::unique_ptr<PresetFileCommands> presetFileCommands;

    // The last value each sound parameter received, as getParameter returns it.
    Relaxed<float> params[kNumParams];
};
