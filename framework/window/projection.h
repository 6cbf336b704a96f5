// projection.h - the two projection set-ups for the whole window: the 3D perspective view with
// the framework's default drawing state, and a 2D orthographic view. Both size the viewport from
// Width and Height and need a current rendering context.
#pragma once

namespace velvix {

// Perspective view: 45 degree field of view, near plane 0.1, far plane `Depth` (also handed to
// glClearDepth, which clamps it), clear colour (R, G, B, A), and the default state (depth test
// LEQUAL, colour 1,1,1,0.5, blend function SRC_ALPHA/ONE, local viewer, nicest hints,
// auto-normal and normalize). Leaves the identity modelview matrix current.
void OpenGL_Init(double Depth, double A, double R, double G, double B);

// Orthographic view from -2 to 2 across and +-2*Height/Width up, depth -2..2, clear colour
// (R, G, B, A); sets OffX and OffY. Leaves the identity modelview matrix current.
void OpenGL_I2D(double A, double R, double G, double B);

} // namespace velvix
