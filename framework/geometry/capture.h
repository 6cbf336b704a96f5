// capture.h - the vertex capture layer: GLBegin / GLVertex3f / GLEnd wrap glBegin / glVertex3f /
// glEnd, and all framework geometry goes through them. Besides passing calls on, the layer can
// suppress them (remove mode) and record each vertex into a static store of numbered slots while
// emitting it displaced by a per-slot offset (edit mode). Normals, texture coordinates and colours
// are not captured: callers issue them on OpenGL directly between the wrapper calls.
#pragma once

#include <cstdint>

#include "framework/core/range_array.h"

namespace velvix {

// A 3D vector of three 32-bit floats.
struct TGLVector {
    float X, Y, Z;
};

// Builds a TGLVector from three doubles, each rounded to the nearest float.
TGLVector GLVector(double X, double Y, double Z);

// Number of slots in the capture store; slots are numbered 1..GLVertMaxSlots.
constexpr int32_t GLVertMaxSlots = 10000;

// The capture store.
struct TGLVertex3f {
    RangeArray<TGLVector, 1, GLVertMaxSlots> GLVert3f;       // emitted position per slot
    RangeArray<TGLVector, 1, GLVertMaxSlots> GLVert3fTmp;    // displacement per slot (host's)
    RangeArray<TGLVector, 1, GLVertMaxSlots> GLVert3fOffset; // position as the caller gave it
    int32_t GLVert3fCount;  // slot of the most recently captured vertex; 0 before any
    int32_t GLVert3fMax;    // highest slot the count may reach; reloaded by every GLBegin
    int32_t GLVert3fSetNum; // number of slots the host declares for capture
};

extern TGLVertex3f GLBaseVertex3f;
extern bool GLVert3fRemove;     // true: the wrappers emit no OpenGL calls
extern bool GLVert3fEnableEdit; // true: every vertex is recorded and displaced

// Opens a primitive (an OpenGL primitive mode such as GL_QUADS) and reloads GLVert3fMax from
// GLVert3fSetNum. The slot count is not restarted: it carries over from bracket to bracket.
void GLBegin(uint32_t Mode);

// Emits one vertex. In edit mode the count is raised by one while it is below the limit, and the
// vertex is recorded in that slot and emitted displaced by the slot's GLVert3fTmp. The limit is
// GLVert3fMax, but never more than GLVertMaxSlots: a GLVert3fSetNum above the store's size acts
// as its size. When the slot falls outside 1..GLVertMaxSlots (GLVert3fSetNum 0 or negative, or a
// count the host set out of range) the vertex is emitted as given and nothing is recorded.
void GLVertex3f(float X, float Y, float Z);

// Closes the primitive.
void GLEnd();

} // namespace velvix
