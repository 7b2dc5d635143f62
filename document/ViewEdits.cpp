#include "ViewEdits.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "DocumentSteps.h"

namespace qx {

namespace {

float GridStep(const EditSession& session, int axis)
{
    return axis == 0 ? session.GridStepX : axis == 1 ? session.GridStepY : session.GridStepZ;
}

double ToNearestLine(double v, float step)
{
    return step > 0 ? std::round(v / step) * step : v;
}

}  // namespace

bool BeginPlaneDrag(const Document& doc, const OrthoView& view, double x, double y, PlaneDrag& drag)
{
    drag = PlaneDrag();
    if (doc.Selection.empty())
        return false;
    for (const int32_t i : SelectedIndices(doc, doc.Selection))
        drag.origins.push_back(doc.Placements[static_cast<size_t>(i)]);
    if (drag.origins.empty())
        return false;
    drag.view = view;
    view.ScreenToPlane(x, y, drag.startRight, drag.startUp);
    drag.active = true;
    return true;
}

void DragInPlane(Document& doc, double x, double y, PlaneDrag& drag)
{
    if (!drag.active)
        return;
    double r, u;
    drag.view.ScreenToPlane(x, y, r, u);
    const AxisDir right = RightOf(drag.view.axis), up = UpOf(drag.view.axis);
    float offset[3] = {0, 0, 0};
    offset[right.axis] = static_cast<float>(ToNearestLine((r - drag.startRight) * right.sign, GridStep(doc, right.axis)));
    offset[up.axis] = static_cast<float>(ToNearestLine((u - drag.startUp) * up.sign, GridStep(doc, up.axis)));
    if (offset[0] == drag.offset[0] && offset[1] == drag.offset[1] && offset[2] == drag.offset[2])
        return;
    std::copy(offset, offset + 3, drag.offset);
    MoveSelected(doc, doc.Selection, drag.origins, offset[0], offset[1], offset[2]);
    doc.Events.Notify(MapChanged);
}

void EndPlaneDrag(Document& doc, PlaneDrag& drag)
{
    if (!drag.active)
        return;
    const PlaneDrag ended = std::exchange(drag, PlaneDrag());
    // The step goes from where the drag began to where it ended.
    MoveSelected(doc, doc.Selection, ended.origins, 0, 0, 0);
    if (ended.offset[0] == 0 && ended.offset[1] == 0 && ended.offset[2] == 0) {
        doc.Events.Notify(MapChanged);
        return;
    }
    RecordMapChange(doc, "перемещение объектов",
                    MoveSelected(doc, doc.Selection, ended.origins, ended.offset[0], ended.offset[1], ended.offset[2]));
}

void NudgeInView(Document& doc, ViewAxis view, int right, int up)
{
    if (doc.Selection.empty() || (right == 0 && up == 0))
        return;
    float move[3] = {0, 0, 0};
    const AxisDir r = RightOf(view), u = UpOf(view);
    move[r.axis] += static_cast<float>(right * r.sign) * GridStep(doc, r.axis);
    move[u.axis] += static_cast<float>(up * u.sign) * GridStep(doc, u.axis);
    RecordMapChange(doc, "сдвиг объектов", EditSelected(doc, doc.Selection, [&move](TPlacement& p) {
                        p.PosX += move[0];
                        p.PosY += move[1];
                        p.PosZ += move[2];
                    }));
}

void GridPointInView(const EditSession& session, const OrthoView& view, double x, double y, double depth,
                     float at[3])
{
    double world[3];
    view.ScreenToWorld(x, y, depth, world);
    const int right = RightOf(view.axis).axis, up = UpOf(view.axis).axis;
    for (int k = 0; k < 3; ++k)
        at[k] = static_cast<float>(k == right || k == up ? ToNearestLine(world[k], GridStep(session, k)) : world[k]);
}

double ClickDepth(const EditSession& session, ViewAxis view, double workingLevel)
{
    return view == ViewAxis::Top ? workingLevel : session.CursorWorld[TowardViewer(view).axis];
}

void PlaceInView(Document& doc, const OrthoView& view, const std::string& name, double x, double y, double depth)
{
    float at[3];
    GridPointInView(doc, view, x, y, depth, at);
    PlaceObject(doc, name, at);
}

void MovePlayerStartInView(Document& doc, const OrthoView& view, double x, double y, double depth)
{
    float at[3];
    GridPointInView(doc, view, x, y, depth, at);
    MovePlayerStart(doc, at);
}

}  // namespace qx
