// A real OpenGL compatibility context (Mesa under Xvfb) current for a test.
// Drawing goes to a 256 x 256 framebuffer object with depth; read-back works.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

namespace qxtest {

class GlTestContext {
public:
    GlTestContext();
    ~GlTestContext();
    bool valid() const { return valid_; }
    void makeCurrent();

private:
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOpenGLFramebufferObject> framebuffer_;
    bool valid_ = false;
};

// Fixture: a fresh context per test, with the default GL state.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<GlTestContext> gl_;
};

// Feedback-mode capture of what a routine emits.  Each vertex carries the
// window position (x, y, z), colour and texture coordinate (GL_3D_COLOR_TEXTURE).
struct FeedbackVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t, p, q;
};
struct FeedbackPrimitive {
    unsigned token;  // GL_POLYGON_TOKEN, GL_LINE_TOKEN, ...
    std::vector<FeedbackVertex> vertices;
};
// Runs draw() in feedback mode and parses the buffer.  Culling and the depth
// test are left as the caller set them.
std::vector<FeedbackPrimitive> CaptureFeedback(const std::function<void()>& draw,
                                               size_t bufferFloats = 1 << 20);

}  // namespace qxtest
