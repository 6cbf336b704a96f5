// window.cpp - creation and teardown of the framework's window and rendering context, and the
// fatal-error exit. WindowRegister also registers the image-button class.
#include "framework/window/window.h"

#include <cstdlib>

#include "framework/buttons/image_button.h"
#include "framework/window/state.h"
#include "framework/window/statusbar.h"
#include "framework/window/wndproc.h"

#include <GL/gl.h>

#include "framework/geometry/capture.h"

namespace velvix {
namespace {

const char* const kClassName = "GLWindow";

// pixel-format flags every request carries: double buffer, stereo, draw to window, OpenGL,
// generic format and generic acceleration (0x1067)
constexpr DWORD kPixelFormatFlags = PFD_DOUBLEBUFFER | PFD_STEREO | PFD_DRAW_TO_WINDOW |
                                    PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT |
                                    PFD_GENERIC_ACCELERATED;

// System cursor of each cursor type, indexed by type; type 7 comes from a file instead.
const LPCSTR kSystemCursors[] = {
    nullptr,     IDC_ARROW, IDC_IBEAM,    IDC_WAIT,        IDC_CROSS,  IDC_UPARROW,
    IDC_SIZE,    nullptr,   IDC_SIZENWSE, IDC_SIZENESW,    IDC_SIZEWE, IDC_SIZENS,
    IDC_SIZEALL, IDC_NO,    IDC_HAND,     IDC_APPSTARTING, IDC_HELP,
};

// The class cursor for SetTypeCursor; null for a type outside 1..16 or an unreadable file.
HCURSOR ClassCursor() {
    if (SetTypeCursor == FileCursor)
        return CursorFile ? LoadCursorFromFileA(CursorFile) : nullptr;
    if (SetTypeCursor >= Arrow && SetTypeCursor <= Help)
        return LoadCursorA(nullptr, kSystemCursors[SetTypeCursor]);
    return nullptr;
}

// The class icon for SetTypeIcon; null for a type other than 1 and 2. A file icon goes through
// the cursor-from-file loader, which reads both formats.
HICON ClassIcon() {
    if (SetTypeIcon == Generic)
        return LoadIconA(nullptr, IDI_APPLICATION);
    if (SetTypeIcon == FileIcon)
        return IconFile ? LoadCursorFromFileA(IconFile) : nullptr;
    return nullptr;
}

// The show command the process was started with.
int StartupShowCommand() {
    STARTUPINFOA info = {};
    info.cb = sizeof(info);
    GetStartupInfoA(&info);
    // Without STARTF_USESHOWWINDOW the field carries no request (and would read as SW_HIDE).
    return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

} // namespace

void ThrowError(const char* pcErrorMessage) {
    MessageBoxA(nullptr, pcErrorMessage, "Error", MB_OK);
    // A set-up failure must not look like success to whoever started the program.
    std::exit(1);
}

void OGLWindowSetting(int32_t TypeCursor, const char* CurFile, int32_t TypeIcon,
                      const char* IcoFile) {
    if (MouseFree) {
        Start = GetTickCount();
        SetCursorPos(Width / 2, Height / 2);
    }
    FogOnOff = true;
    SetTypeCursor = TypeCursor;
    CursorFile = CurFile;
    SetTypeIcon = TypeIcon;
    IconFile = IcoFile;
    // Normally no context is current yet: these calls then do nothing and ObjNull stays 0.
    ObjNull = glGenLists(1);
    glNewList(ObjNull, GL_COMPILE);
    glEndList();
    GLVert3fRemove = false;
    GLVert3fEnableEdit = false;
}

bool WindowRegister() {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GLWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = ClassIcon();
    wc.hCursor = ClassCursor();
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kClassName;
    const bool registered = RegisterClassA(&wc) != 0;

    // The image-button class too, unless it exists; its outcome does not change the result.
    RegisterImageButtonClass();

    return registered;
}

HWND WindowCreate(const char* pcApplicationName) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window;
    if (FullScreen) {
        Width = GetSystemMetrics(SM_CXSCREEN);
        Height = GetSystemMetrics(SM_CYSCREEN);
        window = CreateWindowExA(
            0, kClassName, pcApplicationName,
            WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU,
            CW_USEDEFAULT, CW_USEDEFAULT, Width, Height, nullptr, nullptr, instance, nullptr);
    } else {
        window = CreateWindowExA(0, kClassName, pcApplicationName,
                                 WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                     WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, Width, Height, nullptr, nullptr,
                                 instance, nullptr);
    }
    if (window) {
        ShowWindow(window, StartupShowCommand());
        UpdateWindow(window);
    }
    return window;
}

bool WindowInit(HWND hParent) {
    int error = 0;
    DCWindow = GetDC(hParent);

    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = static_cast<DWORD>(Pixel_Format_Flags) | kPixelFormatFlags;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<BYTE>(Bits);
    pfd.cAlphaBits = static_cast<BYTE>(Bits);
    pfd.cAccumBits = static_cast<BYTE>(Bits);
    pfd.cDepthBits = static_cast<BYTE>(Bits);
    pfd.cStencilBits = static_cast<BYTE>(Bits);
    pfd.cAuxBuffers = static_cast<BYTE>(Bits);
    pfd.iLayerType = 1;

    // Every step runs even after an earlier one failed; the last failure decides the code.
    const int format = ChoosePixelFormat(DCWindow, &pfd);
    if (format == 0)
        error = 1;
    SetPixelFormat(DCWindow, format, &pfd);
    RCWindow = wglCreateContext(DCWindow);
    if (!RCWindow)
        error = 2;
    wglMakeCurrent(DCWindow, RCWindow);
    return error == 0;
}

bool CreateOGLWindow(const char* AppName, int32_t AppWidth, int32_t AppHeight, int32_t AppBits,
                     bool AppFullScreen) {
    Width = AppWidth;
    Height = AppHeight;
    Bits = AppBits;
    FullScreen = AppFullScreen;
    if (!WindowRegister())
        ThrowError("Errore di registro per la rispettiva applicazione!");
    HWindow = WindowCreate(AppName);
    if (ShowMenuBar && CreateMenuBar) // a host that forgot the hook gets no menu, not a crash
        CreateMenuBar();
    if (ShowStatusBar)
        HStatus = CreateStatusBar(HWindow);
    if (!HWindow)
        ThrowError("Impossibile creare la finestra per la rispettiva applicazione!");
    if (!WindowInit(HWindow))
        ThrowError("la rispettiva applicazione non \xE8 stata inizilizata!");
    return true;
}

void DeleteOGLWindow() {
    wglMakeCurrent(DCWindow, nullptr);
    wglDeleteContext(RCWindow);
    ReleaseDC(HWindow, DCWindow);
    DestroyWindow(HWindow);
}

} // namespace velvix
