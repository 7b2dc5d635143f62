#include "SceneMouse.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSlider>

#include "Camera.h"
#include "EditorState.h"
#include "FrameLoop.h"
#include "HandlerGuard.h"
#include "MapCommands.h"
#include "OrthoViewPane.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneSurface.h"
#include "Vantor.h"
#include "ViewLayout.h"

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

void SceneClick(TFVantor& window)
{
    const bool toggle = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
    // The part just made is chosen in the part tree: the user sees it.
    if (const qx::PartRef made = ClickAtCursor(Editor(), window.line->value(), toggle))
        SelectPart(window, made);
}

void SceneDblClick(TFVantor& window)
{
    if (qx::ArmCommit(Editor()))
        SceneClick(window);
}

void InstallSceneInput(TFVantor& window)
{
    TFVantor* w = &window;
    for (int axis = 0; axis < 3; ++axis) {
        OrthoViewPane* pane = w->Views->OrthoPane(axis);
        pane->PartMade = [w](qx::PartRef part) { SelectPart(*w, part); };
        // The status bar says where the mouse is, in whichever view.
        pane->MouseAt = [w](const double* world) {
            // Back on the 3D view, the next frame shows its cursor again.
            w->Frame.mouseIn2D = world != nullptr;
            w->Frame.mouseShown.clear();
            if (!world)
                return;
            MouseStatusText(w->Frame.scratch, world);
            w->SetStatusText(2, w->Frame.scratch);
        };
    }
    SceneSurface* scene = w->SceneWindow;
    QObject::connect(scene, &SceneSurface::mouseMove, w, [](int x, int y) { Guarded([&] { SceneMouseMove(x, y); }); });
    // What a press or a click does reads the 3D cursor: it is sampled where
    // the mouse is, never left from a frame before its last move.
    QObject::connect(scene, &SceneSurface::mouseDown, w, [w](Qt::MouseButton b, int, int) {
        w->RenderTimer->DrawPending();
        Guarded([&] { SceneMouseDown(b); });
    });
    QObject::connect(scene, &SceneSurface::mouseUp, w,
                     [](Qt::MouseButton b, int, int) { Guarded([&] { SceneMouseUp(b); }); });
    QObject::connect(scene, &SceneSurface::clicked, w, [w] {
        w->RenderTimer->DrawPending();
        Guarded([w] { SceneClick(*w); });
    });
    QObject::connect(scene, &SceneSurface::doubleClicked, w, [w] {
        w->RenderTimer->DrawPending();
        Guarded([w] { SceneDblClick(*w); });
    });
    QObject::connect(scene, &SceneSurface::dragStarted, w, [w](int x, int y) {
        w->RenderTimer->DrawPending();
        Guarded([&] { BeginSelectionDrag(Editor(), x, y); });
    });
    QObject::connect(scene, &SceneSurface::dragMoved, w,
                     [](int x, int y) { Guarded([&] { DragSelectionTo(Editor(), x, y); }); });
    QObject::connect(scene, &SceneSurface::dragEnded, w, [] { Guarded([] { EndSelectionDrag(Editor()); }); });
}
