// window.h - the framework's one window and its OpenGL rendering context: the cursor and icon
// choice, creation (class, window, pixel format, context), teardown, and the fatal-error exit
// used when set-up fails. The window's behaviour once it exists is in wndproc.h.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace velvix {

// Cursor types for OGLWindowSetting (the class cursor chosen by WindowRegister).
constexpr int32_t Arrow = 1;
constexpr int32_t IBeam = 2;
constexpr int32_t Wait = 3;
constexpr int32_t Cross = 4;
constexpr int32_t UpArrow = 5;
constexpr int32_t Size = 6;
constexpr int32_t FileCursor = 7; // loaded from CursorFile
constexpr int32_t SizeNWSE = 8;
constexpr int32_t SizeNESW = 9;
constexpr int32_t SizeWE = 10;
constexpr int32_t SizeNS = 11;
constexpr int32_t SizeAll = 12;
constexpr int32_t NoCursor = 13;
constexpr int32_t Hand = 14;
constexpr int32_t AppStarting = 15;
constexpr int32_t Help = 16;

// Icon types for OGLWindowSetting.
constexpr int32_t Generic = 1;  // the standard application icon
constexpr int32_t FileIcon = 2; // loaded from IconFile

// Shows `pcErrorMessage` in a message box captioned "Error" and ends the process with exit
// code 1. The window and context are not released first.
[[noreturn]] void ThrowError(const char* pcErrorMessage);

// Stores the cursor and icon choice for the window class; the two strings are kept by pointer
// and must stay valid until CreateOGLWindow. Also resets the vertex-capture switches. Harmless
// without a current rendering context.
void OGLWindowSetting(int32_t TypeCursor, const char* CurFile, int32_t TypeIcon,
                      const char* IcoFile);

// Creates the window titled `AppName` (AppWidth x AppHeight outer size, or the whole screen when
// AppFullScreen) with a double-buffered rendering context made current. Every failure ends the
// process through ThrowError, so the result is always true. Once per process.
bool CreateOGLWindow(const char* AppName, int32_t AppWidth, int32_t AppHeight, int32_t AppBits,
                     bool AppFullScreen);

// Releases the rendering context and the device context and destroys the window. Failures
// (for instance a window the user already closed) are ignored; the handles keep their values.
void DeleteOGLWindow();

// The three steps of CreateOGLWindow, for hosts that need them one by one.
bool WindowRegister();
HWND WindowCreate(const char* pcApplicationName);
bool WindowInit(HWND hParent);

} // namespace velvix
