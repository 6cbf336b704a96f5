// state.h - the framework's shared state: one window, one rendering context, one set of input
// and camera state per process. Every framework operation reads and writes these variables
// directly, and host programs may read the input and camera state between frames and set the
// configuration variables before CreateOGLWindow.
#pragma once

#include <cstdint>

#include "framework/core/range_array.h"
#include "platform/win32.h"

namespace velvix {

// A 32-bit boolean, as the key table stores it: 0 false, all bits set (-1) true.
typedef int32_t LongBool;
constexpr LongBool LongTrue = -1;
constexpr LongBool LongFalse = 0;

// A 3D vertex of three 32-bit floats (the mouse camera's last translation).
struct TGLVertex {
    float X, Y, Z;
};

// Window, device and rendering context.
extern HWND HWindow;               // the main window (class "GLWindow")
extern HDC DCWindow;               // its device context
extern HGLRC RCWindow;             // the OpenGL rendering context
extern int32_t Width;              // outer window width in pixels (the screen's in full screen)
extern int32_t Height;             // outer window height in pixels
extern int32_t Bits;               // colour depth asked for, 0..255
extern bool FullScreen;            // full-screen mode
extern bool Active;                // the window exists and the frame loop goes on
extern int32_t Pixel_Format_Flags; // extra flags OR-ed into the pixel format request
extern MSG Msg_;                   // buffer of the message pump

// Cursor and icon settings (OGLWindowSetting).
extern int32_t SetTypeCursor;
extern const char* CursorFile;
extern int32_t SetTypeIcon;
extern const char* IconFile;

// Menu and status-bar hooks; the host sets them before CreateOGLWindow.
extern bool ShowMenuBar;
extern void (*CreateMenuBar)();
extern void (*CreateMouseMenu)();
extern LRESULT(CALLBACK* GetInputCommand)(HWND, UINT, WPARAM, LPARAM);
extern bool ShowStatusBar;
extern HWND HStatus;
extern HWND AWnd;
extern char FileName[261];
extern RangeArray<int32_t, 1, 20> StatusItem;
extern RangeArray<int32_t, 1, 20> Edges;
extern int32_t MaxStatusItem;

// Keyboard and mouse state, written by GLWndProc.
extern RangeArray<LongBool, 0, 500> SetKey;
extern bool LeftMouseDown;
extern bool RightMouseDown;
extern bool LeftMouseDown2;
extern bool RightMouseDown2;
extern bool MouseFree;
extern int32_t XCoord, YCoord;
extern int32_t ZCoord;
extern int32_t SetMX, SetMY;
extern int32_t SetOMX, SetOMY;
extern POINT MPos;

// Camera state, written by GLWndProc and applied by SetGLMouseMove.
extern float XRot, YRot;
extern float Depth;
extern float XRot2, YRot2, Depth2;
extern int32_t MSpeed;
extern TGLVertex My;

// Projection offsets computed by OpenGL_I2D.
extern float OffX, OffY;

// Texture filter settings read by both texture loaders (initially GL_LINEAR).
extern int32_t GL_MIN_FILTER;
extern int32_t GL_MAG_FILTER;

// Set-up values written by OGLWindowSetting.
extern uint32_t Start;
extern bool FogOnOff;
extern uint32_t ObjNull;

} // namespace velvix
