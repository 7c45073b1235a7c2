// SPDX-License-Identifier: GPL-3.0-or-later
// The frame's window under X11, through Xlib alone: a child of the host's window on a
// display connection of its own. Every Xlib call runs inside an X11ErrorTrap, so a parent
// that the host destroys first only makes the window count as gone.
//
// A host may make its window larger than the size asked for (a toolkit's socket packed a
// few pixels taller): the window then grows with its parent, and the margin beyond the
// framebuffer shows the colour of the framebuffer's bottom edge instead of the host's
// black.
#include "toolkit/Framebuffer.h"
#include "toolkit/PlatformWindow.h"
#include "toolkit/RectList.h"
#include "toolkit/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <thread>
#include <vector>

namespace VSTGUI {

namespace {

constexpr int kMaxEventsPerPass = 1000;

int32_t buttonStateFromX(unsigned int state) {
    int32_t bits = 0;
    if (state & Button1Mask) bits |= kLButton;
    if (state & Button2Mask) bits |= kMButton;
    if (state & Button3Mask) bits |= kRButton;
    if (state & ShiftMask) bits |= kShift;
    if (state & ControlMask) bits |= kControl;
    if (state & Mod1Mask) bits |= kAlt;
    if (state & Mod4Mask) bits |= kSuper;
    return bits;
}

int32_t buttonBit(unsigned int button) {
    switch (button) {
    case Button1:
        return kLButton;
    case Button2:
        return kMButton;
    case Button3:
        return kRButton;
    default:
        return 0;
    }
}

int32_t virtualKeyFromX(KeySym sym) {
    switch (sym) {
    case XK_BackSpace:
        return kVKeyBack;
    case XK_Tab:
        return kVKeyTab;
    case XK_Return:
        return kVKeyReturn;
    case XK_KP_Enter:
        return kVKeyEnter;
    case XK_Escape:
        return kVKeyEscape;
    case XK_space:
        return kVKeySpace;
    case XK_End:
    case XK_KP_End:
        return kVKeyEnd;
    case XK_Home:
    case XK_KP_Home:
        return kVKeyHome;
    case XK_Left:
    case XK_KP_Left:
        return kVKeyLeft;
    case XK_Up:
    case XK_KP_Up:
        return kVKeyUp;
    case XK_Right:
    case XK_KP_Right:
        return kVKeyRight;
    case XK_Down:
    case XK_KP_Down:
        return kVKeyDown;
    case XK_Delete:
    case XK_KP_Delete:
        return kVKeyDelete;
    default:
        return kVKeyNone;
    }
}

KeyCode keyFromX(XKeyEvent& event) {
    char text[8] = {};
    KeySym sym = NoSymbol;
    int length = XLookupString(&event, text, sizeof text, &sym, nullptr);
    KeyCode key;
    key.virt = virtualKeyFromX(sym);
    if (length == 1 && text[0] >= 32 && text[0] <= 126) key.character = text[0];
    key.modifiers = buttonStateFromX(event.state) & kModifierKeys;
    return key;
}

// Where a colour channel sits in a pixel of the visual.
struct Channel {
    int shift = 0;
    int bits = 0;
    explicit Channel(unsigned long mask) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask);
    }
    unsigned long place(uint32_t byte) const {
        if (bits == 0) return 0;
        unsigned long v = bits >= 8 ? byte << (bits - 8) : byte >> (8 - bits);
        return v << shift;
    }
};

class X11Window final : public PlatformWindow {
public:
    X11Window(Display* display, Window parent, int32_t width, int32_t height, WindowEventSink& sink)
        : display(display), parent(parent), width(width), height(height), sink(sink) {}

    ~X11Window() override {
        X11ErrorTrap trap(display);
        if (image) {
            image->data = nullptr; // the pixels belong to the frame
            XDestroyImage(image);
        }
        if (gc) XFreeGC(display, gc);
        if (window != 0) XDestroyWindow(display, window);
        XSync(display, False);
        XCloseDisplay(display);
    }

