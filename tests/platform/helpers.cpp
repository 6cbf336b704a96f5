// helpers.cpp - the platform tests' shared helpers (see helpers.h).
#include "helpers.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ptest {
namespace {

LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    Log().push_back({h, m, wp, lp});
    return DefWindowProcA(h, m, wp, lp);
}

int Ms(std::chrono::steady_clock::time_point since) {
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - since)
                   .count());
}

} // namespace

std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

std::vector<Seen> Only(const std::vector<Seen>& log, UINT msg) {
    std::vector<Seen> out;
    for (const Seen& s : log)
        if (s.msg == msg)
            out.push_back(s);
    return out;
}

const char* RecordingClass() {
    static bool done = false;
    if (!done) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "VelvixPlatformRecorder";
        done = RegisterClassA(&wc) != 0;
    }
    return "VelvixPlatformRecorder";
}

HWND MakeWindow(DWORD style, int x, int y, int w, int h, HWND parent, const char* title,
                UINT_PTR id) {
    return CreateWindowExA(0, RecordingClass(), title, style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
}

std::vector<MSG> Drain(HWND filter) {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, filter, 0, 0, PM_REMOVE)) {
        out.push_back(m);
        if (m.message == WM_PAINT)
            ValidateRect(m.hwnd, nullptr);
    }
    return out;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool StartServer(Server* s) {
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 3);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 2);
        dup2(devnull, 1);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "+extension", "GLX", "+extension", "RANDR", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string text;
    char buf[32];
    pollfd p = {fds[0], POLLIN, 0};
    while (text.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, size_t(n));
    }
    close(fds[0]);
    s->pid = pid;
    s->display = text.empty() ? -1 : std::atoi(text.c_str());
    if (s->display < 0) {
        StopServer(*s);
        return false;
    }
    return true;
}

void StopServer(Server& s) {
    if (s.pid > 0) {
        kill(s.pid, SIGTERM);
        waitpid(s.pid, nullptr, 0);
    }
    s.pid = 0;
}

Child SpawnSelf(const char* test, int display) {
    int fds[2];
    Child c;
    if (pipe(fds) != 0)
        return c;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        const std::string d = ":" + std::to_string(display);
        const std::string filter = std::string("--gtest_filter=") + test;
        setenv("DISPLAY", d.c_str(), 1);
        setenv("VELVIX_PLATFORM_CHILD", "1", 1);
        execl("/proc/self/exe", "test_platform", filter.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    c.pid = pid;
    c.fd = fds[0];
    return c;
}

std::string ReadUntil(const Child& c, const char* token, int ms) {
    std::string out;
    const auto start = std::chrono::steady_clock::now();
    char buf[512];
    while (out.find(token) == std::string::npos && Ms(start) < ms) {
        pollfd p = {c.fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = read(c.fd, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, size_t(n));
    }
    return out;
}

int WaitChild(Child& c, int ms, std::string* rest) {
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(c.pid, &status, WNOHANG)) == 0 && Ms(start) < ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (done == 0) {
        kill(c.pid, SIGKILL);
        waitpid(c.pid, &status, 0);
    }
    if (rest)
        *rest += ReadUntil(c, "\x01never", 200);
    close(c.fd);
    c.fd = -1;
    return done == 0 ? -1 : (WIFEXITED(status) ? WEXITSTATUS(status) : -2);
}

bool IsChild() {
    return std::getenv("VELVIX_PLATFORM_CHILD") != nullptr;
}

} // namespace ptest
