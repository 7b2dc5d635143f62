// The frame's update step: the camera moves for held keys, the pending
// primitive follows the cursor and the chosen texture (the document's data
// only).
#include "FrameLoop.h"

#include "Camera.h"
#include "PendingEdits.h"
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
    qx::PendingFollows(state, camera->EditMode != 0);
}
