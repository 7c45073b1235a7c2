// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the editor's idle pass on the real panel without a window: with nothing
// changed, and with the numeric display and both level bars changing every pass (a knob
// under the pointer being automated while loud and quiet blocks alternate), at scale 1
// and 2.
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "toolkit/CFrame.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterGetOutputLatency) return 1;
    return 0;
}

struct OpenEditor {
    explicit OpenEditor(int scale) {
        drell = std::make_unique<Drell>(&quietHost);
        auto owned = std::make_unique<Editor>(drell.get());
        editor = owned.get();
        drell->adoptEditor(std::move(owned));
        drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        editor->setScale(scale);
        editor->open(nullptr);
        editor->idle();
    }
    std::unique_ptr<Drell> drell;
    Editor* editor = nullptr;
};

void BM_EditorIdleUnchanged(benchmark::State& state) {
    OpenEditor e(int(state.range(0)));
    for (auto _ : state) e.editor->idle();
}
BENCHMARK(BM_EditorIdleUnchanged)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_EditorIdleDisplayAndMeters(benchmark::State& state) {
    OpenEditor e(int(state.range(0)));
    VSTGUI::CFrame* frame = e.editor->getFrame();
    frame->mouseMoved({690, 47}, 0); // over "Main In"
    std::vector<float> loud(64, 0.9f), quiet(64, 0.05f), out(64);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        e.drell->setParameter(kMainIn, (n % 2) ? 0.3f : 0.6f);
        std::vector<float>& in = (n % 2) ? loud : quiet;
        float* ins[2] = {in.data(), in.data()};
        float* outs[2] = {out.data(), out.data()};
        e.drell->processReplacing(ins, outs, 64);
        ++n;
        state.ResumeTiming();
        e.editor->idle();
    }
}
BENCHMARK(BM_EditorIdleDisplayAndMeters)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
