// Construction, resume, suspend and destruction: buffer sizes that follow the sample rate,
// what resume keeps and clears, values from the host that cannot be used, and the editor
// that the effect owns.
#include "engine/DrellEditorEvents.h"
#include "presets/PresetFileCommands.h"
#include "presets/PresetSystemEvents.h"
#include "support/EffectHost.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Sizes {
    float rate;
    int dlyLen, rvbMask, avgLen;
};

class Lifecycle : public ::testing::Test {
protected:
    EffectHost host;
};

} // namespace

TEST_F(Lifecycle, BuffersFollowTheSampleRate) {
    auto drell = host.make();
    EXPECT_EQ(drell->engineRate(), 44100.0f);
    EXPECT_EQ(drell->delayLength(), 220501);
    EXPECT_EQ(drell->averageLength(), 4);
    EXPECT_EQ(drell->meterLength(), 1024);
    // The last rows are rates the engine cannot run (NaN included): they count as 44100 Hz.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Sizes table[] = {{96000.0f, 480001, 65535, 8},     {192000.0f, 960001, 131071, 16},
                           {22050.0f, 110251, 32767, 2},     {48000.0f, 240001, 32767, 4},
                           {200000.0f, 1000001, 131071, 16}, {0.0f, 220501, 32767, 4},
                           {4095.0f, 220501, 32767, 4},      {200001.0f, 220501, 32767, 4},
                           {-48000.0f, 220501, 32767, 4},    {nan, 220501, 32767, 4}};
    for (const Sizes& s : table) {
        resumeAt(*drell, 96000.0f);
        resumeAt(*drell, s.rate);
        EXPECT_EQ(drell->engineRate(), s.dlyLen == 220501 ? 44100.0f : s.rate) << s.rate;
        EXPECT_EQ(drell->delayLength(), s.dlyLen) << "delay memory at " << s.rate << " Hz";
        EXPECT_EQ(drell->averageLength(), s.avgLen) << "drive length at " << s.rate << " Hz";
        EXPECT_EQ(drell->reverbMask(), s.rvbMask) << "reverb memory at " << s.rate << " Hz";
    }
}

TEST_F(Lifecycle, ResumeAtTheSameRateKeepsTheMemoryButEmptiesIt) {
    auto drell = host.make();
    resumeAt(*drell, 44100.0f);
    const float* before = drell->delayMemory(0);
    std::vector<float> in(4096, 0.5f), out(4096), outR(4096);
    run(*drell, in.data(), in.data(), 4096, out.data(), outR.data());
    resumeAt(*drell, 44100.0f);
    EXPECT_EQ(drell->delayMemory(0), before) << "an unchanged rate must not reallocate";
    for (int s = 0; s < 2; ++s) {
        const float* memory = drell->delayMemory(s);
        for (int i = 0; i < drell->delayLength(); ++i)
            ASSERT_EQ(memory[i], 0.0f) << "side " << s << " sample " << i << " not cleared";
    }
}

TEST_F(Lifecycle, OutputLatencySizesTheMeter) {
    host.outputLatency = 256;
    auto drell = host.make();
    EXPECT_EQ(drell->meterLength(), 1024) << "construction uses 1024";
    resumeAt(*drell, 44100.0f);
    EXPECT_EQ(drell->meterLength(), 256);
    for (VstIntPtr bad : {VstIntPtr{0}, VstIntPtr{-5}, VstIntPtr{44101}, VstIntPtr{1} << 40}) {
        host.outputLatency = bad;
        resumeAt(*drell, 44100.0f);
        EXPECT_EQ(drell->meterLength(), 1024) << "latency " << bad;
    }
}

TEST_F(Lifecycle, MeterShowsPeaksDelayedByTheLatency) {
    host.outputLatency = 64;
    auto drell = host.make();
    resumeAt(*drell, 44100.0f);
    std::vector<float> in(64, 0.0f), out(64), outR(64);
    in[10] = -0.8f;
    run(*drell, in.data(), in.data(), 64, out.data(), outR.data());
    float l = -1.0f, r = -1.0f;
    drell->readInputPeaks(&l, &r);
    EXPECT_EQ(l, 0.0f) << "the peak must wait for the output latency";
    std::vector<float> silence(64, 0.0f);
    run(*drell, silence.data(), silence.data(), 64, out.data(), outR.data());
    drell->readInputPeaks(&l, &r);
    EXPECT_FLOAT_EQ(l, 0.8f);
    EXPECT_FLOAT_EQ(r, 0.8f);
    drell->readInputPeaks(&l, &r);
    EXPECT_EQ(l, 0.0f) << "reading clears the peaks";
    drell->readInputPeaks(nullptr, nullptr);
}

TEST_F(Lifecycle, FirstSampleAfterSuspendUsesTheTargets) {
    auto drell = host.make();
    resumeAt(*drell, 44100.0f);
    drell->setParameter(kMainMix, 0.0f);
    drell->setParameter(kMainOut, 1.0f); // gain 4
    drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    float in = 0.25f, inR = 0.25f, out = 0.0f, outR = 0.0f;
    run(*drell, &in, &inR, 1, &out, &outR);
    EXPECT_NEAR(out, 1.0f, 1e-6f) << "the output gain must not glide after suspend";
}

namespace {

// An editor that does on its way out what an editor does: reads the bank, the engine and
// the settings. It records whether they were still whole.
class ClosingEditor final : public AEffEditor, public DrellEditorEvents, public PresetSystemEvents {
public:
    ClosingEditor(Drell& effect, bool& closedWhole)
        : AEffEditor(&effect), drell(effect), closedWhole(closedWhole) {
        drell.setEditorEvents(this);
        drell.setPresetSystemEvents(this);
    }
    ~ClosingEditor() override {
        const CProgram* program = drell.getProgramAt(0);
        closedWhole = program != nullptr && program->getParameter(kMainMix) == 0.3f &&
                      drell.getParameter(kMainMix) == 0.3f &&
                      !drell.settingsStore().keyExists("SOFTWARE\\Nobody");
    }
    bool getRect(ERect**) override { return false; }
    bool open(void*) override { return true; }
    void close() override {}
    void setParameter(std::int32_t, float) override { ++changes; }
    void onProgramSelect() override {}
    void onTempoChanged(float) override {}
    void onProgramNameChanged(std::int32_t, const char*) override {}
    void onLearnEnded() override {}
    void onClearEnded() override {}

    int changes = 0;

private:
    Drell& drell;
    bool& closedWhole;
};

} // namespace

TEST_F(Lifecycle, EditorIsOwnedByTheEffectAndDestroyedFirst) {
    FakeServices fakes;
    bool closedWhole = false;
    auto drell = host.make(fakes.services());
    EXPECT_EQ(drell->getAeffect()->flags & effFlagsHasEditor, 0) << "no editor, none announced";
    auto editor = std::make_unique<ClosingEditor>(*drell, closedWhole);
    ClosingEditor& seen = *editor;
    drell->adoptEditor(std::move(editor));
    EXPECT_EQ(drell->getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(drell->dispatcher(effEditOpen, 0, 0, nullptr, 0.0f), 1) << "the host reaches it";
    drell->setParameter(kMainMix, 0.3f);
    EXPECT_EQ(seen.changes, 1) << "the editor hears parameter changes";
    drell.reset();
    EXPECT_TRUE(closedWhole) << "the editor outlived the bank, engine or settings";
}
