// box_driver.h - runs a real message box in a child process on its own X connection, and drives
// it from the test's connection with XTEST the way a user would: find it by its title, type,
// click. A process rather than a thread: Xft and Xrender keep unlocked global state, so two
// threads using them even on separate connections can corrupt each other's replies.
#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>

#include <atomic>
#include <string>

namespace msgbox_test {

class BoxRun {
public:
    static constexpr int kRunning = -999;

    // Opens the box in a new process. That process also owns a plain window (other()) that is
    // not the box's, to see foreign events reach the callback; the box names it as its owner.
    BoxRun(const char* text, const char* caption, unsigned type);
    // Ends a box that is still open (a test that failed half-way) and reaps the process.
    ~BoxRun();
    BoxRun(const BoxRun&) = delete;
    BoxRun& operator=(const BoxRun&) = delete;

    // The driver's connection.
    Display* dpy() const { return drv_; }
    // Waits for the top-level window titled `caption` to be mapped and focused; 0 on timeout.
    Window FindDialog(const std::string& caption_utf8);

    // Plays a script of space-separated steps: key names ("y", "Return", "S-Tab" for
    // Shift+Tab), "close" (the window manager's close), "destroy" (someone else destroys it).
    void Play(Window dialog, const std::string& script);
    void Key(const char* keysym_name, bool shift = false);
    void MoveMouse(int x, int y);
    void MouseButton(bool press);

    // The box's answer once it returns, or kRunning if it is still open after `ms`.
    int Wait(int ms = 5000);
    Window other() const { return shared_->other; }
    int foreign_events() const { return shared_->foreign; }
    // CPU time the box's process has used so far, in seconds.
    double CpuSeconds() const;

private:
    // Lives in memory shared with the child.
    struct Shared {
        std::atomic<bool> started{false}, done{false};
        std::atomic<int> result{kRunning}, foreign{0};
        std::atomic<unsigned long> other{0};
    };
    Display* drv_;
    pid_t child_ = -1;
    Shared* shared_;
};

// One connection held for the whole program: a bare X server resets when its last client
// leaves, and a connection made during the reset fails.
Display* Server();

// Reads a string property (any 8-bit type) of `w`, "" if absent.
std::string ReadProperty(Display* dpy, Window w, const char* name);

} // namespace msgbox_test
