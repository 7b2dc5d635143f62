#include "MapCommands.h"

#include <QClipboard>
#include <QGuiApplication>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "DocumentSteps.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "Errors.h"
#include "MapEdits.h"
#include "Messages.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "ViewEdits.h"

namespace {

// Where the ray meets the horizontal plane at `height`; false when it runs
// along it or away from it.
bool OnPlane(const qx::Ray& ray, double height, double at[3])
{
    if (ray.dir[1] == 0)
        return false;
    const double t = (height - ray.origin[1]) / ray.dir[1];
    if (!(t >= 0) || !std::isfinite(t))
        return false;
    for (int k = 0; k < 3; ++k)
        at[k] = ray.origin[k] + t * ray.dir[k];
    return true;
}

float SnapDelta(double delta, float step)
{
    return step > 0 ? static_cast<float>(std::round(delta / step) * step) : static_cast<float>(delta);
}

bool InMapView(const EditorState& state) { return !state.ModelEditMode; }

}  // namespace

bool MapRayAt(const EditorState& state, int x, int y, qx::Ray& ray)
{
    const EditorState::PickView& view = state.MapView;
    if (!view.valid)
        return false;
    // The pixel's centre, GL's rows counted from the bottom.
    const double wx = x + 0.5, wy = view.viewport[3] - y - 0.5;
    double nearPoint[3], farPoint[3];
    if (!gluUnProject(wx, wy, 0.0, view.modelview, view.projection, view.viewport, &nearPoint[0], &nearPoint[1],
                      &nearPoint[2]) ||
        !gluUnProject(wx, wy, 1.0, view.modelview, view.projection, view.viewport, &farPoint[0], &farPoint[1],
                      &farPoint[2]))
        return false;
    for (int k = 0; k < 3; ++k) {
        ray.origin[k] = nearPoint[k];
        ray.dir[k] = farPoint[k] - nearPoint[k];
    }
    return true;
}

void SelectAtMouse(EditorState& state, bool toggle)
{
    qx::Ray ray;
    const int32_t hit = MapRayAt(state, state.MouseX, state.MouseY, ray)
                            ? qx::PickPlacement(state, state.MapFilter, ray, state.PickScratch)
                            : -1;
    qx::SelectClicked(state, hit, toggle);
}

void SelectAllPlacements(EditorState& state)
{
    if (!InMapView(state))
        return;
    qx::SetSelection(state, qx::SelectAll(state));
}

void ClearSelectionAndPlacing(EditorState& state)
{
    state.ObjectTree.SetCurrent(-1);
    qx::TreeChanged(state, state.ObjectTree);
    if (state.CursorPreview)
        state.CursorPreview->Clear();
    qx::SetSelection(state, {});
}

void BeginSelectionDrag(EditorState& state, int x, int y)
{
    state.Drag = EditorState::SelectionDrag();
    qx::Ray ray;
    if (!InMapView(state) || state.Selection.empty() || !MapRayAt(state, x, y, ray))
        return;
    const int32_t hit = qx::PickPlacement(state, state.MapFilter, ray, state.PickScratch);
    if (hit < 0 || !qx::IsSelected(state.Selection, state.PlacementId(hit)))
        return;
    state.Drag.height = state.Placements[static_cast<size_t>(hit)].PosY;
    if (!OnPlane(ray, state.Drag.height, state.Drag.start))
        return;
    for (const int32_t i : qx::SelectedIndices(state, state.Selection))
        state.Drag.origins.push_back(state.Placements[static_cast<size_t>(i)]);
    state.Drag.active = true;
}

void DragSelectionTo(EditorState& state, int x, int y)
{
    if (!state.Drag.active)
        return;
    qx::Ray ray;
    double at[3];
    if (!MapRayAt(state, x, y, ray) || !OnPlane(ray, state.Drag.height, at))
        return;
    state.Drag.dx = SnapDelta(at[0] - state.Drag.start[0], state.GridStepX);
    state.Drag.dz = SnapDelta(at[2] - state.Drag.start[2], state.GridStepZ);
    // Every view shows the drag as it goes; the step comes at its end.
    qx::MoveSelectionDuringDrag(state, state.Drag.origins, state.Drag.dx, 0, state.Drag.dz);
}

