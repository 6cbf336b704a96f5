// lighting.h - one-call helpers for fixed-function lighting and face state: lighting and
// two-sided lighting on and off, back-face culling, configuring a light with the framework's
// standard colours, and moving a light with an optional visible marker point.
#pragma once

#include <cstdint>

namespace velvix {

// Colours that SetGLLight gives every light it configures (RGBA); host programs may change them.
extern float AmbientLight[4];  // 0.5, 0.5, 0.5, 1
extern float DiffuseLight[4];  // 1, 1, 1, 1
extern float SpecularLight[4]; // 1, 1, 1, 1
// The homogeneous position last handed to OpenGL by SetGLLight or PutGLPointLight.
extern float LightPosition[4];

void TwoSideOn();
void TwoSideOff();
void LightingOn();
void LightingOff();

// Back-face culling with counter-clockwise front faces. The shade model is left as it is.
void SetGLRefractive();

// Switches lighting and the light NLight (GL_LIGHT0 ...) on, gives it the three colours above
// and places it at (L0, L1, L2, L3) in the current modelview frame (L3 = 0: directional).
void SetGLLight(uint32_t NLight, float L0, float L1, float L2, float L3);

// Moves the light NLight to (LX, LY, LZ, LVal) in the current modelview frame. A non-zero Size
// also draws a point of that size at (LX, LY, LZ) with normal (0, 0, 1), in whatever colour,
// texture and lighting state is current; the point size stays at Size afterwards.
void PutGLPointLight(uint32_t NLight, float Size, float LX, float LY, float LZ, float LVal);

} // namespace velvix
