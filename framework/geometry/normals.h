// normals.h - the unit normal of the plane through three points, for flat-shaded faces.
#pragma once

#include "framework/core/range_array.h"

namespace velvix {

// The normal computed by the last FindNormal call: FNormal[1] is X, [2] Y, [3] Z.
extern RangeArray<double, 1, 3> FNormal;

// Sets FNormal to the normalised (V1 - V2) x (V2 - V3), which equals (V2 - V1) x (V3 - V1): for
// points running counter-clockwise as seen by a viewer it points towards that viewer. Collinear
// or coincident points give (0, 0, 0). The length is measured in single precision, so the result
// is of unit length only to within float rounding.
void FindNormal(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X,
                double V3Y, double V3Z);

} // namespace velvix
