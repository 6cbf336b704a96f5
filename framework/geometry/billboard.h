// billboard.h - the billboard lock: between LockViewModelBegin and LockViewModelEnd the
// modelview matrix is a pure translation to a point of the scene, so what is drawn there keeps
// local X pointing right on the screen, Y up and Z towards the viewer.
#pragma once

namespace velvix {

// While true (its start value) LockViewModelBegin also scales the locked matrix by 0.1.
extern bool LockViewModelScale;

// Pushes two levels of the current (modelview) matrix stack, moves the origin to (X, Y, Z) in
// the current modelview frame and replaces the rotation and scale by the identity, keeping the
// eye-space position of the point and the bottom row.
void LockViewModelBegin(float X, float Y, float Z);

// Pops the two levels again: the caller's matrix comes back bit for bit.
void LockViewModelEnd();

// Clears LockViewModelScale for the rest of the run.
void LockViewModelScaleOff();

} // namespace velvix
