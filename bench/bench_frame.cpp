// bench_frame.cpp - prints the cost of the demo's frame at 800 x 600 beside an empty frame
// (clear and swap only) measured in the same run on the same window, and the cost of one
// SetGLMsg with an empty queue. Run it in the folder with the demo's pictures (scripts/bench.sh
// does), on any X display. Not a test: it prints figures.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "demo_startup.h"
#include "scene/scene.h"
#include "velvix.h"

using namespace velvix;
using Clock = std::chrono::steady_clock;

namespace {

template <class F> double MedianMs(int repeats, F&& f) {
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Finish() {
    glFinish(); // the frame is drawn, not only queued
}

} // namespace

int main() {
    StartDemoWindow();
    for (int i = 0; i < 3; ++i) { // warm-up: shaders, textures, page faults
        glClear(GL_COLOR_BUFFER_BIT);
        OpenGL_Draw();
        SwapBuffers(DCWindow);
    }
    Finish();
    const double empty = MedianMs(30, [] {
        glClear(GL_COLOR_BUFFER_BIT);
        SwapBuffers(DCWindow);
        Finish();
    });
    const double scene = MedianMs(15, [] {
        glClear(GL_COLOR_BUFFER_BIT);
        OpenGL_Draw();
        SwapBuffers(DCWindow);
        Finish();
    });
    // An empty queue: SetGLMsg peeks and returns.
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    const int calls = 100000;
    const auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
        SetGLMsg();
    const double pump =
        std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / calls;

    std::printf("Frame at %d x %d (client %s), median of 15 after 3 warm-up frames\n", Width,
                Height, "of an 800 x 600 window");
    std::printf("  scene frame   %8.2f ms  %7.1f frames/s\n", scene, 1000 / scene);
    std::printf("  empty frame   %8.2f ms  %7.1f frames/s   (clear + swap, same window)\n", empty,
                1000 / empty);
    std::printf("  scene / empty %8.1fx\n", scene / empty);
    std::printf("  SetGLMsg with an empty queue: %.3f us per call\n", pump);
    DeleteOGLWindow();
    return 0;
}
