// SPDX-License-Identifier: GPL-3.0-or-later
// Construction, resume, suspend and destruction: buffer sizes that follow the sample rate,
// what resume keeps and clears, values from the host that cannot be used, and the editor
// that the effect owns.
#include "engine/DrellEditorEvents.h"
#include "presets/PresetFileCommands.h"
#include "presets/PresetSystemEvents.h"
#include "support/EffectHost.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <utility>
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
                           {352800.0f, 1764001, 262143, 16}, {384000.0f, 1920001, 262143, 16},
                           {4095.0f, 220501, 32767, 4},      {384001.0f, 220501, 32767, 4},
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

// A host that runs at a rate outside 4096 Hz..384 kHz gets the 44.1 kHz timing, and one line
// on standard error that says so, once per instance.
TEST_F(Lifecycle, AnUnsupportedRateIsReportedOnce) {
    auto drell = host.make();
    ::testing::internal::CaptureStderr();
    resumeAt(*drell, 48000.0f);
    resumeAt(*drell, 500000.0f);
    resumeAt(*drell, 500000.0f);
    resumeAt(*drell, 2000.0f);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(drell->engineRate(), 44100.0f);
    EXPECT_EQ(said, "Tessel: a sample rate of 500000 Hz is not supported (4096 to 384000 Hz); "
                    "running at 44100 Hz\n");
}

namespace {

// Renders seconds of seeded stereo noise (silence where quiet) in blocks of varying size.
std::vector<float> render(Drell& drell, float rate, float seconds, unsigned seed, bool quiet,
                          const std::function<void(Drell&, int)>& atBlock = {}) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-0.9f, 0.9f);
    std::vector<float> all, inL, inR, outL, outR;
    const int total = static_cast<int>(rate * seconds);
    for (int done = 0, block = 0; done < total; ++block) {
        const int frames = std::min(total - done, 64 + static_cast<int>(rng() % 700));
        for (auto* v : {&inL, &inR, &outL, &outR})
            v->assign(static_cast<std::size_t>(frames), 0.0f);
        if (!quiet)
            for (int i = 0; i < frames; ++i) {
                inL[i] = noise(rng);
                inR[i] = noise(rng);
            }
        if (atBlock) atBlock(drell, block);
        run(drell, inL.data(), inR.data(), frames, outL.data(), outR.data());
        all.insert(all.end(), outL.begin(), outL.end());
        all.insert(all.end(), outR.begin(), outR.end());
        done += frames;
    }
    return all;
}

} // namespace

