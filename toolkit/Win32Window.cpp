// SPDX-License-Identifier: GPL-3.0-or-later
// The frame's window on Windows: a WS_CHILD window of the host's window. Its messages come
// through the host's own message loop on the host's UI thread; the window has no loop and
// no timer of its own. Pixels are copied from the frame's framebuffer with
// SetDIBitsToDevice, in present() and for WM_PAINT. A host that destroys its window first
// takes this one with it: WM_DESTROY marks it gone and the destructor has nothing left to do.
#include "toolkit/Framebuffer.h"
#include "toolkit/PlatformWindow.h"
#include "toolkit/RectList.h"
#include "toolkit/Win32Module.h"

#include <windows.h>

#include <windowsx.h>

#include <cstdio>
#include <mutex>

namespace VSTGUI {

namespace {

// The module the window class belongs to, and the class once registered. Registered by the
// first window (never inside DllMain), unregistered when the DLL is unloaded.
struct WindowClass {
    std::mutex lock;
    HMODULE module = nullptr;
    ATOM atom = 0;
    char name[64] = {};
};
WindowClass windowClass;

HMODULE toolkitModule() {
    HMODULE module = nullptr;
    // The module holding this code: the plug-in's DLL, or a test program.
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&toolkitModule), &module);
    return module;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The class's atom, registering it on first use; 0 when registration fails.
const char* registeredClassName() {
    std::lock_guard guard(windowClass.lock);
    if (windowClass.atom != 0) return windowClass.name;
    if (windowClass.module == nullptr) windowClass.module = toolkitModule();
    // Named after the module's address: two copies of the DLL in one host never share a
    // class, whose window procedure would be the other copy's.
    std::snprintf(windowClass.name, sizeof windowClass.name, "TesselFrame%p",
                  static_cast<void*>(windowClass.module));
    WNDCLASSEXA description{};
    description.cbSize = sizeof description;
    description.style = CS_DBLCLKS;
    description.lpfnWndProc = windowProcedure;
    description.hInstance = windowClass.module;
    description.hCursor = LoadCursor(nullptr, IDC_ARROW);
    description.lpszClassName = windowClass.name;
    windowClass.atom = RegisterClassExA(&description);
    return windowClass.atom != 0 ? windowClass.name : nullptr;
}

int32_t modifiersNow() {
    int32_t bits = 0;
    if (GetKeyState(VK_SHIFT) < 0) bits |= kShift;
    if (GetKeyState(VK_CONTROL) < 0) bits |= kControl;
    if (GetKeyState(VK_MENU) < 0) bits |= kAlt;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) bits |= kSuper;
    return bits;
}

// The buttons held (from a mouse message's wParam) and the modifier keys.
int32_t buttonState(WPARAM wParam) {
    int32_t bits = modifiersNow();
    if (wParam & MK_LBUTTON) bits |= kLButton;
    if (wParam & MK_MBUTTON) bits |= kMButton;
    if (wParam & MK_RBUTTON) bits |= kRButton;
    return bits;
}

int32_t virtualKeyFromWin32(WPARAM key) {
    switch (key) {
    case VK_BACK:
        return kVKeyBack;
    case VK_TAB:
        return kVKeyTab;
    case VK_RETURN:
        return kVKeyReturn;
    case VK_ESCAPE:
        return kVKeyEscape;
    case VK_END:
        return kVKeyEnd;
    case VK_HOME:
        return kVKeyHome;
    case VK_LEFT:
        return kVKeyLeft;
    case VK_UP:
        return kVKeyUp;
    case VK_RIGHT:
        return kVKeyRight;
    case VK_DOWN:
        return kVKeyDown;
    case VK_DELETE:
        return kVKeyDelete;
    default:
        return kVKeyNone;
    }
}

class Win32Window final : public PlatformWindow {
public:
    Win32Window(HWND parent, int32_t width, int32_t height, WindowEventSink& sink)
        : parent(parent), width(width), height(height), sink(sink) {}

    ~Win32Window() override {
        if (window == nullptr) return;
        // No message reaches this object once it is going.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (GetCapture() == window) ReleaseCapture();
        DestroyWindow(window);
    }

    bool open() {
        const char* className = registeredClassName();
        if (className == nullptr) return false;
        window = CreateWindowExA(0, className, "Tessel", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                                 0, width, height, parent, nullptr, windowClass.module, this);
        return window != nullptr;
    }

    bool isAlive() const override { return window != nullptr && IsWindow(window); }
    uintptr_t getHandle() const override { return isAlive() ? uintptr_t(window) : 0; }

    // The host's message loop delivers this window's messages: nothing to take here.
    void processEvents() override {}

