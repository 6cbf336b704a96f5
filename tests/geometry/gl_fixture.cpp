// gl_fixture.cpp - the geometry tests' shared window, recorder and feedback reader.
#include "gl_fixture.h"

#include <cstring>

#include <GL/gl.h>

namespace geomtest {

std::unique_ptr<velvix_test::ScopedGLWindow> GLTest::window_;

void GLTest::SetUpTestSuite() {
    window_ = std::make_unique<velvix_test::ScopedGLWindow>(kWindowSize, kWindowSize);
}

void GLTest::TearDownTestSuite() {
    window_.reset();
}

void GLTest::SetUp() {
    if (!window_ || !window_->ok())
        GTEST_SKIP() << "no GL window";
    velvix::GLVert3fRemove = false;
    velvix::GLVert3fEnableEdit = false;
    std::memset(static_cast<void*>(&velvix::GLBaseVertex3f), 0, sizeof velvix::GLBaseVertex3f);

    glViewport(0, 0, kWindowSize, kWindowSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-kExtent, kExtent, -kExtent, kExtent, -kExtent, kExtent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST,
                       GL_TEXTURE_2D, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2})
        glDisable(cap);
    glDepthMask(GL_TRUE);
    glColor4f(1, 1, 1, 1);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glPointSize(1);
    while (glGetError() != GL_NO_ERROR) {
    }
}

std::vector<velvix::TGLVector> Record(const std::function<void()>& draw) {
    auto& store = velvix::GLBaseVertex3f;
    store.GLVert3fSetNum = velvix::GLVertMaxSlots;
    store.GLVert3fCount = 0;
    velvix::GLVert3fRemove = true;
    velvix::GLVert3fEnableEdit = true;
    draw();
    velvix::GLVert3fRemove = false;
    velvix::GLVert3fEnableEdit = false;
    std::vector<velvix::TGLVector> out;
    for (int n = 1; n <= store.GLVert3fCount; ++n)
        out.push_back(store.GLVert3fOffset[n]);
    return out;
}

std::vector<FeedbackItem> Feedback(const std::function<void()>& draw) {
    static std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int n = glRenderMode(GL_RENDER);

    const float half = kWindowSize / 2.0f;
    auto vertex = [&](int& i) {
        const GLfloat* f = &buffer[i];
        i += 11; // x y z, r g b a, s t r q
        return FeedbackVertex{(f[0] / half - 1) * kExtent,
                              (f[1] / half - 1) * kExtent,
                              -(2 * f[2] - 1) * kExtent,
                              f[3],
                              f[4],
                              f[5],
                              f[6],
                              f[7] / f[10],
                              f[8] / f[10]};
    };
    std::vector<FeedbackItem> items;
    for (int i = 0; i < n;) {
        FeedbackItem item{static_cast<int>(buffer[i++]), {}};
        int count = 0;
        switch (item.Token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            count = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            count = 2;
            break;
        case GL_POLYGON_TOKEN:
            count = static_cast<int>(buffer[i++]);
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            break;
        default:
            ADD_FAILURE() << "unexpected feedback token " << item.Token;
            return items;
        }
        for (int k = 0; k < count; ++k)
            item.V.push_back(vertex(i));
        items.push_back(item);
    }
    return items;
}

std::vector<FeedbackVertex> StripVertices(const std::vector<FeedbackItem>& triangles, int strips,
                                          int verticesPerStrip) {
    const int perStrip = verticesPerStrip - 2;
    if (static_cast<int>(triangles.size()) != strips * perStrip)
        return {};
    std::vector<FeedbackVertex> out(static_cast<size_t>(strips) * verticesPerStrip);
    for (int s = 0; s < strips; ++s) {
        for (int k = 0; k < perStrip; ++k) {
            const FeedbackItem& t = triangles[static_cast<size_t>(s) * perStrip + k];
            if (t.Token != GL_POLYGON_TOKEN || t.V.size() != 3)
                return {};
            FeedbackVertex* v = &out[static_cast<size_t>(s) * verticesPerStrip + k];
            v[k % 2 ? 1 : 0] = t.V[0];
            v[k % 2 ? 0 : 1] = t.V[1];
            v[2] = t.V[2];
        }
    }
    return out;
}

} // namespace geomtest
