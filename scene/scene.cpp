// scene.cpp - the demo's content: what is loaded once and what is drawn every frame. A stone
// floor and sphere lit by light 0, and a 6 x 6 field of gas clouds, seen from a fixed offset
// through the framework's mouse camera.
#include "scene/scene.h"

#include <GL/gl.h>

#include "velvix.h"

using namespace velvix;

TGLVector POS[6][6];
int32_t I, L;

namespace {

// The cloud field must be the same on every run and every platform, so the generator is ours
// and fully specified: a 64-bit linear congruential step (Knuth's MMIX constants) from the
// fixed state 1, whose top 53 bits are scaled by 2^-53 into [0, 1). No standard-library
// distribution is involved (their outputs differ between implementations).
uint64_t RandomState = 1;

double Random() {
    RandomState = RandomState * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(RandomState >> 11) * (1.0 / 9007199254740992.0);
}

void OpenGL_Texture() {
    TextureLoadID("stoneblocks.bmp", 0);
    TextureLoadTGAID("gas.tga", 0);
}

void OpenGL_Draw2D() {
    OpenGL_I2D(0, 0, 0, 0);
    OpenGL_Init(100, 0, 0, 0, 0);
}

// Hooks for the host's own 2D mouse and keyboard handling; the demo has none.
void OpenGL_Mouse2D() {}
void OpenGL_Keyboard() {}

} // namespace

double SceneRandom() {
    return Random();
}
void SceneRandomReset() {
    RandomState = 1;
}

void OpenGL_CreateList() {
    OpenGL_Texture();
    for (I = 0; I <= 5; ++I)
        for (L = 0; L <= 5; ++L) {
            const double r1 = Random();
            const double r2 = Random();
            POS[I][L] = GLVector(10 - 20 * r1, 2.5, 10 - 20 * r2);
        }
}

void Quad(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3,
          float X4, float Y4, float Z4) {
    TwoSideOn();
    glDisable(GL_CULL_FACE);
    GLBegin(GL_QUADS);
    FindNormal(X2, Y2, Z2, X1, Y1, Z1, X3, Y3, Z3);
    glNormal3f(static_cast<float>(FNormal[1]), static_cast<float>(FNormal[2]),
               static_cast<float>(FNormal[3]));
    LineFree(3, 3, 0, 3, X2, Y2, Z2, X1, Y1, Z1, true);
    LineFree(0, 0, 3, 0, X3, Y3, Z3, X4, Y4, Z4, true);
    GLEnd();
    glEnable(GL_CULL_FACE);
    TwoSideOff();
}

void OpenGL_Draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    OpenGL_Draw2D();
    OpenGL_Mouse2D();
    OpenGL_Keyboard();
    glTranslatef(0, -1, -30);
    glRotatef(25, 1, 0, 0);
    SetGLMouseMove(GL_M0, 2);
    PutGLPointLight(GL_LIGHT0, 0, 0, 10, 0, 0.1f);

    TextureSelectID(0);
    glPushMatrix();
    glTranslatef(0, 3, 0);
    glRotatef(90, 1, 0, 0);
    Sfera(0, 0, 0, 4, 20, 20, 1.0f / 3.0f);
    glPopMatrix();
    Quad(-10, 0, -10, 10, 0, -10, -10, 0, 10, 10, 0, 10);

    TextureTGASelectID(0);
    for (I = 0; I <= 5; ++I)
        for (L = 0; L <= 5; ++L)
            FX_VolumetricParticle(POS[I][L].X, POS[I][L].Y, POS[I][L].Z, 4, 32);
}
