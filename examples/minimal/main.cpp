// main.cpp - the smallest Velvix host program: opens the framework window, draws a few frames
// of a turning triangle under the mouse camera, checks that the clear colour reached the frame
// and closes the window. Exits 0 when all went well, 2 when the frame was not drawn.
#include "velvix.h" // the framework and OpenGL: nothing else is needed

using namespace velvix;

int main() {
    OGLWindowSetting(Arrow, "", Generic, "");
    CreateOGLWindow("Velvix minimal", 320, 240, 32, false);
    OpenGL_Init(100, 1, 0.0, 0.5, 1.0); // depth, then alpha, red, green, blue

    bool cleared = true;
    for (int frame = 0; frame < 5 && Active; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SetGLMsg();
        glLoadIdentity();
        glTranslatef(0, 0, -6);
        SetGLMouseMove(GL_M0, 2);
        glRotatef(frame * 10.0f, 0, 1, 0);
        glBegin(GL_TRIANGLES);
        glVertex3f(-1, -1, 0);
        glVertex3f(1, -1, 0);
        glVertex3f(0, 1, 0);
        glEnd();
        // A corner pixel away from the triangle shows the clear colour.
        unsigned char pixel[4] = {};
        glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        cleared = cleared && pixel[0] < 8 && pixel[1] > 120 && pixel[1] < 136 && pixel[2] > 247;
        SwapBuffers(DCWindow);
    }

    DeleteOGLWindow();
    return cleared ? 0 : 2;
}
