// platform_ext.h - what our platform layer offers beyond the Win32 names: hooks for tests and
// tools. Host programs do not need it; nothing here exists on Windows.
#pragma once

#include "platform/win32.h"

#if !defined(_WIN32)
extern "C" {

// Replaces every MessageBoxA call by a call of `hook` with the same arguments; its result is
// MessageBoxA's result. Tests capture message boxes this way instead of showing them. Null
// restores the real dialog. Returns the previous hook.
typedef int (*VelvixMessageBoxHook)(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
VelvixMessageBoxHook VelvixSetMessageBoxHook(VelvixMessageBoxHook hook);

// True when an X display can be (or already is) opened.
BOOL VelvixDisplayAvailable(void);

} // extern "C"
#endif
