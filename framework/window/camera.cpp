// camera.cpp - SetGLMouseMove. The matrix is neither pushed nor reset: the caller loads and
// positions it first, so the camera orbits the origin of the caller's coordinates.
#include "framework/window/camera.h"

#include "framework/window/state.h"

#include <GL/gl.h>

namespace velvix {
namespace {

struct ModeRow {
    bool tx, ty, tz;     // the axis the translation by -Depth runs along
    float a1x, a1y, a1z; // axis of the XRot rotation
    float a2x, a2y, a2z; // axis of the YRot rotation
};

const ModeRow kModes[] = {
    {false, false, true, 1, 0, 0, 0, 1, 0},  // GL_M0
    {false, true, false, 1, 0, 0, 0, 0, 1},  // GL_MX
    {true, false, false, 0, 0, -1, 0, 1, 0}, // GL_MY
    {false, false, true, 0, 1, 0, 1, 0, 0},  // GL_MZ
};

} // namespace

void SetGLMouseMove(int32_t XYZ, int32_t Speed) {
    MSpeed = Speed;
    if (XYZ < GL_M0 || XYZ > GL_MZ)
        return;
    const ModeRow& m = kModes[XYZ];
    My.X = m.tx ? -Depth : 0.0f;
    My.Y = m.ty ? -Depth : 0.0f;
    My.Z = m.tz ? -Depth : 0.0f;
    glTranslatef(My.X, My.Y, My.Z);
    glRotatef(XRot, m.a1x, m.a1y, m.a1z);
    glRotatef(YRot, m.a2x, m.a2y, m.a2z);
}

} // namespace velvix
