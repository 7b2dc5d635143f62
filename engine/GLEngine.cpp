#include "GLEngine.h"

#include <GL/glu.h>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWindow>

#include <malloc.h>

#include <vector>

// glBlendEquation belongs to the imaging subset; Mesa's libGL exports it.
extern "C" void glBlendEquation(GLenum mode);

bool LightingEnabled = false;
bool FogEnabled = false;
bool FeedbackEnabled = false;

const TColor4 LightAmbient = {0.7f, 0.7f, 0.7f, 1.0f};
const TColor4 LightDiffuse = {1.0f, 1.0f, 1.0f, 1.0f};
const float LightPosition[4] = {0.0f, 30.0f, 0.0f, 1.0f};
const GLenum FogModes[3] = {GL_EXP, GL_EXP2, GL_LINEAR};
const GLenum FogHints[3] = {GL_DONT_CARE, GL_NICEST, GL_FASTEST};

EngineState& Engine()
{
    static EngineState state;
    return state;
}

QSurfaceFormat SceneFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    format.setSwapInterval(0);  // the render timer paces the frames
    return format;
}

bool InitEngine(int /*width*/, int /*height*/, QWindow* window)
{
    EngineState& engine = Engine();
    engine.DC = window;
    if (window->surfaceType() != QSurface::OpenGLSurface)
        window->setSurfaceType(QSurface::OpenGLSurface);
    // The format only counts before the platform window exists (EGL picks
    // its config then); a window made by its owner carries it already.
    if (!window->handle()) {
        window->setFormat(SceneFormat());
        window->create();
    }

    engine.RC = new QOpenGLContext();
    engine.RC->setFormat(SceneFormat());
    if (!engine.RC->create() || !engine.RC->makeCurrent(window)) {
        delete engine.RC;
        engine.RC = nullptr;
        return false;
    }
    InitGLState();
    return true;
}

void MakeEngineCurrent()
{
    EngineState& engine = Engine();
    if (engine.RC && engine.DC && QOpenGLContext::currentContext() != engine.RC)
        engine.RC->makeCurrent(engine.DC);
}

void ShutdownEngine(QWindow* window)
{
    EngineState& engine = Engine();
    if (engine.DC != window)
        return;
    if (engine.RC) {
        engine.RC->doneCurrent();
        delete engine.RC;
    }
    engine = EngineState();
}

void InitGLState()
{
    glClearDepth(1.0);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_RESCALE_NORMAL);
    glEnable(GL_NORMALIZE);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    CreateFeedbackTexture();
    SetupLight();
    SetFog(0, 0, TColor4{0, 0, 0, 1}, 0.0f, 1.0f, 100.0f);
}

void CreateFeedbackTexture()
{
    // The first copy overwrites the picture, so its start contents only need
    // to be defined (the design leaves them unspecified).
    std::vector<unsigned char> scratch(512 * 512 * 3, 0);
    GLuint& id = Engine().FeedbackTexture;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 512, 512, 0, GL_RGB, GL_UNSIGNED_BYTE, scratch.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void SetupLight()
{
    glLightfv(GL_LIGHT0, GL_AMBIENT, &LightAmbient.R);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, &LightDiffuse.R);
    glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
}

void SetFog(uint8_t modeIndex, uint8_t hintIndex, const TColor4& color, float density, float start,
            float end)
{
    if (density == 0.0f)
        density = 0.01f;
    // Indices past the tables are never passed by the editor; clamp rather
    // than read outside them.
    glFogi(GL_FOG_MODE, static_cast<GLint>(FogModes[modeIndex < 3 ? modeIndex : 2]));
    glFogf(GL_FOG_DENSITY, density);
    glFogfv(GL_FOG_COLOR, &color.R);
    glHint(GL_FOG_HINT, FogHints[hintIndex < 3 ? hintIndex : 2]);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
}

void EnableFog() { glEnable(GL_FOG); }

void DisableFog() { glDisable(GL_FOG); }

void SetProjection(uint8_t ortho, int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (ortho != 0) {
        glOrtho(0, width, height, 0, 0.1, 1000.0);
        glTranslatef(0, 0, -1);
    } else {
        gluPerspective(60.0, static_cast<double>(width) / static_cast<double>(height), 0.1, 1000.0);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SetBlend(uint8_t equation, uint8_t mode)
{
    static const GLenum equations[5] = {GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN,
                                        GL_MAX};
    static const GLenum functions[12][2] = {
        {0, 0},
        {GL_SRC_ALPHA, GL_ONE},
        {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {GL_ONE, GL_ONE},
        {GL_DST_COLOR, GL_SRC_COLOR},
        {GL_DST_COLOR, GL_ZERO},
        {GL_SRC_COLOR, GL_ONE},
        {GL_ONE_MINUS_DST_COLOR, GL_ONE},
        {GL_ZERO, GL_SRC_ALPHA},
        {GL_DST_COLOR, GL_DST_ALPHA},
        {GL_ONE_MINUS_DST_ALPHA, GL_ONE_MINUS_SRC_COLOR},
        {GL_ONE_MINUS_SRC_ALPHA, GL_DST_COLOR},
    };
    if (mode > 0)
        glEnable(GL_BLEND);
    if (equation < 5)
        glBlendEquation(equations[equation]);
    if (mode == 0)
        glDisable(GL_BLEND);
    if (mode >= 1 && mode <= 11)
        glBlendFunc(functions[mode][0], functions[mode][1]);
}

void EndFrame()
{
    glFlush();
    EngineState& engine = Engine();
    if (engine.RC && engine.DC && engine.DC->isExposed())
        engine.RC->swapBuffers(engine.DC);
}

void TrimWorkingSet() { malloc_trim(0); }

void DrawFeedback(uint8_t persistence, uint8_t mode)
{
    glBindTexture(GL_TEXTURE_2D, Engine().FeedbackTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glDisable(GL_DEPTH_TEST);
    SetBlend(0, mode);
    glColor4f(1, 1, 1, 1.0f - 1.0f / static_cast<float>(persistence));
    glPushMatrix();
    glTranslatef(0, 600, 0);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, -10);
    glTexCoord2f(0, 1);
    glVertex3f(0, -600, -10);
    glTexCoord2f(1, 1);
    glVertex3f(800, -600, -10);
    glTexCoord2f(1, 0);
    glVertex3f(800, 0, -10);
    glEnd();
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    CopyScreenToFeedback();
}

void CopyScreenToFeedback()
{
    glBindTexture(GL_TEXTURE_2D, Engine().FeedbackTexture);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 800, 600, 0);
}
