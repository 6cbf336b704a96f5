// camera.h - the mouse camera: turns the angles and distance that the window procedure
// accumulates from drags into one translation and two rotations on the current matrix.
#pragma once

#include <cstdint>

namespace velvix {

// Camera modes: which axis the distance moves along and which axes the two angles turn about.
constexpr int32_t GL_M0 = 0; // back along z; XRot about x, YRot about y
constexpr int32_t GL_MX = 1; // back along y; XRot about x, YRot about z
constexpr int32_t GL_MY = 2; // back along x; XRot about -z, YRot about y
constexpr int32_t GL_MZ = 3; // back along z; XRot about y, YRot about x

// Sets MSpeed to `Speed` (always) and, for a mode 0..3, multiplies the current matrix by the
// mode's translation (also stored in My) and its two rotations. Other modes apply nothing.
void SetGLMouseMove(int32_t XYZ, int32_t Speed);

} // namespace velvix
