// live_input_test.cpp - input stays live at a realistic frame cost: the framework window and the
// frame loop run in this process with 180 ms per frame (about what a full demo frame costs on a
// software renderer) while a child process drags with xdotool for three seconds and then
// presses Escape. The whole drag must reach the camera, and the loop must end within two frames
// of the Escape.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "velvix.h"

#include <GL/gl.h>

using namespace velvix;

namespace {

// Left drag from (100, 100) to (200, 160) in 30 steps over 3 s, release, a pause, Escape.
std::string DragScript(const char* title) {
    std::string s = "timeout 20 xdotool search --sync --onlyvisible --name '^" +
                    std::string(title) + "$' >/dev/null && xdotool mousemove 100 100 mousedown 1";
    for (int i = 1; i <= 30; ++i)
        s += " sleep 0.1 mousemove " + std::to_string(100 + 100 * i / 30) + " " +
             std::to_string(100 + 2 * i);
    s += " mouseup 1 sleep 1 key Escape";
    return s;
}

TEST(LiveInput, ADragUnderSlowFramesReachesTheCameraAndEscapeEndsPromptly) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    const char* title = "velvix live input";
    OGLWindowSetting(Arrow, "", Generic, "");
    CreateOGLWindow(title, 320, 240, 32, false);
    OpenGL_Init(100, 0, 0, 0, 0);

    const std::string script = DragScript(title);
    const pid_t driver = fork();
    if (driver == 0) {
        execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(driver, 0);

    int frame = 0, driverDoneAt = -1, driverStatus = -1;
    do {
        glClear(GL_COLOR_BUFFER_BIT);
        SetGLMsg();
        glLoadIdentity(); // the scene's camera step, which also sets the mouse speed
        SetGLMouseMove(GL_M0, 2);
        SwapBuffers(DCWindow);
        Sleep(180);
        ++frame;
        if (driverDoneAt < 0 && waitpid(driver, &driverStatus, WNOHANG) == driver)
            driverDoneAt = frame;
    } while (Active && frame < 200); // 36 s: far beyond the script, so a lost Escape fails
    DeleteOGLWindow();

    if (driverDoneAt < 0) {
        kill(driver, SIGKILL);
        waitpid(driver, &driverStatus, 0);
    }
    ASSERT_TRUE(WIFEXITED(driverStatus) && WEXITSTATUS(driverStatus) == 0) << "xdotool failed";
    EXPECT_FALSE(Active) << "Escape never ended the loop";
    EXPECT_LE(frame - driverDoneAt, 2) << "frames drawn after the Escape";
    // 60 pixels down and 100 right, halved, times the speed 2.
    EXPECT_FLOAT_EQ(XRot, 60);
    EXPECT_FLOAT_EQ(YRot, 100);
    EXPECT_FALSE(LeftMouseDown);
}

} // namespace
