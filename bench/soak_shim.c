/* soak_shim.c - preloaded into the demo by scripts/soak.sh to count what cannot be seen from
 * outside: buffer swaps (frames drawn), X errors reported to the program, and the C heap: the
 * bytes in use and the bytes held from the system, after warm-up (frame 20) and near the end, so
 * a growing resident size can be told apart from growing live allocations. It passes every call
 * on unchanged and writes its report to $VELVIX_SOAK_REPORT at a normal exit.
 * Deliberately free of X headers: it only forwards pointers. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned long frames, xerrors;
static size_t used_warm, held_warm, used_last, held_last;

static void HeapNow(size_t* used, size_t* held) {
    struct mallinfo2 m = mallinfo2();
    *used = m.uordblks + m.hblkhd;
    *held = m.arena + m.hblkhd;
}
typedef int (*Handler)(void*, void*);
static Handler app_handler;

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (!real)
        real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (++frames == 20)
        HeapNow(&used_warm, &held_warm);
    else if (frames % 20 == 0)
        HeapNow(&used_last, &held_last); /* the end itself comes after the GL teardown */
    real(display, drawable);
}

static int CountError(void* display, void* event) {
    ++xerrors;
    return app_handler ? app_handler(display, event) : 0;
}

Handler XSetErrorHandler(Handler handler) {
    static Handler (*real)(Handler);
    if (!real)
        real = (Handler(*)(Handler))dlsym(RTLD_NEXT, "XSetErrorHandler");
    Handler previous = app_handler;
    app_handler = handler;
    real(handler ? CountError : NULL);
    return previous;
}

__attribute__((destructor)) static void Report(void) {
    const char* path = getenv("VELVIX_SOAK_REPORT");
    FILE* f = path ? fopen(path, "w") : NULL;
    if (f) {
        fprintf(f, "frames %lu xerrors %lu\n", frames, xerrors);
        fprintf(f,
                "  heap in use: %zu kB at frame 20, %zu kB near the end; held from the system: "
                "%zu kB, then %zu kB\n",
                used_warm / 1024, used_last / 1024, held_warm / 1024, held_last / 1024);
        fclose(f);
    }
}
