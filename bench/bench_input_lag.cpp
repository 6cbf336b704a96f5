// bench_input_lag.cpp - prints the lag from the last motion of a mouse drag to the end of the
// first frame drawn with it, on the demo's full scene at 800 x 600 (its real frame rate here),
// beside the frame time itself; then the time from an Escape pressed right after the drag to
// the end of the loop. A child process drags with xdotool for three seconds while the frame
// loop runs as the demo's does. Not a test: it prints figures.
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
        // 60 steps of (2, 1) pixels, 50 ms apart: 120 right and 60 down in three seconds.
        for (int i = 1; i <= 60; ++i) {
            std::string step = "xdotool mousemove " + std::to_string(x + 2 * i) + " " +
                               std::to_string(y + i) + " sleep 0.05";
            if (std::system(step.c_str()) != 0)
                _exit(1);
        }
        double times[2];
        times[0] = NowMs() - 50; // the last move went out before its sleep
        if (std::system("xdotool mouseup 1 sleep 0.3") != 0)
            _exit(1);
        // Taken when xdotool has sent the key, not when it was started: its start-up takes
        // tens of milliseconds that no program could react to.
        if (std::system("xdotool key Escape") != 0)
            _exit(1);
        times[1] = NowMs();
        if (write(fds[1], times, sizeof times) != sizeof times)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    std::vector<Frame> frames;
    // Until the Escape ends the loop, or 600 frames (two minutes) when it never does.
    do {
        glClear(GL_COLOR_BUFFER_BIT);
        SetGLMsg();
        OpenGL_Draw();
        SwapBuffers(DCWindow);
        glFinish();
        frames.push_back({NowMs(), XRot, YRot});
    } while (Active && frames.size() < 600);
    const bool ended = !Active;
    DeleteOGLWindow();
    int status = 0;
    double times[2] = {0, 0};
    const bool childOk = waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                         WEXITSTATUS(status) == 0 &&
                         read(fds[0], times, sizeof times) == sizeof times;
    if (!childOk) {
        std::printf("xdotool failed\n");
        return 1;
    }
    const double last = times[0], escape = times[1];
    // The angles the whole drag gives: (60 / 2) x 2 and (120 / 2) x 2.
    const float wantX = 60, wantY = 120;
    double frameSum = 0;
    for (size_t i = 1; i < frames.size(); ++i)
        frameSum += frames[i].end - frames[i - 1].end;
    const double frameMs = frameSum / double(frames.size() - 1);
    const Frame* shown = nullptr;
    for (const Frame& f : frames)
        if (f.xrot == wantX && f.yrot == wantY && f.end >= last) {
            shown = &f;
            break;
        }
    if (!shown) {
        std::printf("the drag never reached the camera whole: XRot %.1f YRot %.1f (want %.0f, "
                    "%.0f)\n",
                    frames.back().xrot, frames.back().yrot, wantX, wantY);
        return 1;
    }
    if (!ended) {
        std::printf("the Escape never ended the loop\n");
        return 1;
    }
    int afterEscape = 0;
    for (const Frame& f : frames)
        afterEscape += f.end > escape;
    const double endMs = frames.back().end - escape;
    std::printf("Input lag on the full scene at 800 x 600\n");
    std::printf("  frame time                                  %8.1f ms\n", frameMs);
    std::printf("  last drag motion to the end of its frame    %8.1f ms (%.2f frames)\n",
                shown->end - last, (shown->end - last) / frameMs);
    std::printf("  Escape after the drag to the loop's end     %8.1f ms (%.2f frames, %d drawn)\n",
                endMs, endMs / frameMs, afterEscape);
    return 0;
}
