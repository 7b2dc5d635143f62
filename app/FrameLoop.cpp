#include "FrameLoop.h"

#include <chrono>

#include "EditorState.h"
#include "GLEngine.h"
#include "ObjectRelease.h"
#include "SceneSurface.h"
#include "Vantor.h"

void DrawFrame(TFVantor& window)
{
    EditorState& state = Editor();
    if (!state.Camera)
        return;
    // What the update and draw steps change, this frame's present step
    // shows, without asking for another frame.
    struct Drawing {
        bool& flag;
        explicit Drawing(bool& f) : flag(f) { flag = true; }
        ~Drawing() { flag = false; }
    } drawing(window.Frame.drawing);
    MakeEngineCurrent();
    // The panel's size is the viewport's; the rest of the view comes from
    // what the controls' handlers stored.
    SceneView& view = window.Frame.view;
    const qreal ratio = window.SceneWindow->devicePixelRatio();
    view.width = static_cast<int>(window.Scene->width() * ratio);
    view.height = static_cast<int>(window.Scene->height() * ratio);
    UpdateFrame(state, view);
    DrawScene(state, window.Frame.shownOptions, view, window.Frame.draw);
    PresentFrame(window);
}

void RenderFrame(TFVantor& window)
{
    DrawFrame(window);
    EndFrame();
    // What a load replaced goes once the new project shows, a portion
    // after each frame, so that the frames keep coming meanwhile.
    if (qx::ObjectsAwaitingRelease() > 0 && qx::ReleaseSome(std::chrono::milliseconds(4)))
        RequestFrame();
}

