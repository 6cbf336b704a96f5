// primitives.cpp - LineFree and Sfera.
#include "framework/geometry/primitives.h"

#include <cmath>

#include "framework/geometry/capture.h"
#include "platform/win32.h"
#include <GL/gl.h>

namespace velvix {

namespace {
constexpr double Pi = 3.14159265358979323846;
}

void LineFree(float Tx1, float Ty1, float Tx2, float Ty2, float X1, float Y1, float Z1, float X2,
              float Y2, float Z2, bool Texture) {
    if (Texture)
        glTexCoord2f(Tx1, Ty1);
    GLVertex3f(X1, Y1, Z1);
    if (Texture)
        glTexCoord2f(Tx2, Ty2);
    GLVertex3f(X2, Y2, Z2);
}

void Sfera(float PX, float PY, float PZ, float Radius, int32_t NumCircle, int32_t NumLine,
           float TSize) {
    // Each of these is a divisor; with any of them degenerate there is no sphere to draw.
    if (NumCircle < 1 || NumLine < 1 || Radius == 0.0f || TSize == 0.0f)
        return;

    // The working values are single precision (X and Y are held as doubles only after their
    // rounding to float); the arithmetic between them is double.
    const float MajorStep = static_cast<float>(Pi / NumLine);
    const float MinorStep = static_cast<float>(2.0 * Pi / NumCircle);
    const double R = Radius;

    for (int32_t I = 0; I < NumLine; ++I) {
        const float A = static_cast<float>(1.0 * I * MajorStep);
        const float B = static_cast<float>(1.0 * MajorStep + A);
        const float R0 = static_cast<float>(std::sin(1.0 * A) * R);
        const float R1 = static_cast<float>(std::sin(1.0 * B) * R);
        const float Z0 = static_cast<float>(std::cos(1.0 * A) * R);
        const float Z1 = static_cast<float>(std::cos(1.0 * B) * R);
        const float T0 = static_cast<float>((1.0 * I / NumLine) / TSize);
        const float T1 = static_cast<float>(((I + 1.0) / NumLine) / TSize);

        GLBegin(GL_TRIANGLE_STRIP);
        // NumCircle + 1 steps, so the last pair repeats the first and closes the seam. The exit
        // test sits at the end so that NumCircle = INT32_MAX cannot overflow the counter.
        for (int32_t J = 0;; ++J) {
            const float C = static_cast<float>(1.0 * J * MinorStep);
            const double X = static_cast<float>(std::cos(1.0 * C));
            const double Y = static_cast<float>(std::sin(1.0 * C));
            const float S = static_cast<float>((-1.0 * J / NumCircle) / TSize);

            glNormal3f(static_cast<float>(X * R0 / R), static_cast<float>(Y * R0 / R),
                       static_cast<float>(Z0 / R));
            glTexCoord2f(S, T0);
            GLVertex3f(static_cast<float>(X * R0 + PX), static_cast<float>(Y * R0 + PY),
                       static_cast<float>(1.0 * Z0 + PZ));

            glNormal3f(static_cast<float>(X * R1 / R), static_cast<float>(Y * R1 / R),
                       static_cast<float>(Z1 / R));
            glTexCoord2f(S, T1);
            GLVertex3f(static_cast<float>(X * R1 + PX), static_cast<float>(Y * R1 + PY),
                       static_cast<float>(1.0 * Z1 + PZ));

            if (J == NumCircle)
                break;
        }
        GLEnd();
    }
}

} // namespace velvix
