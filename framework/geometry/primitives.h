// primitives.h - textured geometry emitted through the capture layer: a textured vertex pair and
// a sphere. Both use whatever texture, lighting, colour and culling state is current; neither
// enables, disables or binds anything, and neither touches the matrices.
#pragma once

#include <cstdint>

namespace velvix {

// Emits the vertices (X1, Y1, Z1) and (X2, Y2, Z2), each preceded by its texture coordinate when
// Texture is true. Opens no primitive: the caller brackets it (two calls inside GL_QUADS make
// one quad).
void LineFree(float Tx1, float Ty1, float Tx2, float Ty2, float X1, float Y1, float Z1, float X2,
              float Y2, float Z2, bool Texture);

// Draws a sphere about (PX, PY, PZ) whose axis is the local Z axis, as NumLine triangle strips
// (bands from the +Z pole to the -Z pole) of NumCircle segments each, with outward unit normals.
// Texture coordinates run s = 0 .. -1/TSize around the axis and t = 0 .. 1/TSize from pole to
// pole, so the texture repeats 1/TSize times each way. Triangles are counter-clockwise seen from
// outside. A NumCircle or NumLine below 1, a zero Radius or a zero TSize draws nothing and
// issues no OpenGL call at all.
void Sfera(float PX, float PY, float PZ, float Radius, int32_t NumCircle, int32_t NumLine,
           float TSize);

} // namespace velvix
