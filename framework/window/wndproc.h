// wndproc.h - the window procedure that turns the main window's messages into framework state
// (Active, the key table, mouse flags, camera angles and distance), and the message pump that
// hands it at most one queued message per frame.
#pragma once

#include "platform/win32.h"

namespace velvix {

// Window procedure of the "GLWindow" class; called by the system only.
LRESULT CALLBACK GLWndProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam);

// Handles at most one queued message and returns at once when none is waiting. Called by the
// frame loop once per frame.
void SetGLMsg();

} // namespace velvix
