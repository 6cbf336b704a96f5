// capture.cpp - the vertex capture layer: pass-through, remove mode and edit mode.
#include "framework/geometry/capture.h"

#include "platform/win32.h"
#include <GL/gl.h>

namespace velvix {

TGLVertex3f GLBaseVertex3f;
bool GLVert3fRemove;
bool GLVert3fEnableEdit;

TGLVector GLVector(double X, double Y, double Z) {
    return TGLVector{static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Z)};
}

void GLBegin(uint32_t Mode) {
    if (!GLVert3fRemove)
        glBegin(Mode);
    GLBaseVertex3f.GLVert3fMax = GLBaseVertex3f.GLVert3fSetNum;
}

void GLVertex3f(float X, float Y, float Z) {
    if (!GLVert3fEnableEdit) {
        if (!GLVert3fRemove)
            glVertex3f(X, Y, Z);
        return;
    }

    TGLVertex3f& store = GLBaseVertex3f;
    // The store is static; a declared count beyond it saturates at its last slot.
    const int32_t limit = store.GLVert3fMax < GLVertMaxSlots ? store.GLVert3fMax : GLVertMaxSlots;
    if (store.GLVert3fCount < limit)
        ++store.GLVert3fCount;
    const int32_t n = store.GLVert3fCount;

    if (n < 1 || n > GLVertMaxSlots) {
        // No slot to record into: the vertex passes through as given.
        if (!GLVert3fRemove)
            glVertex3f(X, Y, Z);
        return;
    }

    store.GLVert3fOffset[n] = GLVector(X, Y, Z);
    const TGLVector& d = store.GLVert3fTmp[n];
    TGLVector& out = store.GLVert3f[n];
    out.X = X + d.X;
    out.Y = Y + d.Y;
    out.Z = Z + d.Z;
    if (!GLVert3fRemove)
        glVertex3f(out.X, out.Y, out.Z);
}

void GLEnd() {
    if (!GLVert3fRemove)
        glEnd();
}

} // namespace velvix
