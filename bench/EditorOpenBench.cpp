// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's window as a host opens it: the time effEditOpen takes (the median of 20
// opens is the figure to read), and the memory the open editor holds, at scale 1 and 2.
// "Windowed" opens into a parent window on the X server that TESSEL_TEST_DISPLAY or DISPLAY
// names (skipped without one); "Headless" builds the same panel into its framebuffer only.
// The counter heapMiB is the heap the open editor holds (allocated by the open, freed by the
// close): framebuffer, decoded art, controls and the window's client side.
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/ReadOnlySettingsStore.h"

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <thread>

namespace {

VstIntPtr benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

double heapMiB() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// The effect with its editor as the plug-in makes them; settings read, never written.
struct EditorRig {
    ReadOnlySettingsStore settings;
    ProcessMessageBoxes messages{std::string()};
    ProcessFileDialogs dialogs{std::string()};
    std::unique_ptr<Drell> drell =
        std::make_unique<Drell>(&benchHost, PlatformServices{&settings, &messages, &dialogs});
    Editor* editor = nullptr;

    explicit EditorRig(int scale) {
        auto owned = std::make_unique<Editor>(drell.get());
        editor = owned.get();
        drell->adoptEditor(std::move(owned));
        editor->setScale(scale);
    }
};

void pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class ParentWindow {
public:
    ParentWindow() {
        const char* name = std::getenv("TESSEL_TEST_DISPLAY");
        if (name == nullptr || *name == 0) name = std::getenv("DISPLAY");
        if (name == nullptr || *name == 0) return;
        // A server under load may refuse a connection made right after another one closed.
        for (int attempt = 0; attempt < 10 && display == nullptr; ++attempt) {
            display = XOpenDisplay(name);
            if (display == nullptr) pause();
        }
        if (display == nullptr) return;
        setenv("DISPLAY", name, 1); // the editor connects to the same server
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1750, 342, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~ParentWindow() {
        if (display == nullptr) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    void* handle() const { return reinterpret_cast<void*>(window); }
    bool exists() const { return display != nullptr; }

private:
    Display* display = nullptr;
    Window window = 0;
};

void openEditor(benchmark::State& state, bool windowed) {
    const int scale = int(state.range(0));
    ParentWindow parent;
    if (windowed && !parent.exists()) {
        state.SkipWithError("no X server: set TESSEL_TEST_DISPLAY or DISPLAY");
        return;
    }
    EditorRig rig(scale);
    void* parentHandle = windowed ? parent.handle() : nullptr;
    double held = 0.0;
    for (auto _ : state) {
        const double heapBefore = heapMiB();
        const auto started = std::chrono::steady_clock::now();
        rig.drell->dispatcher(effEditOpen, 0, 0, parentHandle, 0.0f);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        state.SetIterationTime(took.count());
        held = heapMiB() - heapBefore;
        rig.drell->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        rig.drell->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        if (windowed) pause(); // lets the server retire the closed connection
    }
    state.counters["heapMiB"] = held;
}

void EditorOpenWindowed(benchmark::State& state) {
    openEditor(state, true);
}
void EditorOpenHeadless(benchmark::State& state) {
    openEditor(state, false);
}

// Each repetition is one open, so the aggregates are over 20 opens.
BENCHMARK(EditorOpenWindowed)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EditorOpenHeadless)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond);

} // namespace
