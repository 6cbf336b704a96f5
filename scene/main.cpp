// main.cpp - the demo's entry: asks whether to run full screen, sets up the window, projection,
// light and scene, then draws frames until the window procedure clears Active. Reads no
// arguments, environment or files of its own; exits with 0 after a normal end.
#include "velvix.h"

#include <GL/gl.h>

#include "scene/scene.h"

using namespace velvix;

int main() {
    FullScreen = MessageBoxA(nullptr, "Settare lo schermo intero?  ", "Video!",
                             MB_YESNO | MB_ICONQUESTION) != IDNO;
    OGLWindowSetting(Arrow, "", Generic, "");
    // Every failure inside ends the process with its message box, so the result says nothing.
    CreateOGLWindow("Particelle Volumetriche", 800, 600, 32, FullScreen);
    OpenGL_Init(100, 0, 0, 0, 0);
    SetGLRefractive();
    SetGLLight(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
    OpenGL_CreateList();

    // No frame timing: the loop runs as fast as drawing and swapping allow. Window events, and
    // with them the end of the loop, arrive only through SetGLMsg; the turn in which Active
    // goes false still draws and swaps once.
    do {
        glClear(GL_COLOR_BUFFER_BIT);
        SetGLMsg();
        OpenGL_Draw();
        SwapBuffers(DCWindow);
    } while (Active);

    DeleteOGLWindow();
    return 0;
}
