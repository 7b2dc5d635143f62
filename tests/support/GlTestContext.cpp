#include "GlTestContext.h"

#include <QOffscreenSurface>
#include <QOpenGLFramebufferObject>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <GL/gl.h>

namespace qxtest {

GlTestContext::GlTestContext()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);

    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->setFormat(format);
    surface_->create();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(format);
    valid_ = surface_->isValid() && context_->create() && context_->makeCurrent(surface_.get());
    if (valid_) {
        // The offscreen surface's own buffer may be tiny; draw into a
        // 256 x 256 framebuffer with depth so read-back works.
        framebuffer_ = std::make_unique<QOpenGLFramebufferObject>(256, 256, QOpenGLFramebufferObject::Depth);
        valid_ = framebuffer_->isValid() && framebuffer_->bind();
        glViewport(0, 0, 256, 256);
    }
}

GlTestContext::~GlTestContext()
{
    framebuffer_.reset();
    if (context_)
        context_->doneCurrent();
}

void GlTestContext::makeCurrent()
{
    if (context_) {
        context_->makeCurrent(surface_.get());
        if (framebuffer_)
            framebuffer_->bind();
    }
}

void GlTest::SetUp()
{
    gl_ = std::make_unique<GlTestContext>();
    ASSERT_TRUE(gl_->valid()) << "no OpenGL context (run under xvfb-run -a)";
}

void GlTest::TearDown() { gl_.reset(); }

std::vector<FeedbackPrimitive> CaptureFeedback(const std::function<void()>& draw, size_t bufferFloats)
{
    std::vector<GLfloat> buffer(bufferFloats);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint count = glRenderMode(GL_RENDER);
    std::vector<FeedbackPrimitive> result;
    if (count < 0)
        return result;  // overflow: the caller's assertions will fail on the empty list

    auto readVertex = [&](GLint& i) {
        FeedbackVertex v{};
        float* fields[] = {&v.x, &v.y, &v.z, &v.r, &v.g, &v.b, &v.a, &v.s, &v.t, &v.p, &v.q};
        for (float* f : fields)
            *f = buffer[i++];
        return v;
    };
    GLint i = 0;
    while (i < count) {
        FeedbackPrimitive prim;
        prim.token = static_cast<unsigned>(buffer[i++]);
        int vertices = 0;
        switch (prim.token) {
        case GL_POLYGON_TOKEN:
            vertices = static_cast<int>(buffer[i++]);
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            vertices = 2;
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            vertices = 1;
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            continue;
        default:
            return result;
        }
        for (int k = 0; k < vertices; ++k)
            prim.vertices.push_back(readVertex(i));
        result.push_back(std::move(prim));
    }
    return result;
}

}  // namespace qxtest
