// xhelpers.h - for the platform tests that talk X directly (include after every other header:
// Xlib's macros break C++ headers included after it).
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace ptest {

// The X window of ours whose title is `title` (the platform never shows its X ids).
inline ::Window FindByTitle(Display* d, ::Window under, const char* title) {
    ::Window root, parent, *kids = nullptr;
    unsigned n = 0;
    ::Window found = 0;
    if (!XQueryTree(d, under, &root, &parent, &kids, &n))
        return 0;
    for (unsigned i = 0; i < n && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(d, kids[i], &name) && name && std::string(name) == title)
            found = kids[i];
        if (name)
            XFree(name);
        if (!found)
            found = FindByTitle(d, kids[i], title);
    }
    if (kids)
        XFree(kids);
    return found;
}

} // namespace ptest
