// capture_test.cpp - the vertex capture layer: what reaches OpenGL and what the store records
// under each switch combination, slot saturation, displacement, counts outside the store.
#include "gl_fixture.h"

#include <GL/gl.h>

using namespace velvix;

namespace geomtest {
namespace {

class CaptureTest : public GLTest {};

constexpr TGLVector kPoints[] = {{2, 3, 4}, {-1, 0.5f, 2}, {5, -5, 1}, {0.25f, 7, -3}};

// Emits the four points as GL_POINTS through the layer.
void EmitPoints() {
    GLBegin(GL_POINTS);
    for (const TGLVector& p : kPoints)
        GLVertex3f(p.X, p.Y, p.Z);
    GLEnd();
}

void ExpectVector(const TGLVector& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
}

TEST_F(CaptureTest, SwitchCombinationsDecideWhatIsDrawnAndRecorded) {
    struct Case {
        bool remove, edit, drawn, recorded;
    } cases[] = {
        {false, false, true, false},
        {true, false, false, false},
        {false, true, true, true},
        {true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "remove " << c.remove << " edit " << c.edit);
        SetUp();
        TGLVertex3f& store = GLBaseVertex3f;
        store.GLVert3fSetNum = 10;
        for (int n = 1; n <= 4; ++n)
            store.GLVert3fTmp[n] = TGLVector{0, static_cast<float>(n), 0};
        GLVert3fRemove = c.remove;
        GLVert3fEnableEdit = c.edit;

        const auto drawn = Feedback(EmitPoints);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

        ASSERT_EQ(drawn.size(), c.drawn ? 4u : 0u);
        for (size_t i = 0; i < drawn.size(); ++i) {
            // Edit mode draws each point displaced by its slot's offset (slot i + 1: +Y by i + 1).
            const float dy = c.edit ? static_cast<float>(i + 1) : 0.0f;
            EXPECT_EQ(drawn[i].Token, GL_POINT_TOKEN);
            EXPECT_NEAR(drawn[i].V[0].X, kPoints[i].X, 1e-4);
            EXPECT_NEAR(drawn[i].V[0].Y, kPoints[i].Y + dy, 1e-4);
            EXPECT_NEAR(drawn[i].V[0].Z, kPoints[i].Z, 1e-4);
        }

        EXPECT_EQ(store.GLVert3fMax, 10);
        EXPECT_EQ(store.GLVert3fCount, c.recorded ? 4 : 0);
        for (int n = 1; n <= 4; ++n) {
            const TGLVector& p = kPoints[n - 1];
            if (c.recorded) {
                ExpectVector(store.GLVert3fOffset[n], p.X, p.Y, p.Z);
                ExpectVector(store.GLVert3f[n], p.X, p.Y + n, p.Z);
            } else {
                ExpectVector(store.GLVert3fOffset[n], 0, 0, 0);
                ExpectVector(store.GLVert3f[n], 0, 0, 0);
            }
        }
    }
}

TEST_F(CaptureTest, PassThroughKeepsThePrimitiveMode) {
    const auto drawn = Feedback([] {
        GLBegin(GL_QUADS);
        GLVertex3f(-1, -1, 0);
        GLVertex3f(1, -1, 0);
        GLVertex3f(1, 1, 0);
        GLVertex3f(-1, 1, 0);
        GLEnd();
    });
    ASSERT_EQ(drawn.size(), 2u); // one quad, rasterised as two triangles
    for (const auto& item : drawn) {
        EXPECT_EQ(item.Token, GL_POLYGON_TOKEN);
        EXPECT_EQ(item.V.size(), 3u);
    }
}

TEST_F(CaptureTest, EditModeSaturatesAtTheDeclaredSlotCount) {
    TGLVertex3f& store = GLBaseVertex3f;
    store.GLVert3fSetNum = 3;
    store.GLVert3fTmp[3] = TGLVector{0.5f, 0, -1};
    store.GLVert3fTmp[4] = TGLVector{9, 9, 9}; // beyond the declared slots: never used
    GLVert3fEnableEdit = true;
    const auto drawn = Feedback([] {
        GLBegin(GL_POINTS);
        for (int i = 1; i <= 5; ++i)
            GLVertex3f(static_cast<float>(i), 0, 0);
        GLEnd();
    });

    EXPECT_EQ(store.GLVert3fCount, 3);
    ExpectVector(store.GLVert3fOffset[1], 1, 0, 0);
    ExpectVector(store.GLVert3fOffset[2], 2, 0, 0);
    ExpectVector(store.GLVert3fOffset[3], 5, 0, 0); // slots 1, 2, 3, 3, 3: the fifth wins
    ExpectVector(store.GLVert3f[3], 5.5f, 0, -1);
    ExpectVector(store.GLVert3fOffset[4], 0, 0, 0);
    ASSERT_EQ(drawn.size(), 5u);
    EXPECT_NEAR(drawn[3].V[0].X, 4.5f, 1e-4); // the fourth, drawn through slot 3
    EXPECT_NEAR(drawn[4].V[0].X, 5.5f, 1e-4);
    EXPECT_NEAR(drawn[4].V[0].Z, -1.0f, 1e-4);
}

TEST_F(CaptureTest, CountCarriesOverBracketsAndEachBeginReloadsTheLimit) {
    TGLVertex3f& store = GLBaseVertex3f;
    store.GLVert3fSetNum = 10;
    GLVert3fEnableEdit = true;
    GLVert3fRemove = true;
    GLBegin(GL_POINTS);
    GLVertex3f(1, 0, 0);
    GLVertex3f(2, 0, 0);
    GLEnd();
    GLBegin(GL_POINTS);
    GLVertex3f(3, 0, 0);
    GLEnd();
    EXPECT_EQ(store.GLVert3fCount, 3);
    ExpectVector(store.GLVert3fOffset[3], 3, 0, 0);

    // A smaller declaration takes effect at the next GLBegin, not in the middle of a bracket.
    GLBegin(GL_POINTS);
    store.GLVert3fSetNum = 4;
    GLVertex3f(4, 0, 0);
    GLVertex3f(5, 0, 0);
    GLEnd();
    EXPECT_EQ(store.GLVert3fMax, 10);
    EXPECT_EQ(store.GLVert3fCount, 5);
    GLBegin(GL_POINTS);
    GLVertex3f(6, 0, 0);
    GLEnd();
    EXPECT_EQ(store.GLVert3fMax, 4);
    EXPECT_EQ(store.GLVert3fCount, 5); // already past the new limit: stays, and overwrites slot 5
    ExpectVector(store.GLVert3fOffset[5], 6, 0, 0);
}

TEST_F(CaptureTest, CountsOutsideTheStoreNeverWriteOutsideIt) {
    struct Case {
        const char* what;
        int32_t setNum, startCount;
        int32_t endCount; // after two vertices
        int32_t slot;     // slot both vertices land in, 0: not recorded, drawn as given
    } cases[] = {
        {"no slots declared", 0, 0, 0, 0},
        {"negative declaration", -5, 0, 0, 0},
        {"declaration above the store", 20000, 9999, 10000, 10000},
        {"count set above the store", 20000, 12000, 12000, 0},
        {"count set negative", 5, -3, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        TGLVertex3f& store = GLBaseVertex3f;
        for (TGLVector& d : store.GLVert3fTmp)
            d = TGLVector{0, 1, 0};
        store.GLVert3fSetNum = c.setNum;
        store.GLVert3fCount = c.startCount;
        GLVert3fEnableEdit = true;
        const auto drawn = Feedback([] {
            GLBegin(GL_POINTS);
            GLVertex3f(1, 2, 3);
            GLVertex3f(4, 5, 6);
            GLEnd();
        });

        EXPECT_EQ(store.GLVert3fCount, c.endCount);
        ASSERT_EQ(drawn.size(), 2u);
        const float dy = c.slot ? 1.0f : 0.0f;
        EXPECT_NEAR(drawn[1].V[0].Y, 5 + dy, 1e-4);
        int written = 0;
        for (int n = 1; n <= GLVertMaxSlots; ++n)
            written += store.GLVert3fOffset[n].Z != 0 || store.GLVert3f[n].Z != 0;
        EXPECT_EQ(written, c.slot ? 1 : 0);
        if (c.slot)
            ExpectVector(store.GLVert3fOffset[c.slot], 4, 5, 6);
        // The neighbours of the slot tables are intact.
        ExpectVector(store.GLVert3fTmp[1], 0, 1, 0);
        ExpectVector(store.GLVert3fTmp[GLVertMaxSlots], 0, 1, 0);
        EXPECT_EQ(store.GLVert3fSetNum, c.setNum);
    }
}

TEST(GLVectorTest, RoundsEachComponentToTheNearestFloat) {
    // 0.1 lies between two floats; truncation would pick the lower one.
    const TGLVector v = GLVector(0.1, 2.5, -3);
    EXPECT_EQ(v.X, 0.1f);
    EXPECT_EQ(v.Y, 2.5f);
    EXPECT_EQ(v.Z, -3.0f);
    EXPECT_EQ(GLVector(1.0 + 1e-12, 0, 0).X, 1.0f);
}

} // namespace
} // namespace geomtest