    bool open() {
        X11ErrorTrap trap(display);
        XWindowAttributes parentAttributes;
        if (!XGetWindowAttributes(display, parent, &parentAttributes) || trap.errorCount())
            return false;
        int screen = XScreenNumberOfScreen(parentAttributes.screen);
        Visual* visual = DefaultVisual(display, screen);
        int depth = DefaultDepth(display, screen);

        XSetWindowAttributes attributes{};
        attributes.background_pixel = BlackPixel(display, screen);
        attributes.border_pixel = 0;
        attributes.colormap = DefaultColormap(display, screen);
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                                PointerMotionMask | KeyPressMask | KeyReleaseMask |
                                EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
        windowWidth = std::max(width, parentAttributes.width);
        windowHeight = std::max(height, parentAttributes.height);
        window = XCreateWindow(display, parent, 0, 0, unsigned(windowWidth), unsigned(windowHeight),
                               0, depth, InputOutput, visual,
                               CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
        if (XSizeHints* hints = XAllocSizeHints()) {
            hints->flags = PMinSize | PMaxSize | PBaseSize;
            hints->min_width = hints->max_width = hints->base_width = width;
            hints->min_height = hints->max_height = hints->base_height = height;
            XSetWMNormalHints(display, window, hints);
            XFree(hints);
        }
        gc = XCreateGC(display, window, 0, nullptr);
        image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(width),
                             unsigned(height), 32, 0);
        if (image == nullptr) return false;
        direct =
            image->bits_per_pixel == 32 && image->bytes_per_line == width * 4 &&
            image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
            image->blue_mask == 0xFF &&
            image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
        if (!direct) {
            converted.resize(size_t(image->bytes_per_line) * size_t(height));
            red = Channel(image->red_mask);
            green = Channel(image->green_mask);
            blue = Channel(image->blue_mask);
        }
        // The parent's size changes reach this connection too (other clients may watch a
        // window's structure as well).
        XSelectInput(display, parent, StructureNotifyMask);
        XMapWindow(display, window);
        XSync(display, False);
        if (trap.errorCount()) return false;
        alive = true;
        return true;
    }

    bool isAlive() const override { return alive; }
    uintptr_t getHandle() const override { return alive ? uintptr_t(window) : 0; }

    void processEvents() override {
        X11ErrorTrap trap(display);
        XEvent motion;
        bool motionWaiting = false;
        // Bounded, so a flood of events cannot hold the host's idle call.
        for (int taken = 0; taken < kMaxEventsPerPass && XPending(display) > 0; ++taken) {
            XEvent event;
            XNextEvent(display, &event);
            // Motion is compressed: only the last of a run of motion events is delivered.
            if (event.type == MotionNotify) {
                motion = event;
                motionWaiting = true;
                continue;
            }
            if (motionWaiting) {
                deliverMotion(motion.xmotion);
                motionWaiting = false;
            }
            handle(event);
        }
        if (motionWaiting) deliverMotion(motion.xmotion);
    }

    void present(const Framebuffer& framebuffer, const CRect* rects, size_t count) override {
        RectList area = exposed;
        exposed.clear();
        if (!alive || framebuffer.width() != width || framebuffer.height() != height) return;
        for (size_t i = 0; i < count; ++i) area.add(rects[i]);
        if (area.empty()) return;
        X11ErrorTrap trap(display);
        if (!edgeShown) showEdgeColour(framebuffer);
        for (CRect r : area.get()) {
            r.bound({0, 0, width, height});
            if (r.isEmpty()) continue;
            if (direct) {
                image->data = reinterpret_cast<char*>(const_cast<uint32_t*>(framebuffer.data()));
            } else {
                image->data = reinterpret_cast<char*>(converted.data());
                convert(framebuffer, r);
            }
            XPutImage(display, window, gc, image, r.left, r.top, r.left, r.top, unsigned(r.width()),
                      unsigned(r.height()));
            image->data = nullptr;
        }
        XFlush(display);
    }

    void grabKeyboardFocus() override {
        if (!alive) return;
        X11ErrorTrap trap(display);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XFlush(display);
    }

    void releaseKeyboardFocus() override {
        if (!alive) return;
        X11ErrorTrap trap(display);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        if (focus == window) XSetInputFocus(display, parent, RevertToParent, CurrentTime);
        XFlush(display);
    }

private:
    void deliverMotion(const XMotionEvent& event) {
        sink.windowMouseMoved(event.x, event.y, buttonStateFromX(event.state));
    }

