// statusbar.h - the optional status bar along the bottom of the main window, made with the
// status-bar common control when the host sets ShowStatusBar before CreateOGLWindow.
#pragma once

#include "platform/win32.h"

namespace velvix {

// Creates the status bar as a child of `Parent` showing "Percorso file", with the first
// MaxStatusItem parts ending at StatusItem[1..]. Returns its handle (also kept in AWnd), 0 on
// failure.
HWND CreateStatusBar(HWND Parent);

} // namespace velvix