    void present(const Framebuffer& framebuffer, const CRect* rects, size_t count) override {
        RectList area = exposed;
        exposed.clear();
        if (!isAlive() || framebuffer.width() != width || framebuffer.height() != height) return;
        shown = &framebuffer;
        for (size_t i = 0; i < count; ++i) area.add(rects[i]);
        if (area.empty()) return;
        HDC context = GetDC(window);
        if (context == nullptr) return;
        for (const CRect& r : area.get()) copy(context, framebuffer, r);
        ReleaseDC(window, context);
    }

    void grabKeyboardFocus() override {
        if (isAlive()) SetFocus(window);
    }

    void releaseKeyboardFocus() override {
        if (isAlive() && GetFocus() == window) SetFocus(IsWindow(parent) ? parent : nullptr);
    }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC context = BeginPaint(window, &paint);
            CRect r{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                    paint.rcPaint.bottom};
            if (context != nullptr && shown != nullptr)
                copy(context, *shown, r);
            else
                exposed.add(r); // before the first present: it copies this area
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1; // every pixel is painted from the framebuffer
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            // A drag follows the pointer outside the window until the last button is up.
            if (GetCapture() != window) SetCapture(window);
            sink.windowMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttonState(wParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP:
            if ((wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) == 0 && GetCapture() == window)
                ReleaseCapture();
            sink.windowMouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttonState(wParam));
            return 0;
        case WM_MOUSEMOVE:
            if (!tracking) {
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
                tracking = TrackMouseEvent(&track) != FALSE;
            }
            sink.windowMouseMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttonState(wParam));
            return 0;
        case WM_MOUSELEAVE:
            tracking = false;
            sink.windowMouseExited();
            return 0;
        case WM_MOUSEWHEEL: {
            // The position comes in screen coordinates.
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window, &point);
            float steps = float(GET_WHEEL_DELTA_WPARAM(wParam)) / float(WHEEL_DELTA);
            sink.windowWheel(point.x, point.y, steps, buttonState(GET_KEYSTATE_WPARAM(wParam)));
            return 0;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS; // typing goes to the name field
        case WM_KEYDOWN:
        case WM_KEYUP:
            // Keys that are not characters; characters come with WM_CHAR.
            if (int32_t virt = virtualKeyFromWin32(wParam)) {
                KeyCode key;
                key.virt = virt;
                key.modifiers = modifiersNow();
                if (message == WM_KEYDOWN)
                    sink.windowKeyDown(key);
                else
                    sink.windowKeyUp(key);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam >= 32 && wParam <= 126) {
                KeyCode key;
                key.character = int32_t(wParam);
                if (wParam == ' ') key.virt = kVKeySpace;
                key.modifiers = modifiersNow();
                sink.windowKeyDown(key);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            return 0;
        case WM_DESTROY:
            // Destroyed with the host's window: gone, and nothing left to destroy.
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            window = nullptr;
            shown = nullptr;
            return 0;
        default:
            break;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window = nullptr;

private:
    void copy(HDC context, const Framebuffer& framebuffer, CRect r) const {
        r.bound({0, 0, width, height});
        if (r.isEmpty()) return;
        // The rows of the area as a top-down bitmap of their own: no question where the
        // source's first row is.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -r.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        const uint32_t* rows = framebuffer.data() + size_t(r.top) * size_t(width);
        SetDIBitsToDevice(context, r.left, r.top, DWORD(r.width()), DWORD(r.height()), r.left, 0, 0,
                          UINT(r.height()), rows, &info, DIB_RGB_COLORS);
    }

    HWND parent;
    int32_t width;
    int32_t height;
    WindowEventSink& sink;
    const Framebuffer* shown = nullptr; // the framebuffer of the last present()
    bool tracking = false;
    RectList exposed;
};

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* owner = static_cast<Win32Window*>(create->lpCreateParams);
        owner->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (owner == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return owner->handle(message, wParam, lParam);
}

} // namespace

void attachWindowModule(void* module) {
    std::lock_guard guard(windowClass.lock);
    windowClass.module = static_cast<HMODULE>(module);
}

void detachWindowModule() {
    std::lock_guard guard(windowClass.lock);
    if (windowClass.atom != 0) UnregisterClassA(windowClass.name, windowClass.module);
    windowClass.atom = 0;
}

std::unique_ptr<PlatformWindow> createPlatformWindow(uintptr_t parent, int32_t width,
                                                     int32_t height, WindowEventSink& sink) {
    HWND parentWindow = reinterpret_cast<HWND>(parent);
    if (parent == 0 || width <= 0 || height <= 0 || !IsWindow(parentWindow)) return nullptr;
    auto window = std::make_unique<Win32Window>(parentWindow, width, height, sink);
    if (!window->open()) return nullptr;
    return window;
}

} // namespace VSTGUI
