// process.h - running programs from the end-to-end tests: shell commands with their output,
// and the demo as a child process with its stderr kept in a file.
#pragma once

#include <sys/types.h>

#include <string>

namespace e2e {

struct Result {
    int exitCode; // -1 when the command did not end normally
    std::string output;
};

// Runs `command` with /bin/sh, returning its exit code and standard output.
Result Shell(const std::string& command);

// A program started in `dir`, its stdout and stderr going to `dir`/output.txt. With
// `withDisplay` false, DISPLAY is removed from its environment.
class Child {
public:
    Child(const std::string& program, const std::string& dir, bool withDisplay = true);
    ~Child(); // kills the program if it still runs
    // Waits up to `seconds` for the end; the exit code, or -1 on timeout / abnormal end.
    int Wait(double seconds);
    bool Running();
    std::string Output() const;

private:
    pid_t pid_ = -1;
    std::string dir_;
    int status_ = -1;
};

// A fresh empty directory under the system's temporary directory.
std::string TempDir();

// Path of a file built next to the tests (VELVIX_BUILD_DIR), or the source tree.
std::string BuildPath(const std::string& relative);
std::string SourcePath(const std::string& relative);

} // namespace e2e
