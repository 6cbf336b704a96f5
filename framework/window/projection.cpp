// projection.cpp - OpenGL_Init and OpenGL_I2D. Neither switches lighting, texturing, culling or
// blending, and neither draws or clears.
#include "framework/window/projection.h"

#include "framework/window/state.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace velvix {

void OpenGL_Init(double Depth, double A, double R, double G, double B) {
    glClearColor(static_cast<GLfloat>(R), static_cast<GLfloat>(G), static_cast<GLfloat>(B),
                 static_cast<GLfloat>(A));
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, static_cast<double>(Width) / Height, 0.1, Depth);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearDepth(Depth);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1, 1, 1, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    // No glEnable(GL_RENDER) here: GL_RENDER is a render mode, not a capability, and would
    // only raise GL_INVALID_ENUM.
}

void OpenGL_I2D(double A, double R, double G, double B) {
    // The integer quotient, not the ratio: 0 for every window wider than tall. A zero width
    // (no window yet) counts as 0 instead of trapping on the integer division.
    const int32_t q = Width != 0 ? Height / Width : 0;
    OffX = static_cast<float>(q - 2.05);
    OffY = static_cast<float>(q - 1.45);
    glClearColor(static_cast<GLfloat>(R), static_cast<GLfloat>(G), static_cast<GLfloat>(B),
                 static_cast<GLfloat>(A));
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, (-2 * Height) / static_cast<double>(Width),
            (2 * Height) / static_cast<double>(Width), -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_NORMALIZE);
}

} // namespace velvix