void EndSelectionDrag(EditorState& state)
{
    if (!state.Drag.active)
        return;
    const EditorState::SelectionDrag drag = std::exchange(state.Drag, EditorState::SelectionDrag());
    // The step goes from where the drag began to where it ended.
    qx::MoveSelected(state, state.Selection, drag.origins, 0, 0, 0);
    if (drag.dx == 0 && drag.dz == 0)
        return;
    qx::RecordMapChange(state, "перемещение объектов", qx::MoveSelected(state, state.Selection, drag.origins, drag.dx, 0, drag.dz));
}

void RaiseSelection(EditorState& state, int steps)
{
    if (!InMapView(state) || state.Selection.empty())
        return;
    const float dy = static_cast<float>(steps) * state.GridStepY;
    qx::RecordMapChange(state, steps > 0 ? "подъём объектов" : "опускание объектов",
           qx::EditSelected(state, state.Selection, [dy](TPlacement& p) { p.PosY += dy; }));
}

void TurnSelection(EditorState& state, float degrees)
{
    if (!InMapView(state) || state.Selection.empty())
        return;
    qx::RecordMapChange(state, "поворот объектов", qx::TurnSelected(state, state.Selection, degrees));
}

void DuplicateSelection(EditorState& state)
{
    if (!InMapView(state) || state.Selection.empty())
        return;
    qx::RecordMapChange(state, "копирование объектов", qx::DuplicateSelected(state, state.Selection, state.GridStepX, 0));
}

void CopySelection(const EditorState& state)
{
    if (!InMapView(state) || state.Selection.empty())
        return;
    QGuiApplication::clipboard()->setText(ToQString(qx::PlacementLines(state, state.Selection)));
}

void PasteAtCursor(EditorState& state)
{
    PastePlacementText(state, FromQString(QGuiApplication::clipboard()->text()));
}

void PastePlacementText(EditorState& state, const std::string& cp1251)
{
    if (!InMapView(state))
        return;
    std::vector<std::string> names;
    std::vector<TPlacement> placements;
    try {
        qx::ReadPlacementLines(cp1251, state, names, placements);
    } catch (const qx::Error& e) {
        qx::Messages().ShowMessage(Cp("Вставка"), Cp("В буфере обмена нет строк размещений (") + e.what() +
                                                      Cp("): ничего не вставлено."));
        return;
    }
    const float at[3] = {SnapX(static_cast<float>(state.CursorWorld[0])), SnapY(static_cast<float>(state.CursorWorld[1])),
                         SnapZ(static_cast<float>(state.CursorWorld[2]))};
    qx::RecordMapChange(state, "вставка объектов", qx::AddPlacements(state, state.Selection, names, placements, at));
}

void DeleteSelectionOrNearest(EditorState& state)
{
    if (!InMapView(state))
        return;
    if (state.Selection.empty()) {
        const double reach = 2.0 * std::max({state.GridStepX, state.GridStepY, state.GridStepZ});
        const double at[3] = {SnapX(static_cast<float>(state.CursorWorld[0])),
                              SnapY(static_cast<float>(state.CursorWorld[1])),
                              SnapZ(static_cast<float>(state.CursorWorld[2]))};
        qx::DeleteNearestPlacement(state, at, reach);
        return;
    }
    qx::RecordMapChange(state, "удаление объектов с карты", qx::DeleteSelected(state, state.Selection));
}

void SetSelectedField(EditorState& state, float TPlacement::*field, float value, const std::string& mergeKey)
{
    if (!InMapView(state) || state.Selection.empty())
        return;
    qx::RecordMapChange(state, "изменение объектов",
           qx::EditSelected(state, state.Selection, [&](TPlacement& p) { p.*field = value; }), mergeKey);
}
