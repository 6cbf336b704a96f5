// helpers.h - what the platform tests share: a window procedure that records every message,
// queue draining, and child processes on private X servers (for a window manager, or to pull
// the server away from under a program).
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace ptest {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Every message any recording window received, in order.
std::vector<Seen>& Log();
// The messages of `log` with code `msg`.
std::vector<Seen> Only(const std::vector<Seen>& log, UINT msg);

// A class whose procedure records, then hands everything to DefWindowProcA.
const char* RecordingClass();
HWND MakeWindow(DWORD style, int x, int y, int w, int h, HWND parent = nullptr,
                const char* title = "velvix platform test", UINT_PTR id = 0);

// Takes every queued message (WM_PAINT included) without dispatching.
std::vector<MSG> Drain(HWND filter = nullptr);
// Dispatches every queued message.
void Pump();

// A private Xvfb, for tests that need their own server.
struct Server {
    int pid = 0;
    int display = -1;
};
bool StartServer(Server* s);
void StopServer(Server& s);

// Runs this test program again with only `test` (a gtest filter) on display `display`, with
// VELVIX_PLATFORM_CHILD=1 in its environment; stdout and stderr come through `fd`.
struct Child {
    int pid = 0;
    int fd = -1;
};
Child SpawnSelf(const char* test, int display);
// Reads the child's output until `token` appears or `ms` pass; returns what was read.
std::string ReadUntil(const Child& c, const char* token, int ms);
// Waits up to `ms` for the child; its exit code, or -1 when it had to be killed.
int WaitChild(Child& c, int ms, std::string* rest);
bool IsChild();

} // namespace ptest
