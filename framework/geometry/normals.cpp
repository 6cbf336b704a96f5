// normals.cpp - face normals by cross product, normalised with a single-precision length.
#include "framework/geometry/normals.h"

#include <cmath>

namespace velvix {

RangeArray<double, 1, 3> FNormal;

namespace {

// Scales (X, Y, Z) to unit length. A zero vector stays zero instead of dividing by zero.
void ReduceToUnit(double& X, double& Y, double& Z) {
    float Length = static_cast<float>(std::sqrt(X * X + Y * Y + Z * Z));
    if (Length == 0.0f)
        Length = 1.0f;
    X = X / Length;
    Y = Y / Length;
    Z = Z / Length;
}

} // namespace

void FindNormal(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X,
                double V3Y, double V3Z) {
    RangeArray<double, 1, 3> Temp_V1, Temp_V2;
    Temp_V1[1] = V1X - V2X;
    Temp_V1[2] = V1Y - V2Y;
    Temp_V1[3] = V1Z - V2Z;
    Temp_V2[1] = V2X - V3X;
    Temp_V2[2] = V2Y - V3Y;
    Temp_V2[3] = V2Z - V3Z;

    FNormal[1] = Temp_V1[2] * Temp_V2[3] - Temp_V1[3] * Temp_V2[2];
    FNormal[2] = Temp_V1[3] * Temp_V2[1] - Temp_V1[1] * Temp_V2[3];
    FNormal[3] = Temp_V1[1] * Temp_V2[2] - Temp_V1[2] * Temp_V2[1];

    ReduceToUnit(FNormal[1], FNormal[2], FNormal[3]);
}

} // namespace velvix
