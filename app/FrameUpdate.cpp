// The frame's update step: the camera moves for held keys, the pending
// primitive follows the cursor and the chosen texture (the document's data
// only).
#include "FrameLoop.h"

#include "Camera.h"
#include "SessionEdits.h"
#include "EditorState.h"
#include "QX3DObject.h"

namespace {

constexpr float MoveStep = 0.6f;

}  // namespace

// The pending primitive hangs on the cursor (no click locked it yet): every
// new sample of the cursor moves it.
bool FollowsCursor(const EditorState& state)
{
    return state.ModelEditMode && state.Camera && state.Camera->EditMode != 0 && state.Placing &&
           state.PendingPrimitive && state.ClickState == 0;
}

void UpdateFrame(EditorState& state, const SceneView& view)
{
    TCamera* camera = state.Camera;
    if (state.MoveKeys.Back)
        camera->Walk(MoveStep);
    if (state.MoveKeys.Forward)
        camera->Walk(-MoveStep);
    if (state.MoveKeys.Right)
        camera->Strafe(MoveStep);
    if (state.MoveKeys.Left)
        camera->Strafe(-MoveStep);
    if (!state.ModelEditMode)
        return;
    if (state.EditedModel)
        state.EditedModel->CurrentList = static_cast<int16_t>(view.timeline);
    const ShapeFields shape = qx::PendingFields(state);
    if (!state.PendingPrimitive || !shape)
        return;
    const TVec3 before = *shape.Position;
    const int32_t textureBefore = shape.Texture ? *shape.Texture : 0;
    if (camera->EditMode != 0 && state.Placing) {
        const double* c = state.CursorWorld;
        if (state.ClickState == 0)
            *shape.Position = TVec3{SnapX(static_cast<float>(c[0])), SnapY(static_cast<float>(c[1])),
                                    SnapZ(static_cast<float>(c[2]))};
        else if (state.ClickState == 1)
            *shape.Position = TVec3{static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
    }
    // Models bring their own materials.
    if (shape.Texture && state.Placing && *shape.Texture != state.SelectedTexture)
        *shape.Texture = state.SelectedTexture;
    if ((shape.Texture && *shape.Texture != textureBefore) || shape.Position->X != before.X ||
        shape.Position->Y != before.Y || shape.Position->Z != before.Z)
        state.Events.Notify(qx::PendingChanged);
}

