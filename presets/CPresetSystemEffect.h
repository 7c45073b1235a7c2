// SPDX-License-Identifier: GPL-3.0-or-later
// The framework layer between the interface's effect base and the effect: the bank of 61
// programs that the preset bar browses, the MIDI controller map, and the host's program
// and parameter calls that are not the sound engine's own.
#pragma once

#include "engine/Relaxed.h"
#include "host/AudioEffectX.h"
#include "presets/CProgram.h"
#include "presets/ControllerMap.h"
#include "presets/PlatformServices.h"

#include <atomic>
#include <memory>

constexpr VstInt32 kNumPrograms = 61;

class PresetSystemEvents;

class CPresetSystemEffect : public AudioEffectX {
public:
    // Services left null in the given set are created and owned by the effect.
    explicit CPresetSystemEffect(audioMasterCallback audioMaster,
                                 const PlatformServices& services = {});
    ~CPresetSystemEffect() override;

    void resume() override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    VstInt32 getProgram() override { return 0; }
    void setProgram(VstInt32) override {} // the host always sees program 0
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 processEvents(VstEvents* events) override;
    VstInt32 canDo(char* text) override;

    virtual VstInt32 getCurrentProgramIndex();
    virtual void selectProgram(VstInt32 index);
    virtual void renameCurrentProgram(const char* name);
    virtual void assignController(VstInt32 param, VstInt32 controller);
    virtual void unassignParameter(VstInt32 param);
    virtual void unassignController(VstInt32 controller);
    virtual VstInt32 getControllerOfParameter(VstInt32 param);
    virtual VstInt32 getParameterOfController(VstInt32 controller);
    virtual void startLearn();
    virtual void stopLearn();
    virtual void setLearnTarget(VstInt32 param);
    virtual void startClear();
    virtual void stopClear();
    virtual void loadMidiMapFromRegistry();
    virtual void saveMidiMapToRegistry();
    virtual void setParameterAndNotify(VstInt32 index, float value);
    virtual void initFactoryPrograms();
    virtual void resetMidiMap();

    // The bank's program at index 0..60, or null.
    CProgram* getProgramAt(VstInt32 index);
    bool isLearning() const { return learnMode; }
    bool isClearing() const { return clearMode; }
    VstInt32 getLearnTarget() const { return learnTarget; }

    // The editor's preset-bar side, or null; it must stay valid until it is replaced or the
    // effect is destroyed (PresetSystemEvents.h says which thread calls what).
    void setPresetSystemEvents(PresetSystemEvents* events) {
        presetEvents.store(events, std::memory_order_release);
    }

    SettingsStore& settingsStore() { return *services.settings; }
    MessageBoxes& messageBoxes() { return *services.messages; }
    FileDialogs& fileDialogs() { return *services.fileDialogs; }

protected:
    // Binds controller to param so that the map stays one-to-one: the parameter's former
    // controller and the controller's former parameter are released first.
    void bindController(VstInt32 param, VstInt32 controller);
    PresetSystemEvents* presetListener() const noexcept {
        return presetEvents.load(std::memory_order_acquire);
    }

    std::unique_ptr<CProgram[]> programs;
    Relaxed<VstInt32> currentProgram{0};
    std::unique_ptr<Relaxed<VstInt32>[]> paramToController;
    std::unique_ptr<Relaxed<VstInt32>[]> controllerToParam;
    Relaxed<bool> learnMode{false};
    Relaxed<VstInt32> learnTarget{kNotAssigned};
    Relaxed<bool> clearMode{false};
    Relaxed<bool> loadingProgram{false};

private:
    std::atomic<PresetSystemEvents*> presetEvents{nullptr};

    // The services in use; those the caller did not give are owned below.
    PlatformServices services;
    std::unique_ptr<SettingsStore> ownedSettings;
    std::unique_ptr<MessageBoxes> ownedMessages;
    std::unique_ptr<FileDialogs> ownedFileDialogs;
};
