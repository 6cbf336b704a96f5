// A host program of the framework: a window with a status bar of three parts and two image
// buttons (Play and Stop). Each click is reported in the status bar; the background colour
// follows the last button clicked. Escape or closing the window ends it.
//
// Run it in the folder that holds PLAYN.BMP ... STOPP.BMP (scripts/run.sh buttons does).
#include "velvix.h"

#include <cstdio>

using namespace velvix;

namespace {

constexpr int kPlay = 101, kStop = 102;
int g_clicks[2] = {0, 0};
bool g_playing = false;

void Report() {
    char text[96];
    std::snprintf(text, sizeof text, "Play: %d clicks", g_clicks[0]);
    SendMessageA(HStatus, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    std::snprintf(text, sizeof text, "Stop: %d clicks", g_clicks[1]);
    SendMessageA(HStatus, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text));
}

LRESULT CALLBACK OnCommand(HWND, UINT, WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    if (id == kPlay || id == kStop) {
        ++g_clicks[id == kPlay ? 0 : 1];
        g_playing = id == kPlay;
        std::printf("clicked %d\n", id);
        std::fflush(stdout);
        Report();
    }
    return 0;
}

void NoMenu() {}

HWND Button(const char* prefix, int x, int y, int id) {
    BMPType = prefix; // read when the button is created
    // The button places itself relative to its parent's outer rectangle, 3 and 19 pixels in.
    RECT outer;
    GetWindowRect(HWindow, &outer);
    POINT origin = {0, 0};
    ClientToScreen(HWindow, &origin);
    const int dx = 3 - (origin.x - outer.left), dy = 19 - (origin.y - outer.top);
    return CreateWindowExA(0, "IMAGEBUTTON", prefix, WS_CHILD | WS_VISIBLE, x + dx, y + dy, 10, 10,
                           HWindow, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

} // namespace

int main() {
    ShowMenuBar = true; // lets GetInputCommand receive the buttons' WM_COMMAND
    CreateMenuBar = NoMenu;
    CreateMouseMenu = NoMenu;
    GetInputCommand = OnCommand;
    ShowStatusBar = true;
    MaxStatusItem = 3;
    StatusItem[1] = 200;
    StatusItem[2] = 400;
    StatusItem[3] = -1;
    OGLWindowSetting(Arrow, "", Generic, "");
    CreateOGLWindow("Velvix image buttons", 640, 480, 32, false);
    OpenGL_Init(100, 0, 0, 0, 0);
    Button("PLAY", 24, 24, kPlay);
    Button("STOP", 160, 24, kStop);
    Report();
    do {
        if (g_playing)
            glClearColor(0.10f, 0.25f, 0.15f, 1);
        else
            glClearColor(0.25f, 0.10f, 0.10f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        SetGLMsg();
        SwapBuffers(DCWindow);
        Sleep(10); // nothing moves: no need to draw flat out
    } while (Active);
    DeleteOGLWindow();
    return 0;
}
