/* soak_shim.c - preloaded into the demo by scripts/soak.sh to count what cannot be seen from
 * outside: buffer swaps (frames drawn) and X errors reported to the program. It passes every
 * call on unchanged and writes "frames N xerrors M" to $VELVIX_SOAK_REPORT at a normal exit.
 * Deliberately free of X headers: it only forwards pointers. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned long frames, xerrors;
typedef int (*Handler)(void*, void*);
static Handler app_handler;

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (!real)
        real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    ++frames;
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
        fclose(f);
    }
}
