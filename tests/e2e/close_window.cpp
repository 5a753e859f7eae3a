// Asks a window to close the way a window manager does when its close button
// is clicked: a WM_DELETE_WINDOW message. The end-to-end tests run without a
// window manager, and destroying the X window (xdotool windowclose) would
// leave the program unaware that it was ever closed.
// Usage: e2e_close_window <window id>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <window id>\n", argv[0]);
        return 2;
    }
    char *end = nullptr;
    errno = 0;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (errno != 0 || end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "not a window id: %s\n", argv[1]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const Window window = id;
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    // A window that does not take part in the protocol would have to be
    // killed instead; that is not what a player does.
    Atom *offered = nullptr;
    int count = 0;
    bool takesPart = false;
    if (XGetWMProtocols(display, window, &offered, &count)) {
        for (int i = 0; i < count; ++i)
            takesPart = takesPart || offered[i] == deleteWindow;
        XFree(offered);
    }
    if (!takesPart) {
        std::fprintf(stderr, "window 0x%lx does not offer WM_DELETE_WINDOW\n", id);
        XCloseDisplay(display);
        return 1;
    }

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
