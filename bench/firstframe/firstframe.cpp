// Times a windowed program from outside, on the X display in DISPLAY:
// from its launch until its first top-level window shows its first painted
// frame, then until it has exited after being asked to close that window the
// way a window manager does (WM_DELETE_WINDOW). The program is not changed.
//
// A frame counts as painted when the X server reports damage to the window
// (the DAMAGE extension) and the window's pixels are then no longer all one
// colour, so a background the server fills in does not count.
//
// Usage: wirlep_firstframe [--timeout SECONDS] [--exit-only] PROGRAM [ARGUMENTS...]
// Prints one line: first-frame milliseconds, exit milliseconds, peak resident
// memory in KiB (the child's ru_maxrss, as /usr/bin/time -f %M reports it),
// processor time in milliseconds (user and system), and the window's title. With --exit-only it
// only waits for a program that quits by itself, and prints "-" for the frame.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// Windows vanish while we look at them (the program may quit first): such
/// errors are expected and ignored.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

/// Whether the window shows more than one colour.
bool isPainted(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage *image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool varied = false;
    for (int y = 0; y < image->height && !varied; ++y) {
        for (int x = 0; x < image->width; ++x) {
            if (XGetPixel(image, x, y) != first) {
                varied = true;
                break;
            }
        }
    }
    XDestroyImage(image);
    return varied;
}

std::string titleOf(Display *display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netWmName, 0, 256, False, utf8, &type, &format, &count,
                           &after, &data)
            == Success
        && data) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    return title;
}

void askToClose(Display *display, Window window)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

[[noreturn]] void giveUp(pid_t child, const char *why)
{
    std::fprintf(stderr, "wirlep_firstframe: %s\n", why);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    std::exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    int first = 1;
    double timeout = 60;
    bool exitOnly = false;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        if (std::strcmp(argv[first], "--timeout") == 0 && first + 1 < argc)
            timeout = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--exit-only") == 0)
            exitOnly = true;
        else
            break;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--timeout SECONDS] [--exit-only] PROGRAM [ARGUMENTS...]\n",
                     argv[0]);
        return 2;
    }

    Display *display = XOpenDisplay(nullptr);
    if (!display)
        giveUp(0, "cannot open the display in DISPLAY");
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError))
        giveUp(0, "the X server has no DAMAGE extension");
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        giveUp(0, "cannot fork");
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }

    // Every new top-level window is watched from its creation, before the
    // program can draw into it.
    std::map<Window, Damage> watched;
    Window shown = None;
    double firstFrame = -1;
    while (firstFrame < 0 && !exitOnly) {
        if (millisecondsSince(start) > timeout * 1000)
            giveUp(child, "no frame in time");
        if (waitpid(child, nullptr, WNOHANG) == child)
            giveUp(0, "the program exited before it showed a frame");
        if (!XPending(display)) {
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(ConnectionNumber(display), &fds);
            timeval wait {0, 10000};
            select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &wait);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            const Window window = event.xcreatewindow.window;
            watched[window] = XDamageCreate(display, window, XDamageReportNonEmpty);
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto *damage = reinterpret_cast<XDamageNotifyEvent *>(&event);
            XDamageSubtract(display, damage->damage, None, None);
            if (isPainted(display, damage->drawable)) {
                firstFrame = millisecondsSince(start);
                shown = damage->drawable;
            }
        } else if (event.type == DestroyNotify) {
            watched.erase(event.xdestroywindow.window);
        }
    }

    std::string title;
    if (!exitOnly) {
        title = titleOf(display, shown);
        askToClose(display, shown);
    }

    int status = 0;
    rusage usage {};
    while (wait4(child, &status, WNOHANG, &usage) != child) {
        if (millisecondsSince(start) > timeout * 1000)
            giveUp(child, "the program did not exit in time after its window was closed");
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const double exited = millisecondsSince(start);
    XCloseDisplay(display);

    const auto milliseconds = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    const double cpu = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    if (exitOnly)
        std::printf("- %.2f %ld %.1f\n", exited, usage.ru_maxrss, cpu);
    else
        std::printf("%.2f %.2f %ld %.1f %s\n", firstFrame, exited, usage.ru_maxrss, cpu,
                    title.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "wirlep_firstframe: the program ended with status %d\n", status);
        return 1;
    }
    return 0;
}
