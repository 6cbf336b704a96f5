// lighting.cpp - lighting and face-state helpers.
#include "framework/geometry/lighting.h"

#include "framework/geometry/capture.h"
#include "platform/win32.h"
#include <GL/gl.h>

namespace velvix {

float AmbientLight[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float DiffuseLight[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float SpecularLight[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LightPosition[4];

void TwoSideOn() {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}
void TwoSideOff() {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}
void LightingOn() {
    glEnable(GL_LIGHTING);
}
void LightingOff() {
    glDisable(GL_LIGHTING);
}

void SetGLRefractive() {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
}

void SetGLLight(uint32_t NLight, float L0, float L1, float L2, float L3) {
    glEnable(GL_LIGHTING);
    glLightfv(NLight, GL_AMBIENT, AmbientLight);
    glLightfv(NLight, GL_DIFFUSE, DiffuseLight);
    glLightfv(NLight, GL_SPECULAR, SpecularLight);
    glEnable(NLight);
    LightPosition[0] = L0;
    LightPosition[1] = L1;
    LightPosition[2] = L2;
    LightPosition[3] = L3;
    glLightfv(NLight, GL_POSITION, LightPosition);
}

void PutGLPointLight(uint32_t NLight, float Size, float LX, float LY, float LZ, float LVal) {
    LightPosition[0] = LX;
    LightPosition[1] = LY;
    LightPosition[2] = LZ;
    LightPosition[3] = LVal;
    glLightfv(NLight, GL_POSITION, LightPosition);
    if (Size != 0.0f) {
        glPointSize(Size);
        GLBegin(GL_POINTS);
        glNormal3f(0.0f, 0.0f, 1.0f);
        GLVertex3f(LX, LY, LZ);
        GLEnd();
    }
}

} // namespace velvix
