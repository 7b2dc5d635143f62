#include "SceneMouse.h"

#include <QCursor>

#include "Camera.h"
#include "EditorState.h"
#include "FrameLoop.h"

void SceneMouseMove(int x, int y)
{
    Editor().MouseX = x;
    Editor().MouseY = y;
    RequestFrame();  // the 3D cursor follows the mouse
}

void SceneMouseDown(Qt::MouseButton button)
{
    EditorState& state = Editor();
    TCamera* camera = state.Camera;
    if (!camera)
        return;
    if (!state.CtrlLook && button == Qt::MiddleButton) {
        const QPoint at = QCursor::pos();
        camera->LookAnchorX = at.x();
        camera->LookAnchorY = at.y();
        camera->MouseLookActive = 255;
    }
    if (camera->EditMode == 0) {
        if (button == Qt::RightButton)
            state.MoveKeys.Back = true;
        if (button == Qt::LeftButton)
            state.MoveKeys.Forward = true;
    }
    RequestFrame();  // held, they keep the frames coming
}

void SceneMouseUp(Qt::MouseButton button)
{
    EditorState& state = Editor();
    if (button == Qt::MiddleButton && state.Camera)
        state.Camera->MouseLookActive = 0;
    if (button == Qt::RightButton)
        state.MoveKeys.Back = false;
    if (button == Qt::LeftButton)
        state.MoveKeys.Forward = false;
    RequestFrame();
}
