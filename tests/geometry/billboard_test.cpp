// billboard_test.cpp - the billboard lock: the matrix it locks for various modelviews, the
// optional scale, and exact restoration of the caller's matrix and stack depth.
#include "gl_fixture.h"

#include <cstring>

#include <GL/gl.h>

using namespace velvix;

namespace geomtest {
namespace {

class BillboardTest : public GLTest {
protected:
    void TearDown() override { LockViewModelScale = true; }
};

GLint StackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

// A camera moved back by 10 and turned by 90 degrees about Y.
void TurnedCamera() {
    glTranslatef(0, 0, -10);
    glRotatef(90, 0, 1, 0);
}
void NoChange() {}
void ScaledByTwo() {
    glScalef(2, 2, 2);
}

TEST_F(BillboardTest, LockedMatrixKeepsOnlyThePointsEyePosition) {
    struct Case {
        const char* what;
        void (*modelview)();
        bool scale;
        TGLVector point;
        float diagonal; // of the upper-left 3 x 3 block, which must be diagonal
        float tx, ty, tz;
    } cases[] = {
        // clang-format off
        {"identity",                         NoChange,     false, {1, 2, 3}, 1,    1, 2, 3},
        {"turned camera",                    TurnedCamera, false, {0, 0, 0}, 1,    0, 0, -10},
        {"turned camera, point off-axis",    TurnedCamera, false, {1, 0, 0}, 1,    0, 0, -11},
        {"scaled modelview loses its scale", ScaledByTwo,  false, {1, 0, 0}, 1,    2, 0, 0},
        {"scale switch on",                  NoChange,     true,  {1, 2, 3}, 0.1f, 1, 2, 3},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.modelview();
        LockViewModelScale = c.scale;
        const GLint depth = StackDepth();
        LockViewModelBegin(c.point.X, c.point.Y, c.point.Z);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_EQ(StackDepth(), depth + 2);
        LockViewModelEnd();
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < 3; ++row)
                EXPECT_NEAR(m[4 * col + row], col == row ? c.diagonal : 0, 1e-6)
                    << "column " << col << " row " << row;
        EXPECT_NEAR(m[12], c.tx, 1e-5);
        EXPECT_NEAR(m[13], c.ty, 1e-5);
        EXPECT_NEAR(m[14], c.tz, 1e-5);
        EXPECT_EQ(m[3], 0.0f);
        EXPECT_EQ(m[7], 0.0f);
        EXPECT_EQ(m[11], 0.0f);
        EXPECT_EQ(m[15], 1.0f);
    }
}

TEST_F(BillboardTest, BottomRowIsKept) {
    // A modelview with a projective bottom row: only the 3 x 3 block is replaced.
    const GLfloat m[16] = {0, 1, 0, 0.25f, -1, 0, 0, 0.5f, 0, 0, 1, 0, 3, 4, 5, 2};
    glLoadMatrixf(m);
    LockViewModelScale = false;
    LockViewModelBegin(0, 0, 0);
    GLfloat locked[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, locked);
    LockViewModelEnd();
    const GLfloat want[16] = {1, 0, 0, 0.25f, 0, 1, 0, 0.5f, 0, 0, 1, 0, 3, 4, 5, 2};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(locked[i], want[i]) << "element " << i;
}

TEST_F(BillboardTest, EndRestoresTheCallersMatrixBitForBit) {
    glTranslatef(0.3f, -7.1f, -12.9f);
    glRotatef(37.3f, 0.3f, 0.5f, 0.8f);
    glScalef(1.7f, 0.9f, 2.3f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const GLint depth = StackDepth();
    for (bool scale : {true, false}) {
        LockViewModelScale = scale;
        LockViewModelBegin(1.1f, 2.2f, -3.3f);
        glPushMatrix(); // the caller may push and pop inside, balanced
        glRotatef(10, 1, 0, 0);
        LockViewModelBegin(0.5f, 0, 0); // and nest brackets
        LockViewModelEnd();
        glPopMatrix();
        LockViewModelEnd();
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
        EXPECT_EQ(StackDepth(), depth);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BillboardTest, ScaleOffLastsForLaterBrackets) {
    LockViewModelScale = true;
    LockViewModelScaleOff();
    for (int i = 0; i < 2; ++i) {
        LockViewModelBegin(0, 0, 0);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        LockViewModelEnd();
        EXPECT_EQ(m[0], 1.0f);
        EXPECT_FALSE(LockViewModelScale);
    }
}

} // namespace
} // namespace geomtest