TEST_F(Lifecycle, ResumeAfterLoudMaterialSoundsLikeAFreshInstance) {
    // The memories are cleared lazily, so every read of what was there before the resume
    // must give zero: long delays read the oldest positions at once, a delay-time change
    // jumps into positions not written since, the clock reads ahead several at a time,
    // and the reverb taps reach back into their memories.
    using Settings = std::vector<std::pair<VstInt32, float>>;
    struct Case {
        const char* name;
        float rate;
        Settings settings;
    };
    const Case cases[] = {
        {"plain, 5 s", 44100.0f, {{kVcoOn, 0.0f}, {kDlyLTime, 1.0f}, {kDlyRTime, 0.7f}}},
        {"clocked fast, plate",
         44100.0f,
         {{kVcoManual, 1.0f},
          {kDlyLTime, 0.9f},
          {kRvbOn, 1.0f},
          {kRvbType, 1.0f},
          {kRvbAmt, 0.7f}}},
        {"plain, spring, 192 kHz",
         192000.0f,
         {{kVcoOn, 0.0f}, {kDlyLTime, 0.3f}, {kRvbOn, 1.0f}, {kRvbAmt, 1.0f}}},
        {"clocked slow, plate, 96 kHz",
         96000.0f,
         {{kVcoManual, 0.0f}, {kDlyRTime, 0.95f}, {kRvbOn, 1.0f}, {kRvbType, 1.0f}}},
    };
    // After the resume: a delay-time change half a second in, and a reverb type change.
    auto afterResume = [](Drell& d, int block) {
        if (block == 40) d.setParameter(kDlyLTime, 0.97f);
        if (block == 60) d.setParameter(kRvbType, d.getParameter(kRvbType) > 0.5f ? 0.0f : 1.0f);
    };
    for (const Case& c : cases) {
        auto used = host.make();
        auto fresh = host.make();
        for (Drell* d : {used.get(), fresh.get()}) {
            for (const auto& [index, value] : c.settings) d->setParameter(index, value);
            d->setParameter(kDlyLFb, 0.8f);
            d->setParameter(kMainMix, 0.8f);
            d->setParameter(kRvbMode, 1.0f); // the reverb hears the input at once
        }
        resumeAt(*used, c.rate);
        render(*used, c.rate, 5.5f, 1, false);
        const float* memory = used->delayMemory(0);
        // A type change restarts the reverb's write index, and the one after the resume plays
        // what the memories hold at the new taps: both instances start from the same index.
        used->setParameter(kRvbType, used->getParameter(kRvbType));
        used->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
        used->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        EXPECT_EQ(used->delayMemory(0), memory)
            << c.name << ": an unchanged rate must not reallocate";
        resumeAt(*fresh, c.rate);
        const float seconds = c.rate > 100000.0f ? 2.0f : 6.0f;
        const auto got = render(*used, c.rate, seconds, 2, false, afterResume);
        const auto want = render(*fresh, c.rate, seconds, 2, false, afterResume);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], want[i]) << c.name << ": output value " << i << " differs";
    }
}

TEST_F(Lifecycle, ReverbClearedWhileOffStaysClearedWhenSwitchedOn) {
    // Sound in the reverb, a resume with the reverb off, then silence: switched on later,
    // with either type, the reverb must not bring the old sound back.
    for (float type : {0.0f, 1.0f}) {
        auto drell = host.make();
        drell->setParameter(kRvbOn, 1.0f);
        drell->setParameter(kRvbType, 1.0f - type);
        drell->setParameter(kRvbAmt, 1.0f);
        drell->setParameter(kRvbDamp, 0.0f);
        drell->setParameter(kRvbMode, 1.0f); // the reverb hears the input at once
        resumeAt(*drell, 44100.0f);
        render(*drell, 44100.0f, 1.0f, 3, false);
        drell->setParameter(kRvbOn, 0.0f);
        drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
        drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        render(*drell, 44100.0f, 0.2f, 4, true);
        drell->setParameter(kRvbType, type);
        drell->setParameter(kRvbOn, 1.0f);
        float loudest = 0.0f;
        for (float v : render(*drell, 44100.0f, 2.0f, 5, true))
            loudest = std::max(loudest, std::fabs(v));
        EXPECT_LT(loudest, 1e-6f) << "type " << type << ": old sound came back";
    }
}

TEST_F(Lifecycle, MeterShowsPeaksDelayedByTheOutputLatency) {
    host.outputLatency = 64;
    auto drell = host.make();
    EXPECT_EQ(drell->meterLength(), 1024) << "construction uses 1024";
    resumeAt(*drell, 44100.0f);
    EXPECT_EQ(drell->meterLength(), 64);
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
    for (VstIntPtr bad : {VstIntPtr{0}, VstIntPtr{-5}, VstIntPtr{44101}, VstIntPtr{1} << 40}) {
        host.outputLatency = bad;
        resumeAt(*drell, 44100.0f);
        EXPECT_EQ(drell->meterLength(), 1024) << "latency " << bad;
    }
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
    int parent = 0;
    EXPECT_EQ(drell->dispatcher(effEditOpen, 0, 0, &parent, 0.0f), 1) << "the host reaches it";
    drell->setParameter(kMainMix, 0.3f);
    EXPECT_EQ(seen.changes, 1) << "the editor hears parameter changes";
    drell.reset();
    EXPECT_TRUE(closedWhole) << "the editor outlived the bank, engine or settings";
}
