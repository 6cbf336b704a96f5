// box_driver.cpp - the message box test driver: a box process with its own connection, and
// XTEST input from the test's connection.
#include "box_driver.h"

#include "platform/x11/msgbox.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <new>
#include <sstream>
#include <thread>

namespace msgbox_test {

namespace {

// The driver looks at windows that may just have gone; such errors are expected.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

Display* Server() {
    static Display* const dpy = XOpenDisplay(nullptr);
    return dpy;
}

BoxRun::BoxRun(const char* text, const char* caption, unsigned type) {
    XSetErrorHandler(&IgnoreErrors);
    Server();
    drv_ = XOpenDisplay(nullptr);
    void* mem =
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    shared_ = new (mem) Shared;
    XFlush(Server());
    child_ = fork();
    if (child_ == 0) {
        // The child touches none of the parent's connections and leaves with _exit, so that
        // nothing of the parent (its X connections, the test framework) is shut down twice.
        Display* dpy = XOpenDisplay(nullptr);
        if (dpy == nullptr) {
            shared_->result = 0;
            shared_->done = true;
            shared_->started = true;
            _exit(0);
        }
        Window other = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 16, 16, 0, 0, 0);
        XSync(dpy, False);
        shared_->other = other;
        shared_->started = true;
        int r = velvix::x11::RunMessageBox(
            dpy, text, caption, type,
            [&](XEvent& ev) {
                if (ev.xany.window == other) {
                    ++shared_->foreign;
                }
            },
            other);
        XDestroyWindow(dpy, other);
        XCloseDisplay(dpy);
        shared_->result = r;
        shared_->done = true;
        _exit(0);
    }
    for (int waited = 0; child_ > 0 && !shared_->started && waited < 5000; waited += 5) {
        Pause(5);
    }
}

BoxRun::~BoxRun() {
    if (child_ > 0) {
        if (!shared_->done) {
            kill(child_, SIGKILL);
        }
        waitpid(child_, nullptr, 0);
    }
    shared_->~Shared();
    munmap(shared_, sizeof(Shared));
    if (drv_ != nullptr) {
        XCloseDisplay(drv_);
    }
}

std::string ReadProperty(Display* dpy, Window w, const char* name) {
    Atom prop = XInternAtom(dpy, name, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(dpy, w, prop, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (format == 8) {
            out.assign(reinterpret_cast<char*>(data), count);
        }
        XFree(data);
    }
    return out;
}

Window BoxRun::FindDialog(const std::string& caption_utf8) {
    Window root = DefaultRootWindow(drv_);
    for (int tries = 0; tries < 500 && !shared_->done; ++tries) {
        Window root_ret, parent, found = 0;
        Window* children = nullptr;
        unsigned n = 0;
        if (XQueryTree(drv_, root, &root_ret, &parent, &children, &n)) {
            for (unsigned i = 0; i < n && found == 0; ++i) {
                if (ReadProperty(drv_, children[i], "_NET_WM_NAME") == caption_utf8) {
                    found = children[i];
                }
            }
            XFree(children);
        }
        if (found != 0) {
            XWindowAttributes wa{};
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(drv_, &focus, &revert);
            if (XGetWindowAttributes(drv_, found, &wa) && wa.map_state == IsViewable &&
                focus == found) {
                return found;
            }
        }
        Pause(10);
    }
    return 0;
}

void BoxRun::Key(const char* keysym_name, bool shift) {
    KeyCode shift_code = XKeysymToKeycode(drv_, XK_Shift_L);
    KeyCode code = XKeysymToKeycode(drv_, XStringToKeysym(keysym_name));
    if (shift) {
        XTestFakeKeyEvent(drv_, shift_code, True, 0);
    }
    XTestFakeKeyEvent(drv_, code, True, 0);
    XTestFakeKeyEvent(drv_, code, False, 0);
    if (shift) {
        XTestFakeKeyEvent(drv_, shift_code, False, 0);
    }
    XSync(drv_, False);
}

void BoxRun::MoveMouse(int x, int y) {
    XTestFakeMotionEvent(drv_, DefaultScreen(drv_), x, y, 0);
    XSync(drv_, False);
}

void BoxRun::MouseButton(bool press) {
    XTestFakeButtonEvent(drv_, 1, press ? True : False, 0);
    XSync(drv_, False);
}

void BoxRun::Play(Window dialog, const std::string& script) {
    std::istringstream steps(script);
    std::string step;
    while (steps >> step) {
        if (step == "close") {
            XEvent ev{};
            ev.xclient.type = ClientMessage;
            ev.xclient.window = dialog;
            ev.xclient.message_type = XInternAtom(drv_, "WM_PROTOCOLS", False);
            ev.xclient.format = 32;
            ev.xclient.data.l[0] = static_cast<long>(XInternAtom(drv_, "WM_DELETE_WINDOW", False));
            ev.xclient.data.l[1] = CurrentTime;
            XSendEvent(drv_, dialog, False, 0, &ev);
            XSync(drv_, False);
        } else if (step == "destroy") {
            XDestroyWindow(drv_, dialog);
            XSync(drv_, False);
        } else if (step.rfind("S-", 0) == 0) {
            Key(step.c_str() + 2, true);
        } else {
            Key(step.c_str());
        }
        // Let the box take each step in before the next (a real user is slower still).
        Pause(30);
    }
}

int BoxRun::Wait(int ms) {
    for (int waited = 0; !shared_->done && waited < ms; waited += 10) {
        Pause(10);
    }
    return shared_->done ? shared_->result.load() : kRunning;
}

double BoxRun::CpuSeconds() const {
    timespec ts{};
    clockid_t clock = 0;
    if (clock_getcpuclockid(child_, &clock) != 0 || clock_gettime(clock, &ts) != 0) {
        return 0;
    }
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

} // namespace msgbox_test
