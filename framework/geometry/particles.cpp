// particles.cpp - the volumetric particle effect.
#include "framework/geometry/particles.h"

#include "framework/geometry/billboard.h"
#include "framework/geometry/capture.h"
#include "framework/geometry/lighting.h"
#include "platform/win32.h"
#include <GL/gl.h>

namespace velvix {

namespace {

// Layers I = 0 .. Quality of the stack, inside the billboard bracket (local +Z towards the
// viewer, so layer 0 is the farthest). The depth step divides by Quality - 1 although the loop
// runs to Quality: the last two layers lie beyond 1.5 * Size - OffR, and their references
// (1 and more) let no fragment through.
void DrawLayers(double Size, double OffR, int32_t Quality) {
    const float S = static_cast<float>(Size);
    for (int32_t I = 0;; ++I) {
        glAlphaFunc(GL_GREATER, static_cast<float>((I + 1.0) / Quality));
        const double zI = ((2.0 * Size - 2.0 * OffR) * I) / (Quality - 1.0) + (OffR - Size / 2.0);
        const float Z = static_cast<float>(zI);
        GLBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        GLVertex3f(-S, -S, Z);
        glTexCoord2f(1.0f, 0.0f);
        GLVertex3f(S, -S, Z);
        glTexCoord2f(1.0f, 1.0f);
        GLVertex3f(S, S, Z);
        glTexCoord2f(0.0f, 1.0f);
        GLVertex3f(-S, S, Z);
        GLEnd();
        if (I == Quality) // exit at the end: Quality = INT32_MAX cannot overflow the counter
            break;
    }
}

} // namespace

void FX_VolumetricParticle(float X, float Y, float Z, float Size, int32_t Quality) {
    LightingOff();
    glEnable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    LockViewModelScaleOff();
    LockViewModelBegin(X, Y, Z);

    if (Quality >= 2) {
        // The offset from which the layer spacing is derived, held in single precision.
        const float OffR = static_cast<float>(2.0 * Size / Quality);
        DrawLayers(Size, OffR, Quality);
    } else {
        glAlphaFunc(GL_GREATER, 1.0f);
    }

    LockViewModelEnd();
    glPopMatrix();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDisable(GL_ALPHA_TEST);
    LightingOn();
}

} // namespace velvix
