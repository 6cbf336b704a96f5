// demo_test.cpp - the demo driven as a user would: the start-up question answered with the
// keyboard, a drag in the window, and the three ways out (Escape, the window manager's close
// request, no display at all).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "process.h"
#include "x_client.h"

namespace {

using e2e::Shell;

// xdotool waits at most this long for a window to appear.
std::string Search(const std::string& title) {
    const auto r = Shell("timeout 20 xdotool search --sync --onlyvisible --name '^" + title +
                         "$' 2>/dev/null | head -n1");
    return r.output.substr(0, r.output.find('\n'));
}

// WIDTH x HEIGHT of an X window, as "800x600".
std::string Size(const std::string& window) {
    const auto r = Shell("xdotool getwindowgeometry --shell " + window +
                         " | awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w \"x\" h}'");
    return r.output.substr(0, r.output.find('\n'));
}

std::string ScreenSize() {
    const auto r = Shell("xdotool getdisplaygeometry | tr ' ' x");
    return r.output.substr(0, r.output.find('\n'));
}

class Demo : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display";
        dir_ = e2e::TempDir();
        ASSERT_FALSE(dir_.empty());
    }

    // Starts the demo, answers its question with `key` and returns the main window's id.
    std::string StartAndAnswer(e2e::Child& demo, const char* key) {
        const std::string dialog = Search("Video!");
        EXPECT_FALSE(dialog.empty()) << demo.Output();
        Shell("xdotool windowfocus " + dialog + " key " + key);
        const std::string window = Search("Particelle Volumetriche");
        EXPECT_FALSE(window.empty()) << demo.Output();
        return window;
    }

    std::string dir_;
};

TEST_F(Demo, AnswerNoDragAndEscape) {
    e2e::Child demo(e2e::BuildPath("particelle"), dir_);
    const std::string window = StartAndAnswer(demo, "n");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(Size(window), "800x600");
    Shell("xdotool mousemove --window " + window + " 200 200 mousedown 1 mousemove --window " +
          window + " 260 240 sleep 0.2 mousemove --window " + window + " 300 150 mouseup 1");
    EXPECT_TRUE(demo.Running());
    Shell("xdotool windowfocus " + window + " key Escape");
    EXPECT_EQ(demo.Wait(20), 0) << demo.Output();
}

TEST_F(Demo, WindowManagerCloseEndsWithZero) {
    e2e::Child demo(e2e::BuildPath("particelle"), dir_);
    const std::string window = StartAndAnswer(demo, "n");
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::SendCloseRequest(std::stoul(window)));
    EXPECT_EQ(demo.Wait(20), 0) << demo.Output();
    EXPECT_EQ(demo.Output(), ""); // the extra draw after the close makes no noise
}

TEST_F(Demo, AnswerYesCoversTheScreen) {
    e2e::Child demo(e2e::BuildPath("particelle"), dir_);
    const std::string window = StartAndAnswer(demo, "y");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(Size(window), ScreenSize());
    Shell("xdotool windowfocus " + window + " key Escape");
    EXPECT_EQ(demo.Wait(20), 0) << demo.Output();
}

TEST_F(Demo, WithoutADisplayItReportsTheWindowFailureAndExitsOne) {
    e2e::Child demo(e2e::BuildPath("particelle"), dir_, /*withDisplay=*/false);
    EXPECT_EQ(demo.Wait(20), 1);
    const std::string out = demo.Output();
    EXPECT_NE(out.find("Error: Impossibile creare la finestra per la rispettiva applicazione!\n"),
              std::string::npos)
        << out;
}

} // namespace
