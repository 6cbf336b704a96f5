// install_test.cpp - an outside host program built against an installed Velvix: the build is
// installed into a temporary prefix, examples/minimal is configured there with
// find_package(Velvix), built, and run on the test display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "process.h"

namespace {

TEST(InstalledPackage, BuildsAndRunsTheMinimalHostProgram) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    const std::string dir = e2e::TempDir();
    ASSERT_FALSE(dir.empty());
    const std::string prefix = dir + "/prefix", app = dir + "/app";

    auto install =
        e2e::Shell("cmake --install '" + e2e::BuildPath("") + "' --prefix '" + prefix + "' 2>&1");
    ASSERT_EQ(install.exitCode, 0) << install.output;
    EXPECT_EQ(e2e::Shell("test -f '" + prefix + "/include/velvix/velvix.h'").exitCode, 0);

    auto configure = e2e::Shell("cmake -S '" + e2e::SourcePath("examples/minimal") + "' -B '" +
                                app + "' -DCMAKE_PREFIX_PATH='" + prefix + "' 2>&1");
    ASSERT_EQ(configure.exitCode, 0) << configure.output;
    auto build = e2e::Shell("cmake --build '" + app + "' -j2 2>&1");
    ASSERT_EQ(build.exitCode, 0) << build.output;

    e2e::Child run(app + "/app", dir);
    EXPECT_EQ(run.Wait(60), 0) << run.Output();
    EXPECT_EQ(run.Output(), "");
    e2e::Shell("rm -rf '" + dir + "'");
}

} // namespace
