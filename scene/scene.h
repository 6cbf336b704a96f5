// scene.h - the demo's content: what is loaded once and what is drawn every frame.
#pragma once

#include <cstdint>

#include "velvix.h"

// The centres of the 36 gas clouds, [I][L] with both indices 0..5; filled once.
extern velvix::TGLVector POS[6][6];
// The two loop indices of both 6 x 6 loops.
extern int32_t I, L;

// Loads the scene's textures and places its gas clouds; once, after the window, projection and
// light exist.
void OpenGL_CreateList();

// Draws the whole frame, camera included; once per frame, between the pump and the swap.
void OpenGL_Draw();

// Draws one lit, textured, two-sided quad through the corners P1..P4, emitted P2, P1, P3, P4.
void Quad(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3,
          float X4, float Y4, float Z4);

// The scene's random numbers: uniform on [0, 1), the same sequence on every run and platform.
double SceneRandom();
// Starts the sequence again from its fixed state (for tests that place the field twice).
void SceneRandomReset();