    void handle(XEvent& event) {
        switch (event.type) {
        case Expose:
            exposed.add({event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                         event.xexpose.y + event.xexpose.height});
            break;
        case ButtonPress: {
            const XButtonEvent& b = event.xbutton;
            int32_t state = buttonStateFromX(b.state);
            if (b.button == Button4 || b.button == Button5)
                sink.windowWheel(b.x, b.y, b.button == Button4 ? 1.0f : -1.0f, state);
            else if (int32_t bit = buttonBit(b.button))
                sink.windowMouseDown(b.x, b.y, state | bit);
            break;
        }
        case ButtonRelease: {
            const XButtonEvent& b = event.xbutton;
            if (int32_t bit = buttonBit(b.button))
                sink.windowMouseUp(b.x, b.y, buttonStateFromX(b.state) & ~bit);
            break;
        }
        case EnterNotify:
            sink.windowMouseMoved(event.xcrossing.x, event.xcrossing.y,
                                  buttonStateFromX(event.xcrossing.state));
            break;
        case LeaveNotify:
            if (event.xcrossing.mode == NotifyNormal) sink.windowMouseExited();
            break;
        case KeyPress:
            sink.windowKeyDown(keyFromX(event.xkey));
            break;
        case KeyRelease:
            sink.windowKeyUp(keyFromX(event.xkey));
            break;
        case ConfigureNotify:
            if (alive && event.xconfigure.window == parent) followParent(event.xconfigure);
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window) {
                alive = false;
                window = 0; // gone with its parent: nothing left to destroy
            }
            break;
        default:
            break;
        }
    }

    // Grows (or shrinks back) with the parent, never below the framebuffer's size.
    void followParent(const XConfigureEvent& event) {
        const int32_t w = std::max(width, event.width), h = std::max(height, event.height);
        if (w == windowWidth && h == windowHeight) return;
        windowWidth = w;
        windowHeight = h;
        XResizeWindow(display, window, unsigned(w), unsigned(h));
    }

    // The window's background, which the server paints in the margin beyond the
    // framebuffer: the colour in the middle of the framebuffer's bottom row.
    void showEdgeColour(const Framebuffer& framebuffer) {
        edgeShown = true;
        const uint32_t p = framebuffer.pixel(width / 2, height - 1);
        const unsigned long pixel =
            direct ? (p & 0xFFFFFFu)
                   : red.place((p >> 16) & 255) | green.place((p >> 8) & 255) | blue.place(p & 255);
        XSetWindowBackground(display, window, pixel);
        if (windowWidth > width)
            XClearArea(display, window, width, 0, unsigned(windowWidth - width),
                       unsigned(windowHeight), False);
        if (windowHeight > height)
            XClearArea(display, window, 0, height, unsigned(width), unsigned(windowHeight - height),
                       False);
    }

    // Pixels for a visual that is not 32-bit 0x00RRGGBB.
    void convert(const Framebuffer& framebuffer, const CRect& r) {
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x) {
                uint32_t p = framebuffer.pixel(x, y);
                XPutPixel(image, x, y,
                          red.place((p >> 16) & 255) | green.place((p >> 8) & 255) |
                              blue.place(p & 255));
            }
    }

    Display* display;
    Window parent;
    Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    int32_t width;
    int32_t height;
    int32_t windowWidth = 0; // the window's own size: the framebuffer's, or the parent's
    int32_t windowHeight = 0;
    WindowEventSink& sink;
    bool alive = false;
    bool edgeShown = false;
    bool direct = true;
    std::vector<char> converted;
    Channel red{0}, green{0}, blue{0};
    RectList exposed;
};

} // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(uintptr_t parent, int32_t width,
                                                     int32_t height, WindowEventSink& sink) {
    if (parent == 0 || width <= 0 || height <= 0) return nullptr;
    // A busy X server can refuse a connection made right after another one closed (a host
    // that closes and reopens the editor at once); a few short retries ride that out.
    Display* display = XOpenDisplay(nullptr);
    for (int attempt = 0; display == nullptr && attempt < 3; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        display = XOpenDisplay(nullptr);
    }
    if (display == nullptr) return nullptr;
    auto window = std::make_unique<X11Window>(display, Window(parent), width, height, sink);
    if (!window->open()) return nullptr;
    return window;
}

} // namespace VSTGUI
