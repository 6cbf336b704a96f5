// particles.h - the volumetric particle effect: a gas cloud drawn as a stack of camera-facing,
// blended, alpha-tested squares with the texture the caller has bound.
#pragma once

#include <cstdint>

namespace velvix {

// Draws one cloud centred on (X, Y, Z) in the current modelview frame: Quality + 1 squares of
// half-side Size, spaced along the viewing direction from the farthest to the nearest, layer I
// alpha-tested against (I + 1) / Quality, blended (SRC_ALPHA, ONE_MINUS_SRC_ALPHA), without
// writing depth and with lighting off. Expects the modelview matrix mode, texturing enabled and
// the cloud texture bound.
//
// Leaves lighting on (even if it was off), blending and alpha testing off, depth writes on, the
// blend function above, the alpha function GL_GREATER with the last layer's reference,
// LockViewModelScale false, and the modelview matrix and stack depth as they were.
//
// A Quality below 2 has no layer that could show (its references are all 1 or more, or there is
// no layer at all): such a call draws nothing, leaves the same state as any other call and sets
// the alpha reference to 1.
void FX_VolumetricParticle(float X, float Y, float Z, float Size, int32_t Quality);

} // namespace velvix
