// bench_input_lag.cpp - prints the lag from the last motion of a mouse drag to the end of the
// first frame drawn with it, on the demo's full scene at 800 x 600 (its real frame rate here),
// beside the frame time itself. A child process drags with xdotool for about two seconds while
// the frame loop runs as the demo's does. Not a test: it prints figures.
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "demo_startup.h"
#include "scene/scene.h"
#include "velvix.h"

using namespace velvix;

namespace {

double NowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Frame {
    double end;
    float xrot, yrot;
};

} // namespace

int main() {
    StartDemoWindow();
    POINT origin = {0, 0};
    ClientToScreen(HWindow, &origin);

    int fds[2];
    if (pipe(fds) != 0)
        return 1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const int x = origin.x + 200, y = origin.y + 200;
        std::string drag = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
                           " sleep 0.5 mousedown 1";
        if (std::system(drag.c_str()) != 0)
            _exit(1);
        // 40 steps of (3, 2) pixels, 50 ms apart: 120 right and 80 down in two seconds.
        for (int i = 1; i <= 40; ++i) {
            std::string step = "xdotool mousemove " + std::to_string(x + 3 * i) + " " +
                               std::to_string(y + 2 * i) + " sleep 0.05";
            if (std::system(step.c_str()) != 0)
                _exit(1);
        }
        const double last = NowMs() - 50; // the last move went out before its sleep
        if (write(fds[1], &last, sizeof last) != sizeof last)
            _exit(1);
        std::system("xdotool sleep 1.5 mouseup 1");
        _exit(0);
    }
    close(fds[1]);
    std::vector<Frame> frames;
    double last = 0;
    int after = -1;
    int status = 0;
    bool childDone = false;
    while (after != 0) {
        glClear(GL_COLOR_BUFFER_BIT);
        SetGLMsg();
        OpenGL_Draw();
        SwapBuffers(DCWindow);
        glFinish();
        frames.push_back({NowMs(), XRot, YRot});
        if (!childDone && waitpid(child, &status, WNOHANG) == child) {
            childDone = true;
            if (read(fds[0], &last, sizeof last) != sizeof last)
                return 1;
            after = 5; // a few more frames, then stop
        } else if (after > 0) {
            --after;
        }
    }
    DeleteOGLWindow();
    // The angles the whole drag gives: (80 / 2) x 2 and (120 / 2) x 2.
    const float wantX = 80, wantY = 120;
    double frameSum = 0;
    for (size_t i = 1; i < frames.size(); ++i)
        frameSum += frames[i].end - frames[i - 1].end;
    const double frameMs = frameSum / double(frames.size() - 1);
    for (const Frame& f : frames)
        if (f.xrot == wantX && f.yrot == wantY && f.end >= last) {
            std::printf("Input lag on the full scene at 800 x 600\n");
            std::printf("  frame time                                  %8.1f ms\n", frameMs);
            std::printf("  last drag motion to the end of its frame    %8.1f ms (%.2f frames)\n",
                        f.end - last, (f.end - last) / frameMs);
            return 0;
        }
    std::printf("the drag never reached the camera whole: XRot %.1f YRot %.1f (want %.0f, %.0f)\n",
                frames.back().xrot, frames.back().yrot, wantX, wantY);
    return 1;
}
