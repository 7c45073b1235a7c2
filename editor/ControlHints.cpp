// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ControlHints.h"

#include "editor/CPresetSystemEditor.h"
#include "editor/Editor.h"
#include "engine/Parameters.h"

namespace hints {

namespace {

struct Hint {
    int32_t tag;
    std::string_view text;
};

constexpr std::string_view kTempo = "Tempo: drag or wheel to set Tessel's own";
constexpr std::string_view kLeftTime = "Left delay time: drag or wheel";
constexpr std::string_view kRightTime = "Right delay time: drag or wheel";

constexpr Hint kHints[] = {
    {kMainIn, "Input gain"},
    {kMainOut, "Output level"},
    {kMainMix, "Mix of dry and delayed sound"},
    {kDlyLFb, "Left delay: feedback"},
    {kDlyRFb, "Right delay: feedback"},
    {kDlyLFbPan, "Left delay: where its feedback goes"},
    {kDlyRFbPan, "Right delay: where its feedback goes"},
    {kDlyLFbInv, "Left delay: invert the feedback"},
    {kDlyRFbInv, "Right delay: invert the feedback"},
    {kModLfoWave, "LFO wave"},
    {kModLfoRate, "LFO rate: drag or wheel"},
    {kModLfoOffset, "LFO phase offset between left and right"},
    {kModSource, "Modulation source: LFO or envelope"},
    {kFltMod, "How far the modulation sweeps the filter"},
    {kFltType, "Filter type: low, band or high pass"},
    {kFltCutoff, "Filter cutoff"},
    {kFltRes, "Filter resonance"},
    {kVcoManual, "Delay clock speed, from 1/2x to 2x"},
    {kVcoMod, "How far the modulation bends the delay clock"},
    {kDlyLDlyInv, "Left delay: invert its output"},
    {kDlyRDlyInv, "Right delay: invert its output"},
    {kDrvGain, "Drive amount"},
    {kModEnvSpeed, "Envelope follower speed"},
    {kFltMode, "Filter place: input, feedback or effect"},
    {kDlyLMode, "Left delay: milliseconds or note value"},
    {kDlyRMode, "Right delay: milliseconds or note value"},
    {kDlyLRange, "Left delay: time range"},
    {kDlyRRange, "Right delay: time range"},
    {kModLfoMode, "LFO rate in hertz or as a note value"},
    {kDlyLTime, kLeftTime},
    {kDlyRTime, kRightTime},
    {kRvbMode, "Reverb on the effect or the whole output"},
    {kRvbType, "Reverb: spring or plate"},
    {kRvbDamp, "Reverb damping of the highs"},
    {kRvbAmt, "Reverb amount"},
    {kMainBypass, "Bypass: pass the input through unchanged"},
    {kFltOn, "Filter on or off"},
    {kDrvOn, "Drive on or off"},
    {kModOn, "Modulation on or off"},
    {kVcoOn, "Delay clock modulation on or off"},
    {kRvbOn, "Reverb on or off"},
    {kModSens, "Envelope follower sensitivity"},
    {Editor::kTempoTag, kTempo},
    {Editor::kLinkTag, "Link: the right delay follows the left"},
    {Editor::kActiveLampTag, "Lit while Tessel is not bypassed"},
    {Editor::kFirstStepTag, "Left time down; note mode: numerator"},
    {Editor::kFirstStepTag + 1, "Left time up; note mode: denominator"},
    {Editor::kFirstStepTag + 2, "Right time down; note mode: numerator"},
    {Editor::kFirstStepTag + 3, "Right time up; note mode: denominator"},
    {Editor::kFirstStepTag + 4, "LFO rate down; note mode: numerator"},
    {Editor::kFirstStepTag + 5, "LFO rate up; note mode: denominator"},
    {Editor::kLevelLeftTag, "Left input level"},
    {Editor::kLevelRightTag, "Right input level"},
    {Editor::kAboutTag, "About Tessel, with a short help"},
    {CPresetSystemEditor::kProgramNameTag, "Program name: click to rename"},
    {CPresetSystemEditor::kProgramRockerTag, "Previous or next program"},
    {CPresetSystemEditor::kLoadBankTag, "Load a bank file"},
    {CPresetSystemEditor::kSaveBankTag, "Save all programs as a bank file"},
    {CPresetSystemEditor::kLoadPresetTag, "Load a preset file into this program"},
    {CPresetSystemEditor::kSavePresetTag, "Save this program as a preset file"},
    {CPresetSystemEditor::kControllerDisplayTag, "The controller of the pointed control"},
    {CPresetSystemEditor::kLearnTag, kLearnStart},
    {CPresetSystemEditor::kLoadMidiTag, "Load a MIDI map file"},
    {CPresetSystemEditor::kSaveMidiTag, "Save the MIDI map as a file"},
    {CPresetSystemEditor::kStoreMidiTag, "Store the MIDI map for new instances"},
    {CPresetSystemEditor::kClearTag, "Clear: click a control to free it from MIDI"},
    {CPresetSystemEditor::kProgramMenuTag, "Choose a program from the list"},
    {CPresetSystemEditor::kDefaultBankTag, "Default bank for new instances (Ctrl: forget)"},
};

} // namespace

std::string_view forControl(int32_t tag) {
    // The digits, points and marks of the display lie under the tempo area.
    if (tag >= Editor::kFirstDigitTag && tag < Editor::kFirstStepTag) return kTempo;
    for (const Hint& hint : kHints)
        if (hint.tag == tag) return hint.text;
    return {};
}

std::string learnText(std::string_view targetName) {
    if (targetName.empty()) return std::string(kLearnStart);
    std::string text(kLearnTarget);
    text += targetName;
    return text;
}

} // namespace hints
