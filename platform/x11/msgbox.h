// msgbox.h - the modal message box on X11, behind MessageBoxA. Platform-internal: it includes
// Xlib, so only platform files include it.
#pragma once

#include <X11/Xlib.h>

#include <functional>

namespace velvix::x11 {

// Shows a modal dialog on `dpy` and returns IDOK, IDYES or IDNO (0 if it cannot be shown).
// `type` is the MB_ style. Every X event that is not for the dialog's own windows is handed to
// `foreign` so that the caller can turn it into messages for its windows and dispatch them
// (other windows keep being repainted while the box is open).
//
// `text` and `caption` are Windows-1252; a null caption shows "Error". Styles with more
// answers (MB_OKCANCEL, MB_YESNOCANCEL, MB_ABORTRETRYIGNORE, MB_RETRYCANCEL) get their own
// buttons and may also return IDCANCEL, IDABORT, IDRETRY or IDIGNORE; unknown styles are MB_OK.
//
// `owner`, when not 0, is the X window the box belongs to: window managers keep the box above
// it and treat the two as one program window.
int RunMessageBox(Display* dpy, const char* text, const char* caption, unsigned type,
                  const std::function<void(XEvent&)>& foreign, Window owner = 0);

} // namespace velvix::x11
