// velvix.h - the one header a host program includes: the whole framework, the platform
// operations a host calls itself (message boxes, buffer swaps, the Win32 names and constants)
// and OpenGL's own header, included after the Win32 names as the Windows GL header needs.
//
// Modules: window (state, window + GL context, window procedure + pump, status bar, projection,
// mouse camera); geometry (capture, normals, lighting, primitives, billboard, particles);
// textures (TGA reader, TGA slots, BMP slots); buttons (palette bitmaps, bitmap to region, image
// button).
#pragma once

#include "platform/win32.h"

#include <GL/gl.h>

#include "framework/buttons/bitmaps.h"
#include "framework/buttons/image_button.h"
#include "framework/core/range_array.h"
#include "framework/geometry/geometry.h"
#include "framework/textures/bmp_slots.h"
#include "framework/textures/tga.h"
#include "framework/textures/tga_slots.h"
#include "framework/window/camera.h"
#include "framework/window/projection.h"
#include "framework/window/state.h"
#include "framework/window/statusbar.h"
#include "framework/window/window.h"
#include "framework/window/wndproc.h"
