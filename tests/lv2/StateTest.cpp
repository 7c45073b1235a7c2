// SPDX-License-Identifier: GPL-3.0-or-later
// The controller map travels with the host's session through the state interface, as the
// VST 2 edition's parameters 48..95 do.
#include "lv2/Lv2Host.h"
#include "lv2/PortLayout.h"
#include "presets/ControllerMap.h"
#include "support/ScopedEnv.h"
#include "support/TestSignal.h"

#include <cmath>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <string>

namespace {

struct Saved {
    std::string text;
    LV2_URID key = 0, type = 0;
};

LV2_State_Status store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                       std::size_t size, std::uint32_t type, std::uint32_t) {
    auto* saved = static_cast<Saved*>(handle);
    saved->key = key;
    saved->type = type;
    saved->text.assign(static_cast<const char*>(value), size > 0 ? size - 1 : 0);
    return LV2_STATE_SUCCESS;
}

const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                     std::uint32_t* type, std::uint32_t* flags) {
    const auto* saved = static_cast<const Saved*>(handle);
    if (key != saved->key) return nullptr;
    *size = saved->text.size() + 1;
    *type = saved->type;
    *flags = LV2_STATE_IS_POD;
    return saved->text.c_str();
}

const LV2_State_Interface* stateOf(Lv2Instance& instance) {
    return static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance.raw(), LV2_STATE__interface));
}

} // namespace

TEST(Lv2State, ControllerMapTravelsWithTheSession) {
    TempFolder config;
    ScopedEnv settings("TESSEL_CONFIG_HOME", config.path().c_str());
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    Lv2Instance first(w, 44100.0);
    ASSERT_NE(stateOf(first), nullptr);
    Saved saved;
    ASSERT_EQ(
        stateOf(first)->save(lilv_instance_get_handle(first.raw()), store, &saved, 0, nullptr),
        LV2_STATE_SUCCESS);
    std::string defaults;
    for (int p = 0; p < kNumParams; ++p)
        defaults += (p > 0 ? " " : "") + std::to_string(kDefaultControllers[p]);
    EXPECT_EQ(saved.text, defaults);
    EXPECT_EQ(saved.key, first.map(lv2ports::kControllersUri));
    EXPECT_EQ(saved.type, first.map(LV2_ATOM__String));

    // A session in which "Main In" listens to controller 7: restored, controller 7 closes
    // the input.
    Lv2Instance second(w, 44100.0);
    Saved session{"7" + defaults.substr(2), second.map(lv2ports::kControllersUri),
                  second.map(LV2_ATOM__String)};
    ASSERT_EQ(stateOf(second)->restore(lilv_instance_get_handle(second.raw()), retrieve, &session,
                                       0, nullptr),
              LV2_STATE_SUCCESS);
    std::vector<float> noise = testsignal::burstsAndSweep(40000, 5);
    const Lv2Instance::Output out = second.render(noise, noise, 512, [&](int block) {
        if (block == 10) second.queueMidi(0, 0xB0, 7, 0);
    });
    double tail = 0.0;
    for (std::size_t i = out.left.size() - 2048; i < out.left.size(); ++i)
        tail = std::max(tail, static_cast<double>(std::fabs(out.left[i])));
    EXPECT_LT(tail, 1e-4) << "controller 7 did not reach Main In";

    // A text that cannot be read changes nothing.
    Saved broken{"7 22 x", session.key, session.type};
    EXPECT_NE(stateOf(second)->restore(lilv_instance_get_handle(second.raw()), retrieve, &broken, 0,
                                       nullptr),
              LV2_STATE_SUCCESS);
    Saved after;
    stateOf(second)->save(lilv_instance_get_handle(second.raw()), store, &after, 0, nullptr);
    EXPECT_EQ(after.text, session.text);
}
