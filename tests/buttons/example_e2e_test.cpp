// example_e2e_test.cpp - the image-button example driven as a user would, with xdotool on the
// test's X server: a click on a button reaches its parent once, a click on a cut-out (magenta)
// pixel goes to the window beneath, Escape ends the program with exit code 0.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

} // namespace

TEST(ButtonExample, ClicksReachTheParentAndCutOutsDoNot) {
    const char* build = std::getenv("VELVIX_BUILD_DIR");
    if (!build)
        GTEST_SKIP() << "run through ctest, which names the build folder";
    const std::string dir = std::string(build) + "/examples";
    const std::string log = testing::TempDir() + "/buttons-example.log";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (chdir((dir + "/run").c_str()) != 0)
            _exit(126);
        freopen(log.c_str(), "w", stdout);
        execl((dir + "/buttons_example").c_str(), "buttons_example", nullptr);
        _exit(127);
    }
    // The window, then its buttons (the Play button's client rectangle starts at 24, 24).
    EXPECT_NE(Shell("xdotool search --sync --name 'Velvix image buttons'"), "");
    usleep(500000);
    Shell("xdotool mousemove 70 44 sleep 0.2 click 1 sleep 0.3");  // Play
    Shell("xdotool mousemove 25 25 sleep 0.2 click 1 sleep 0.3");  // Play's magenta corner
    Shell("xdotool mousemove 200 44 sleep 0.2 click 1 sleep 0.3"); // Stop
    Shell("xdotool mousemove 400 300 sleep 0.2 key Escape");
    int status = -1;
    for (int i = 0; i < 100 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(50000);
    if (!WIFEXITED(status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the example did not end on Escape";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Shell("cat " + log), "clicked 101\nclicked 102\n");
}
