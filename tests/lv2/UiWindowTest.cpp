// SPDX-License-Identifier: GPL-3.0-or-later
// The editor as an LV2 host meets it: the built bundle's binary loaded with dlopen, a plug-in
// instance made through its descriptor, the UI made through the UI descriptor with instance
// access and a parent window on the X server TESSEL_TEST_DISPLAY names (the Xvfb that
// scripts/test.sh starts), driven with XTest, and what the UI writes and touches recorded.
// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "lv2/PortLayout.h"
#include "presets/FactoryPrograms.h"
#include "support/WindowTest.h"
#include "testhost/TestHost.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

const PanelPoint kMixKnob = centreOf(kMainMix);
// The right half of the preset bar's rocker: the step to the next program.
const PanelPoint kRockerRight{panel::rectOf(panel::kProgramRockerTag).right - 5,
                              centreOf(panel::kProgramRockerTag).y};
constexpr std::uint32_t kBlock = 64;

class Lv2UiWindowTest : public WindowTest {
protected:
    void* library = nullptr;
    const LV2_Descriptor* plugin = nullptr;
    const LV2UI_Descriptor* uiDescriptor = nullptr;
    LV2_Handle instance = nullptr;
    LV2UI_Handle ui = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;

    std::array<float, kNumParams> controls{};
    std::array<float, kBlock> in{}, outLeft{}, outRight{};
    std::vector<std::pair<std::uint32_t, float>> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    std::pair<int, int> requestedSize{0, 0};

    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped()) return;

        const std::string binary = std::string(TESSEL_LV2_BUNDLE) + "/" + lv2ports::kBinaryName;
        library = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto pluginEntry =
            reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
        auto uiEntry =
            reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(pluginEntry, nullptr);
        ASSERT_NE(uiEntry, nullptr);
        plugin = pluginEntry(0);
        uiDescriptor = uiEntry(0);
        ASSERT_NE(uiDescriptor, nullptr);
        EXPECT_EQ(uiEntry(1), nullptr);
        EXPECT_STREQ(uiDescriptor->URI, lv2ports::kUiUri);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(
            uiDescriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);

        // A host without features: the plug-in needs none.
        const LV2_Feature* none[] = {nullptr};
        instance = plugin->instantiate(plugin, 48000.0, TESSEL_LV2_BUNDLE, none);
        ASSERT_NE(instance, nullptr);
        for (int p = 0; p < kNumParams; ++p) {
            controls[p] =
                lv2ports::portValueOf(p, [](int i) { return kFactoryPrograms[0].values[i]; });
            plugin->connect_port(instance, std::uint32_t(p), &controls[p]);
        }
        plugin->connect_port(instance, lv2ports::kAudioInLeft, in.data());
        plugin->connect_port(instance, lv2ports::kAudioInRight, in.data());
        plugin->connect_port(instance, lv2ports::kAudioOutLeft, outLeft.data());
        plugin->connect_port(instance, lv2ports::kAudioOutRight, outRight.data());
        plugin->activate(instance);
        run();

        // Room for the editor at either scale.
        makeParent(2 * panel::kWidth, 2 * panel::kHeight);
    }

    void TearDown() override {
        if (ui != nullptr) uiDescriptor->cleanup(ui);
        if (instance != nullptr) {
            plugin->deactivate(instance);
            plugin->cleanup(instance);
        }
        if (library != nullptr) dlclose(library);
        WindowTest::TearDown();
    }

    void run() { plugin->run(instance, kBlock); }

    static void writeFunction(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                              std::uint32_t protocol, const void* buffer) {
        auto* self = static_cast<Lv2UiWindowTest*>(controller);
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(protocol, 0u);
        float value;
        std::memcpy(&value, buffer, sizeof value);
        self->writes.emplace_back(port, value);
    }
    static void touchFunction(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
        static_cast<Lv2UiWindowTest*>(handle)->touches.emplace_back(port, grabbed);
    }
    static int resizeFunction(LV2UI_Feature_Handle handle, int width, int height) {
        static_cast<Lv2UiWindowTest*>(handle)->requestedSize = {width, height};
        return 0;
    }

    // The UI with the features a full host offers, less those `without` names.
    LV2UI_Handle makeUi(std::vector<std::string> without = {}) {
        static LV2UI_Touch touch;
        static LV2UI_Resize resize;
        touch = {this, &touchFunction};
        resize = {this, &resizeFunction};
        const LV2_Feature access{LV2_INSTANCE_ACCESS_URI, instance};
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        std::vector<const LV2_Feature*> features;
        for (const LV2_Feature* f : {&access, &parentFeature, &touchFeature, &resizeFeature})
            if (std::find(without.begin(), without.end(), f->URI) == without.end())
                features.push_back(f);
        features.push_back(nullptr);
        settle();
        LV2UI_Widget widget = nullptr;
        LV2UI_Handle made =
            uiDescriptor->instantiate(uiDescriptor, lv2ports::kPluginUri, TESSEL_LV2_BUNDLE,
                                      &writeFunction, this, &widget, features.data());
        if (made != nullptr) {
            EXPECT_NE(widget, nullptr) << "the widget is the editor's window";
            scale = requestedSize.first >= 2 * panel::kWidth ? 2 : 1;
        }
        return made;
    }

    int idle() { return idleInterface->idle(ui); }

    void idleOnce() override { EXPECT_EQ(idle(), 0); }

    // What a host does with the writes: the port takes the value before the next run.
    void applyWrites() {
        for (const auto& [port, value] : writes) controls.at(port) = value;
        run();
    }
};

} // namespace

