#include "tests/desktop/private_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

namespace desktop_test {

namespace {

// Windows come and go under the test (a message box closes); a request about
// one that has gone must not end the test program, as Xlib's default handler would.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// Reads the display number Xvfb writes once it accepts connections.
bool ReadDisplayNumber(int fd, std::string& number) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char c;
        if (read(fd, &c, 1) != 1) return false;
        if (c == '\n') return !number.empty();
        number += c;
    }
    return false;
}

std::string Title(Display* display, Window window) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 256, False, utf8, &type, &format, &count,
                           &left, &data) == Success &&
        data) {
        if (type == utf8) title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (type == utf8) return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

bool Viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Viewable top-level windows, bottom first.
template <typename Visit> Window FindTopLevel(Display* display, Visit matches) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i)
        if (Viewable(display, children[i]) && matches(children[i])) found = children[i];
    if (children) XFree(children);
    return found;
}

} // namespace

void PrivateDisplay::Stop() {
    if (display) XCloseDisplay(display);
    display = nullptr;
    server.Stop();
}

bool PrivateDisplay::Start(const std::string& logFile, std::string& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = "no pipe";
        return false;
    }
    // Xvfb picks a free display number itself and writes it to the pipe when ready.
    bool started = server.Start({XVFB_PROGRAM, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 std::to_string(Width) + "x" + std::to_string(Height) + "x24",
                                 "-nolisten", "tcp", "-noreset"},
                                "/", {}, logFile, fds[1]);
    close(fds[1]);
    std::string number;
    bool ready = started && ReadDisplayNumber(fds[0], number);
    close(fds[0]);
    if (!ready) {
        error = "Xvfb did not start (" XVFB_PROGRAM ", log in " + logFile + ")";
        return false;
    }
    name = ":" + number;
    XSetErrorHandler(IgnoreError);
    display = XOpenDisplay(name.c_str());
    int event, errorBase, major, minor;
    if (!display || !XTestQueryExtension(display, &event, &errorBase, &major, &minor)) {
        error = "cannot connect to Xvfb on " + name + " or it has no XTest";
        return false;
    }
    return true;
}

WindowId PrivateDisplay::FindWindow(const char* utf8Title) {
    return FindTopLevel(display, [&](Window w) { return Title(display, w) == utf8Title; });
}

WindowId PrivateDisplay::FindTransient(WindowId owner) {
    return FindTopLevel(display, [&](Window w) {
        Window to = 0;
        return XGetTransientForHint(display, w, &to) && to == owner;
    });
}

bool PrivateDisplay::Exists(WindowId window) { return Viewable(display, window); }

Placement PrivateDisplay::Where(WindowId window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return {};
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

bool PrivateDisplay::Move(WindowId window, int x, int y) {
    XMoveWindow(display, window, x, y);
    XSync(display, False);
    return WaitUntil(std::chrono::seconds(5), [&] {
        Placement p = Where(window);
        return p.x == x && p.y == y;
    });
}

WindowId PrivateDisplay::Cover(const Placement& area) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
    Window cover = XCreateWindow(display, DefaultRootWindow(display), area.x, area.y,
                                 static_cast<unsigned>(area.width),
                                 static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    return cover;
}

void PrivateDisplay::Uncover(WindowId cover) {
    XDestroyWindow(display, cover);
    XSync(display, False);
}

void PrivateDisplay::PointerTo(int x, int y) {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}

void PrivateDisplay::Button(unsigned button, bool down) {
    XTestFakeButtonEvent(display, button, down, CurrentTime);
    XSync(display, False);
}

bool PrivateDisplay::Key(const char* keysymName, bool down) {
    KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
    if (!code) return false;
    XTestFakeKeyEvent(display, code, down, CurrentTime);
    XSync(display, False);
    return true;
}

WindowId PrivateDisplay::Focused() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == None || focus == PointerRoot ? 0 : focus;
}

bool PrivateDisplay::NextFrame(WindowId window, std::chrono::milliseconds timeout) {
    constexpr unsigned long MARK = 0xFE01FD;
    const Placement at = Where(window);
    if (at.width < 2 || !Viewable(display, window)) return false;
    const auto marked = [&] {
        XImage* pixel =
            XGetImage(display, DefaultRootWindow(display), at.x, at.y, 1, 1, AllPlanes, ZPixmap);
        if (!pixel) return false;
        const bool found = (XGetPixel(pixel, 0, 0) & 0xFFFFFF) == MARK;
        XDestroyImage(pixel);
        return found;
    };
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = MARK;
    const Window cover =
        XCreateWindow(display, DefaultRootWindow(display), at.x, at.y, 2, 2, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    const bool shown = WaitUntil(timeout, marked);
    XDestroyWindow(display, cover);
    XSync(display, False);
    return shown && WaitUntil(timeout, [&] { return !marked() || !Viewable(display, window); }) &&
           Viewable(display, window);
}

platform::DecodedImage PrivateDisplay::Screen() {
    platform::DecodedImage image;
    XImage* shot =
        XGetImage(display, DefaultRootWindow(display), 0, 0, Width, Height, AllPlanes, ZPixmap);
    if (!shot) return image;
    image.width = Width;
    image.height = Height;
    image.pixels.resize(static_cast<std::size_t>(Width) * Height);
    // Depth 24, true colour: the pixel value is 0xRRGGBB already.
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.pixels[static_cast<std::size_t>(y) * Width + x] =
                static_cast<std::uint32_t>(XGetPixel(shot, x, y)) & 0xFFFFFF;
    XDestroyImage(shot);
    return image;
}

} // namespace desktop_test
