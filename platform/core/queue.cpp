// queue.cpp - the thread's message queue and the calls around it: posting, peeking, getting,
// translating and dispatching messages, painting bookkeeping and DefWindowProcA.
//
// Order of retrieval, as on the original platform: posted messages, then the quit request,
// then input, then WM_PAINT for a window that is invalid (produced only when nothing else
// waits, once per window until it is validated). A pointer motion replaces the window's pending
// WM_MOUSEMOVE when that is the newest input of all, so a slow reader always sees the newest
// position and never a backlog, and input for different windows is never reordered.
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/core/internal.h"
#include "platform/gdi/dc.h"

namespace velvix::core {

bool MatchesFilter(const MSG& m, HWND filter, UINT min, UINT max) {
    if (filter && m.hwnd != filter && !IsDescendant(filter, m.hwnd))
        return false;
    if (min == 0 && max == 0)
        return true;
    return m.message >= min && m.message <= max;
}

void MessageQueue::PostInput(const QueuedMessage& q) {
    // Coalesce only with the newest input of all: replacing an older move would put it ahead
    // of whatever another window received after it.
    if (q.msg.message == WM_MOUSEMOVE && !input_.empty() &&
        input_.back().msg.message == WM_MOUSEMOVE && input_.back().msg.hwnd == q.msg.hwnd) {
        input_.back() = q;
        return;
    }
    input_.push_back(q);
}

namespace {
bool TakeFrom(std::deque<QueuedMessage>& d, QueuedMessage* out, HWND filter, UINT min, UINT max,
              bool remove) {
    for (auto it = d.begin(); it != d.end(); ++it) {
        if (MatchesFilter(it->msg, filter, min, max)) {
            *out = *it;
            if (remove)
                d.erase(it);
            return true;
        }
    }
    return false;
}
} // namespace

bool MessageQueue::Take(QueuedMessage* out, HWND filter, UINT min, UINT max, bool remove) {
    if (TakeFrom(posted_, out, filter, min, max, remove))
        return true;
    // The quit request ignores the range: a loop that filters must still be able to end.
    if (quit_) {
        *out = QueuedMessage{};
        out->msg.message = WM_QUIT;
        out->msg.wParam = WPARAM(quitCode_);
        out->msg.time = NowMs();
        if (remove)
            quit_ = false;
        return true;
    }
    return TakeFrom(input_, out, filter, min, max, remove);
}

void MessageQueue::Purge(HWND h) {
    auto drop = [h](std::deque<QueuedMessage>& d) {
        for (auto it = d.begin(); it != d.end();)
            it = it->msg.hwnd == h ? d.erase(it) : it + 1;
    };
    drop(posted_);
    drop(input_);
}

DWORD NowMs() {
    using namespace std::chrono;
    return DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void InvalidateWindow(Window* w, bool erase) {
    w->invalid = true;
    w->erase = w->erase || erase;
}

namespace {

// The key message last taken off the queue, with the character it translates to.
QueuedMessage g_lastKey;

// A WM_PAINT for the first invalid, visible window the filter accepts.
bool PaintMessage(MSG* out, HWND filter, UINT min, UINT max) {
    bool found = false;
    ForEachWindow([&](Window* w) {
        if (found || !w->invalid || !w->visible || w->destroying)
            return;
        MSG m = {};
        m.hwnd = w->self;
        m.message = WM_PAINT;
        m.time = NowMs();
        if (MatchesFilter(m, filter, min, max)) {
            *out = m;
            found = true;
        }
    });
    return found;
}

bool Retrieve(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
    QueuedMessage q;
    if (Queue().Take(&q, filter, min, max, remove)) {
        *out = q.msg;
        if (remove && (q.msg.message == WM_KEYDOWN || q.msg.message == WM_SYSKEYDOWN))
            g_lastKey = q;
        return true;
    }
    return PaintMessage(out, filter, min, max);
}

} // namespace
} // namespace velvix::core

using namespace velvix::core;

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hWnd, UINT min, UINT max, UINT remove) {
    if (!msg)
        return FALSE;
    backend::PumpEvents(false);
    return Retrieve(msg, hWnd, min, max, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hWnd, UINT min, UINT max) {
    if (!msg)
        return -1;
    backend::PumpEvents(false);
    while (!Retrieve(msg, hWnd, min, max, true)) {
        if (!backend::HasDisplay()) {
            // Nothing can ever arrive but posted messages, and nobody else posts: wait politely.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        backend::PumpEvents(true);
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    const MSG& k = g_lastKey.msg;
    if (!g_lastKey.ch || k.hwnd != msg->hwnd || k.message != msg->message ||
        k.wParam != msg->wParam || k.lParam != msg->lParam)
        return FALSE;
    MSG ch = *msg;
    ch.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    ch.wParam = g_lastKey.ch;
    Queue().Post(ch);
    g_lastKey = QueuedMessage{};
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg)
        return 0;
    Window* w = LookupLiveWindow(msg->hwnd);
    if (!w)
        return 0;
    if (msg->message == WM_PAINT && !w->invalid)
        return 0; // validated since it was peeked
    return CallProc(w, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    return CallProc(LookupLiveWindow(hWnd), msg, wp, lp);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT message, WPARAM wp, LPARAM lp) {
    if (hWnd && !LookupLiveWindow(hWnd))
        return FALSE;
    MSG m = {};
    m.hwnd = hWnd;
    m.message = message;
    m.wParam = wp;
    m.lParam = lp;
    m.time = NowMs();
    GetCursorPos(&m.pt);
    Queue().Post(m);
    return TRUE;
}

void WINAPI PostQuitMessage(int code) {
    Queue().PostQuit(code);
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL erase) {
    Window* w = LookupLiveWindow(hWnd);
    if (!w)
        return FALSE;
    InvalidateWindow(w, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT*) {
    Window* w = LookupLiveWindow(hWnd);
    if (!w)
        return FALSE;
    // The whole window is valid again: no erase is owed either.
    w->invalid = false;
    w->erase = false;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    Window* w = LookupLiveWindow(hWnd);
    if (!w)
        return FALSE;
    if (w->invalid && w->visible)
        CallProc(w, WM_PAINT, 0, 0);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT ps) {
    Window* w = LookupLiveWindow(hWnd);
    if (!w || !ps)
        return nullptr;
    std::memset(ps, 0, sizeof *ps);
    ps->hdc = GetDC(hWnd);
    ps->rcPaint = RECT{0, 0, w->width, w->height};
    const bool erase = w->erase;
    w->invalid = false;
    w->erase = false;
    if (erase)
        ps->fErase = SendMessageA(hWnd, WM_ERASEBKGND, WPARAM(ps->hdc), 0) ? FALSE : TRUE;
    return ps->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wp & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hWnd, SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hWnd, SW_RESTORE);
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window, through the same road as the close button.
        if (wp == VK_F4 && (lp & (1 << 29)))
            SendMessageA(TopLevelOf(hWnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        Window* w = LookupWindow(hWnd);
        return w && w->cls && w->cls->wc.hbrBackground ? 1 : 0;
    }
    case WM_SETTEXT:
        return SetWindowTextA(hWnd, reinterpret_cast<LPCSTR>(lp));
    case WM_GETTEXT:
        return GetWindowTextA(hWnd, reinterpret_cast<LPSTR>(lp), int(wp));
    case WM_GETTEXTLENGTH: {
        Window* w = LookupWindow(hWnd);
        return w ? LRESULT(w->text.size()) : 0;
    }
    default:
        return 0;
    }
}

DWORD WINAPI GetTickCount(void) {
    return NowMs();
}

void WINAPI Sleep(DWORD ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    // One module: the program. Its handle only has to be a stable, non-null value.
    return name ? nullptr : reinterpret_cast<HMODULE>(uintptr_t(0x400000));
}

void WINAPI GetStartupInfoA(LPSTARTUPINFOA info) {
    if (!info)
        return;
    std::memset(info, 0, sizeof *info);
    info->cb = sizeof *info;
    info->wShowWindow = SW_SHOWDEFAULT;
}

} // extern "C"
