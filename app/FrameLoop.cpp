#include "FrameLoop.h"

#include <GL/gl.h>

#include "GLEngine.h"
#include "SceneSurface.h"
#include "Vantor.h"

void RenderFrame(TFVantor& window)
{
    MakeEngineCurrent();
    const qreal ratio = window.SceneWindow->devicePixelRatio();
    const int width = static_cast<int>(window.Scene->width() * ratio);
    const int height = static_cast<int>(window.Scene->height() * ratio);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, width, height);
    SetProjection(0, width, height);
    glPushMatrix();
    glPopMatrix();
    EndFrame();
}
