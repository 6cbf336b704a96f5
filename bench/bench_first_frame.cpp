// bench_first_frame.cpp - the time from process start to the first frame on screen: our
// framework (the demo's start-up with the question answered at once: window, context,
// projection, light, scene, one frame) against a minimal GLFW program that opens the same
// window with a legacy context and swaps once. Both are started as fresh processes, 7 times
// each, alternating; the median wall-clock time to their exit is printed.
//
// With an argument it is one of the two programs: `ours` or `glfw`.
#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "demo_startup.h"
#include "scene/scene.h"
#include "velvix.h"

namespace {

// The framework doing what the GLFW program does: window, context, one cleared frame.
int OursEmpty() {
    using namespace velvix;
    OGLWindowSetting(Arrow, "", Generic, "");
    CreateOGLWindow("Particelle Volumetriche", 800, 600, 32, false);
    glClear(GL_COLOR_BUFFER_BIT);
    SetGLMsg();
    SwapBuffers(DCWindow);
    glFinish();
    DeleteOGLWindow();
    return 0;
}

int Ours() {
    using namespace velvix;
    StartDemoWindow();
    glClear(GL_COLOR_BUFFER_BIT);
    SetGLMsg();
    OpenGL_Draw();
    SwapBuffers(DCWindow);
    glFinish();
    DeleteOGLWindow();
    return 0;
}

int Glfw() {
    if (!glfwInit())
        return 1;
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    GLFWwindow* w = glfwCreateWindow(800, 600, "Particelle Volumetriche", nullptr, nullptr);
    if (!w)
        return 1;
    glfwMakeContextCurrent(w);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(w);
    glFinish();
    glfwDestroyWindow(w);
    glfwTerminate();
    return 0;
}

double RunMs(const char* self, const char* which) {
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(self, self, which, nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && !std::strcmp(argv[1], "ours"))
        return Ours();
    if (argc == 2 && !std::strcmp(argv[1], "glfw"))
        return Glfw();
    if (argc == 2 && !std::strcmp(argv[1], "empty"))
        return OursEmpty();
    std::vector<double> ours, empty, glfw;
    RunMs(argv[0], "ours"); // warm the page cache for all three
    RunMs(argv[0], "empty");
    RunMs(argv[0], "glfw");
    for (int i = 0; i < 7; ++i) {
        ours.push_back(RunMs(argv[0], "ours"));
        empty.push_back(RunMs(argv[0], "empty"));
        glfw.push_back(RunMs(argv[0], "glfw"));
    }
    for (auto* v : {&ours, &empty, &glfw})
        std::sort(v->begin(), v->end());
    std::printf("Start to first frame (process start to exit after one swap), median of 7\n");
    std::printf("  GLFW: window + legacy context + one cleared frame      %8.1f ms\n", glfw[3]);
    std::printf("  ours: the same with the framework                      %8.1f ms  (%.2fx GLFW)\n",
                empty[3], empty[3] / glfw[3]);
    std::printf("  ours: the demo's start-up, textures, one scene frame   %8.1f ms\n", ours[3]);
    return 0;
}
