// process.cpp - child processes for the end-to-end tests.
#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {

Result Shell(const std::string& command) {
    Result r{-1, {}};
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        r.output.append(buf, n);
    const int status = pclose(p);
    if (WIFEXITED(status))
        r.exitCode = WEXITSTATUS(status);
    return r;
}

Child::Child(const std::string& program, const std::string& dir, bool withDisplay) : dir_(dir) {
    const std::string out = dir + "/output.txt";
    pid_ = fork();
    if (pid_ == 0) {
        // Only async-signal-safe work between fork and exec: the parent holds an X connection.
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        if (!withDisplay)
            unsetenv("DISPLAY");
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

Child::~Child() {
    if (Running()) {
        kill(pid_, SIGKILL);
        Wait(5);
    }
}

bool Child::Running() {
    if (pid_ <= 0 || status_ != -1)
        return false;
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        return false;
    }
    return true;
}

int Child::Wait(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (Running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (status_ == -1 || !WIFEXITED(status_))
        return -1;
    return WEXITSTATUS(status_);
}

std::string Child::Output() const {
    std::ifstream in(dir_ + "/output.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string t = std::string(base ? base : "/tmp") + "/velvix-e2e-XXXXXX";
    return mkdtemp(&t[0]) ? t : std::string();
}

static std::string FromEnv(const char* var, const char* fallback, const std::string& relative) {
    // Absolute, because the demo runs in a directory of its own.
    const char* root = std::getenv(var);
    char* full = realpath(root ? root : fallback, nullptr);
    const std::string path = std::string(full ? full : ".") + "/" + relative;
    std::free(full);
    return path;
}

std::string BuildPath(const std::string& relative) {
    return FromEnv("VELVIX_BUILD_DIR", "..", relative);
}
std::string SourcePath(const std::string& relative) {
    return FromEnv("VELVIX_SOURCE_DIR", "../..", relative);
}

} // namespace e2e
