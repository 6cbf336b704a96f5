// gl_fixture.h - shared helpers of the geometry tests: a real GL window per test suite with a
// known starting state, read-back of emitted vertices through the capture layer's edit mode,
// and read-back of what reaches OpenGL through GL feedback mode.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "framework/geometry/geometry.h"
#include "support/gl_window.h"

namespace geomtest {

// Half the side of the cube that the fixture's orthographic projection shows: object
// coordinates within +-kExtent are neither clipped nor distorted.
constexpr float kExtent = 20.0f;
constexpr int kWindowSize = 64;

class GLTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Skips the test when no GL window can be made; otherwise resets the capture layer
    // (switches off, store zeroed), both matrices (identity modelview, ortho +-kExtent), the
    // viewport and the enables the helpers touch.
    void SetUp() override;

    static std::unique_ptr<velvix_test::ScopedGLWindow> window_;
};

// The vertices that `draw` emits through the capture layer, in order, as the caller gave them
// (GLVert3fOffset). Records with edit mode and remove mode on, so nothing reaches OpenGL.
std::vector<velvix::TGLVector> Record(const std::function<void()>& draw);

struct FeedbackVertex {
    float X, Y, Z;    // object coordinates (the fixture's projection undone)
    float R, G, B, A; // colour after lighting
    float S, T;       // texture coordinate
};
struct FeedbackItem {
    int Token; // GL_POINT_TOKEN, GL_LINE_TOKEN, GL_LINE_RESET_TOKEN, GL_POLYGON_TOKEN, ...
    std::vector<FeedbackVertex> V;
};

// What `draw` makes OpenGL rasterise, read back in feedback mode (GL_3D_COLOR_TEXTURE) with the
// fixture's matrices (identity modelview). Polygons come back as triangles.
std::vector<FeedbackItem> Feedback(const std::function<void()>& draw);

// Rebuilds the vertex sequence of consecutive triangle strips from their feedback triangles,
// given the number of vertices in each strip (OpenGL's strip rule: triangle k is (k, k+1, k+2)
// for even k and (k+1, k, k+2) for odd k). Returns an empty vector if the triangle count does
// not match.
std::vector<FeedbackVertex> StripVertices(const std::vector<FeedbackItem>& triangles, int strips,
                                          int verticesPerStrip);

} // namespace geomtest
