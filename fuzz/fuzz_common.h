// fuzz_common.h - helpers shared by the fuzz targets: the input as a file (the readers take file
// names), and a recorder of message boxes so a target can check the readers' promises.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/platform_ext.h"

namespace fuzz {

// Writes the input to one scratch file per process and returns its name.
inline const std::string& AsFile(const uint8_t* data, size_t size) {
    static std::string path = [] {
        char name[] = "/tmp/velvix-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        return std::string(name);
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

inline int g_boxes = 0;
inline int CountBox(HWND, LPCSTR, LPCSTR, UINT) {
    ++g_boxes;
    return IDOK;
}

// Fails the run (abort) when a promise is broken, so the fuzzer records the input.
inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace fuzz
