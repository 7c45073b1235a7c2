// SPDX-License-Identifier: GPL-3.0-or-later
// Tessel's editor in a Windows host under Wine: opened into the host's window, driven by
// the mouse messages the host's loop delivers, pictured, closed, reopened, and left behind
// safely when the host destroys its window first. Needs an X server for Wine (DISPLAY);
// skips without one. The picture goes to the file TESSEL_WINE_SHOT names (a binary PPM),
// which scripts/windows-tests.sh compares with the Linux build's tessel-shot picture.
#include "engine/Parameters.h"
#include "platform/SettingsKeys.h"
#include "presets/ControllerMap.h"
#include "support/MidiEvents.h"
#include "testhost/TestHost.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

// Panel positions (scale-1 pixels) of the controls these tests use.
constexpr POINT kBypassButton{826, 55};
constexpr POINT kMixKnob{737, 47};
constexpr POINT kLearnButton{828, 162};
constexpr POINT kStoreMidiButton{713, 162};

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X server for Wine";
        // The DLL stays loaded between the tests, as a host keeps it between its instances:
        // messages the last test left for its windows never reach an unloaded window class.
        static const TestHost keepLoaded;
        instance = std::make_unique<TestHost>();
        ASSERT_TRUE(instance->load());
        // The scale is fixed at 1: the pictures and positions are of the 875 x 171 panel.
        instance->setParameter(kMainBypass, 0.0f);
    }
    void TearDown() override {
        if (instance) instance->dispatch(effEditClose);
        instance.reset();
        if (parent != nullptr) DestroyWindow(parent);
        pump();
    }

    void makeParent() {
        WNDCLASSA description{};
        description.lpfnWndProc = DefWindowProcA;
        description.hInstance = GetModuleHandleA(nullptr);
        description.lpszClassName = "TesselTestHost";
        RegisterClassA(&description); // fails harmlessly when already registered
        parent =
            CreateWindowExA(0, "TesselTestHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            1000, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
    }

    ERect rect() {
        ERect* r = nullptr;
        instance->dispatch(effEditGetRect, 0, 0, &r);
        return r != nullptr ? *r : ERect{};
    }

    VstIntPtr open() { return instance->dispatch(effEditOpen, 0, 0, parent); }

    // Delivers every waiting message, as a host's loop does, and idles the editor.
    void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (instance) instance->dispatch(effEditIdle);
    }

    bool pumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 200; ++i) {
            pump();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    HWND editorWindow() const { return GetWindow(parent, GW_CHILD); }

    void mouse(UINT message, POINT at, WPARAM buttons) {
        PostMessageA(editorWindow(), message, buttons, MAKELPARAM(at.x, at.y));
        pump();
    }

    void click(POINT at) {
        mouse(WM_MOUSEMOVE, at, 0);
        mouse(WM_LBUTTONDOWN, at, MK_LBUTTON);
        mouse(WM_LBUTTONUP, at, 0);
    }

    std::unique_ptr<TestHost> instance;
    HWND parent = nullptr;
};

// The window's pixels as a binary PPM.
bool writePicture(HWND window, const char* path) {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        ppm += char((pixels[i] >> 16) & 255);
        ppm += char((pixels[i] >> 8) & 255);
        ppm += char(pixels[i] & 255);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(ppm.data(), 1, ppm.size(), file) == ppm.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

TEST_F(EditorWindowTest, OpensAsAChildOfTheHostsWindowAndIsPictured) {
    const ERect r = rect();
    EXPECT_EQ(r.right - r.left, 875);
    EXPECT_EQ(r.bottom - r.top, 171);
    makeParent();
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(open(), 1);
    pump();
    auto opened = std::chrono::steady_clock::now();
    std::printf("editor open: %.1f ms\n",
                std::chrono::duration<double, std::milli>(opened - started).count());
    HWND window = editorWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), parent);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 875);
    EXPECT_EQ(client.bottom, 171);
    for (int i = 0; i < 10; ++i) pump();
    if (const char* path = std::getenv("TESSEL_WINE_SHOT")) {
        EXPECT_TRUE(writePicture(window, path)) << path;
    }
}

