// x_client.h - what the end-to-end tests do as a window manager would, kept apart so that no
// X header reaches the other test files.
#pragma once

namespace e2e {

// Sends the window manager's close request (WM_PROTOCOLS / WM_DELETE_WINDOW) to the X window
// with the given id, on a connection of its own. False if the display cannot be opened.
bool SendCloseRequest(unsigned long window);

} // namespace e2e
