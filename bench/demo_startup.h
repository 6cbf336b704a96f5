// demo_startup.h - the demo's start-up with its question answered No, for the benchmarks that
// measure the demo's own window: window and context, projection, light and scene.
#pragma once

#include <GL/gl.h>

#include "scene/scene.h"
#include "velvix.h"

inline void StartDemoWindow() {
    using namespace velvix;
    OGLWindowSetting(Arrow, "", Generic, "");
    CreateOGLWindow("Particelle Volumetriche", 800, 600, 32, false);
    OpenGL_Init(100, 0, 0, 0, 0);
    SetGLRefractive();
    SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
    OpenGL_CreateList();
}
