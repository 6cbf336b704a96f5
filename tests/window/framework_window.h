// framework_window.h - the framework's own window, made once per test process, and the small
// helpers the window tests share (message-box capture, queue draining).
#pragma once

#include <string>

#include "velvix.h"

namespace window_test {

// Creates the framework window (320 x 240, windowed) on first use; the GL context stays current.
// Every call drains the queue and restores Active, Width/Height and the input/camera state.
void UseFrameworkWindow();

// Resets the keyboard, mouse and camera state to its start values.
void ResetInputState();

// Removes every queued message without dispatching it.
void DrainQueue();

// Message boxes go to stderr as "caption: text" and answer IDOK, so a child process can be
// checked through its output and exit code.
void CaptureMessageBoxes();

} // namespace window_test