TEST_F(EditorWindowTest, ASwitchClickAndAKnobDragReachTheHostAsGestures) {
    instance->setParameter(kMainMix, 0.5f);
    makeParent();
    ASSERT_EQ(open(), 1);
    pump();
    instance->clearCalls();

    click(kBypassButton);
    ASSERT_TRUE(pumpUntil([&] { return instance->paramDisplay(kMainBypass) == "on"; }))
        << "the click reached the bypass switch";
    EXPECT_TRUE(TestHost::isOneGesture(instance->gesture(kMainBypass)));
    instance->clearCalls();

    mouse(WM_MOUSEMOVE, kMixKnob, 0);
    mouse(WM_LBUTTONDOWN, kMixKnob, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), editorWindow()) << "a drag captures the mouse";
    for (int step = 1; step <= 10; ++step)
        mouse(WM_MOUSEMOVE, {kMixKnob.x, kMixKnob.y - 3 * step}, MK_LBUTTON);
    mouse(WM_LBUTTONUP, {kMixKnob.x, kMixKnob.y - 30}, 0);
    EXPECT_NE(GetCapture(), editorWindow());
    std::vector<float> values;
    const std::string calls = instance->gesture(kMainMix, &values);
    EXPECT_TRUE(TestHost::isOneGesture(calls)) << calls;
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i], values[i - 1]);
    EXPECT_GT(instance->getParameter(kMainMix), 0.5f);
}

TEST_F(EditorWindowTest, CloseReopenAndAParentDestroyedFirstLeaveNoWindow) {
    makeParent();
    ASSERT_EQ(open(), 1);
    pump();
    instance->dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), nullptr) << "closing removes the window";
    instance->dispatch(effEditClose); // a second close is harmless
    pump();

    ASSERT_EQ(open(), 1);
    ASSERT_EQ(open(), 1); // again without a close: still one window
    int windows = 0;
    for (HWND child = editorWindow(); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        ++windows;
    EXPECT_EQ(windows, 1);

    // The host destroys its window before effEditClose: nothing is left and nothing dies.
    HWND editor = editorWindow();
    DestroyWindow(parent);
    parent = nullptr;
    EXPECT_FALSE(IsWindow(editor));
    for (int i = 0; i < 5; ++i) pump();
    instance->dispatch(effEditClose);

    // A new parent works as before.
    makeParent();
    ASSERT_EQ(open(), 1);
    EXPECT_NE(editorWindow(), nullptr);
    instance->dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), nullptr);
}

TEST_F(EditorWindowTest, ALearnedControllerIsStoredInTheRegistryForTheNextInstance) {
    makeParent();
    ASSERT_EQ(open(), 1);
    pump();
    click(kLearnButton);
    instance->setParameter(kMainMix, 0.3f); // the control touched while learning
    MidiEventList<> learned({{0xB0, 33, 64}});
    instance->dispatch(effProcessEvents, 0, 0, learned.events());
    ASSERT_FLOAT_EQ(instance->getParameter(kNumParams + kMainMix), 33.5f / 129.0f)
        << "controller 33 learned for Main Mix";
    click(kStoreMidiButton);

    TestHost next;
    ASSERT_TRUE(next.load());
    EXPECT_FLOAT_EQ(next.getParameter(kNumParams + kMainMix), 33.5f / 129.0f);

    // The default again for the tests after this one.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kMidiSettingsKeyPath).c_str(), 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    DWORD controller = DWORD(kDefaultControllers[kMainMix]);
    RegSetValueExA(key, midiControllerValueName(kMainMix).c_str(), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&controller), sizeof controller);
    RegCloseKey(key);
}

TEST_F(EditorWindowTest, TwoCopiesOfTheDllKeepTheirOwnWindowClasses) {
    // A second copy under another name, as a host with two plug-in folders may load it.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string copy =
        std::string(temp) + "Tessel-copy-" + std::to_string(GetCurrentProcessId()) + ".dll";
    ASSERT_TRUE(CopyFileA(TESSEL_PLUGIN_PATH, copy.c_str(), FALSE));
    makeParent();
    ASSERT_EQ(open(), 1);
    pump();
    char firstClass[128] = {};
    GetClassNameA(editorWindow(), firstClass, sizeof firstClass);
    for (int round = 0; round < 2; ++round) {
        // Loaded, its editor opened and closed, and unloaded twice: the class it registered
        // goes with it and comes back with it.
        TestHost second(copy.c_str());
        ASSERT_TRUE(second.load());
        HWND otherParent =
            CreateWindowExA(0, "TesselTestHost", "Host 2", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            1000, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_EQ(second.dispatch(effEditOpen, 0, 0, otherParent), 1);
        char secondClass[128] = {};
        GetClassNameA(GetWindow(otherParent, GW_CHILD), secondClass, sizeof secondClass);
        EXPECT_STRNE(firstClass, secondClass);
        pump();
        second.dispatch(effEditClose);
        DestroyWindow(otherParent);
    }
    // The first copy's editor is untouched.
    pump();
    EXPECT_TRUE(IsWindow(editorWindow()));
    click(kBypassButton);
    EXPECT_TRUE(pumpUntil([&] { return instance->paramDisplay(kMainBypass) == "on"; }));
    DeleteFileA(copy.c_str());
}