TEST_F(Lv2UiWindowTest, KnobDragWritesItsPortInsideOneTouchAndHostValuesAreNotWrittenBack) {
    ui = makeUi();
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(requestedSize, std::make_pair(875 * scale, 171 * scale));
    EXPECT_EQ(idle(), 0);
    writes.clear();

    const float before = controls[kMainMix];
    dragUp(kMixKnob, 10, 3);
    ASSERT_TRUE(idleUntil([&] { return touches.size() >= 2; })) << "the release ends the touch";

    EXPECT_EQ(touches,
              (std::vector<std::pair<std::uint32_t, bool>>{{kMainMix, true}, {kMainMix, false}}));
    ASSERT_FALSE(writes.empty());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].first, std::uint32_t(kMainMix));
        if (i > 0) {
            EXPECT_GE(writes[i].second, writes[i - 1].second);
        }
    }
    EXPECT_GT(writes.back().second, before);

    // The host takes the writes into the port and runs: nothing comes back. Then the host
    // moves the port itself (automation playing): the editor follows, and writes nothing.
    applyWrites();
    writes.clear();
    controls[kMainMix] = 0.125f;
    run();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(idle(), 0);
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(touches.size(), 2u);
}

TEST_F(Lv2UiWindowTest, ProgramStepInThePresetBarWritesEveryPortToTheNewProgram) {
    ui = makeUi();
    ASSERT_NE(ui, nullptr);
    idle();
    writes.clear();

    // The host's audio thread runs on meanwhile, with the ports as they were.
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        while (!stop.load()) {
            run();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    moveTo(kRockerRight);
    button(true);
    button(false);
    std::map<std::uint32_t, float> last;
    const bool allWritten = idleUntil([&] {
        for (const auto& [port, value] : writes) last[port] = value;
        return last.size() == std::size_t(kNumParams);
    });
    stop = true;
    audio.join();
    ASSERT_TRUE(allWritten) << "ports written: " << last.size();
    // The ports end where a VST 2 host finds the parameters after the same program (a time
    // the tempo sets keeps its value, for one).
    TestHost vst;
    ASSERT_TRUE(vst.load());
    for (int program = 0; program < 2; ++program)
        for (int p = 0; p < kNumParams; ++p)
            vst.setParameter(p, float(kFactoryPrograms[program].values[p]));
    for (int p = 0; p < kNumParams; ++p)
        EXPECT_EQ(last[std::uint32_t(p)],
                  lv2ports::portValueOf(p, [&vst](int i) { return vst.getParameter(i); }))
            << "port " << p;

    // Every touch a program change grabs is released.
    std::map<std::uint32_t, int> held;
    for (const auto& [port, grabbed] : touches) held[port] += grabbed ? 1 : -1;
    for (const auto& [port, count] : held) EXPECT_EQ(count, 0) << "port " << port;
}

TEST_F(Lv2UiWindowTest, MissingFeaturesOrASecondUiGiveNoUiAndLeaveTheInstanceFree) {
    EXPECT_EQ(makeUi({LV2_INSTANCE_ACCESS_URI}), nullptr);
    EXPECT_EQ(makeUi({LV2_UI__parent}), nullptr);
    LV2UI_Widget widget = nullptr;
    EXPECT_EQ(uiDescriptor->instantiate(uiDescriptor, "urn:another:plugin", TESSEL_LV2_BUNDLE,
                                        &writeFunction, this, &widget, nullptr),
              nullptr);

    // Closed at once, without an idle; then again with idles; one UI at a time.
    ui = makeUi();
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(makeUi(), nullptr) << "the editor is open for the first UI";
    uiDescriptor->cleanup(ui);
    ui = makeUi({LV2_UI__touch, "http://lv2plug.in/ns/extensions/ui#resize"});
    ASSERT_NE(ui, nullptr) << "the instance is free again";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(idle(), 0);
    uiDescriptor->port_event(ui, kMainMix, sizeof(float), 0, &controls[kMainMix]);

    // The host destroys its window under the UI: idle says the UI is gone, cleanup is safe.
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    int gone = 0;
    for (int i = 0; i < 100 && gone == 0; ++i) {
        gone = idle();
        settle();
    }
    EXPECT_EQ(gone, 1);
}
