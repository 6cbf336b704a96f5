// billboard.cpp - the billboard lock.
#include "framework/geometry/billboard.h"

#include <cstdint>

#include "platform/win32.h"
#include <GL/gl.h>

namespace velvix {

bool LockViewModelScale = true;

void LockViewModelBegin(float X, float Y, float Z) {
    glPushMatrix();
    glTranslatef(X, Y, Z);
    glPushMatrix();

    float Matrix[16]; // column-major: element 4 * column + row
    glGetFloatv(GL_MODELVIEW_MATRIX, Matrix);
    for (uint8_t MX = 0; MX <= 2; ++MX)
        for (uint8_t MY = 0; MY <= 2; ++MY)
            Matrix[4 * MX + MY] = MX == MY ? 1.0f : 0.0f;
    glLoadMatrixf(Matrix);

    if (LockViewModelScale)
        glScalef(0.1f, 0.1f, 0.1f);
}

void LockViewModelEnd() {
    glPopMatrix();
    glPopMatrix();
}

void LockViewModelScaleOff() {
    LockViewModelScale = false;
}

} // namespace velvix
