// geometry.h - the framework's geometry and effects: vertex capture, face normals, lighting
// helpers, textured primitives, the billboard lock and the volumetric particle effect.
#pragma once

#include "framework/geometry/billboard.h"
#include "framework/geometry/capture.h"
#include "framework/geometry/lighting.h"
#include "framework/geometry/normals.h"
#include "framework/geometry/particles.h"
#include "framework/geometry/primitives.h"
