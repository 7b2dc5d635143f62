#include "ViewEdits.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "DocumentSteps.h"
#include "PendingEdits.h"

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
    MoveSelectionDuringDrag(doc, drag.origins, offset[0], offset[1], offset[2]);
}

void MoveSelectionDuringDrag(Document& doc, const std::vector<TPlacement>& origins, float dx, float dy, float dz)
{
    MoveSelected(doc, doc.Selection, origins, dx, dy, dz);
    doc.Events.Notify(MapChanged | SelectionMoved);
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

bool ShapePendingInView(Document& doc, const OrthoView& view, double x0, double y0, double x1, double y1, double depth)
{
    const ShapeKind kind = doc.PendingKind;
    const ShapeFields fields = PendingFields(doc);
    if (!doc.ModelEditMode || !doc.Placing || !fields ||
        (kind != ShapeKind::Box && kind != ShapeKind::Floor && kind != ShapeKind::Wall))
        return false;
    // The world box the rectangle means.
    float a[3], b[3];
    GridPointInView(doc, view, x0, y0, depth, a);
    GridPointInView(doc, view, x1, y1, depth, b);
    double lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(a[k], b[k]);
        hi[k] = std::max(a[k], b[k]);
        if (hi[k] - lo[k] <= 0)
            hi[k] = lo[k] + std::max(GridStep(doc, k), 0.0f);
    }
    // The part's own axes and the size along each (a box has three, a flat
    // part its X and Z; the editor's rows are width, depth, height).
    float* along[3] = {fields.Size[0], nullptr, nullptr};
    if (kind == ShapeKind::Box) {
        along[1] = fields.Size[2];
        along[2] = fields.Size[1];
    } else {
        along[2] = fields.Size[1] ? fields.Size[1] : fields.Size[2];
    }
    RecordPendingEdit(doc, {}, PendingChanged | CursorChanged, [&] {
        Affine turn = PartFrame(TVec3{}, *fields.Rotation);
        const auto worldOf = [&turn](int own) {
            int world = 0;
            for (int k = 1; k < 3; ++k)
                if (std::fabs(turn.m[k][own]) > std::fabs(turn.m[world][own]))
                    world = k;
            return world;
        };
        // A wall drawn in the front or the side view stands in that view's
        // plane, its width along the view's right, its height up.
        if (kind == ShapeKind::Wall && view.axis != ViewAxis::Top && worldOf(0) == TowardViewer(view.axis).axis) {
            *fields.Rotation = view.axis == ViewAxis::Front ? TVec3{-90, 0, 0} : TVec3{-90, 0, 90};
            turn = PartFrame(TVec3{}, *fields.Rotation);
        }
        float position[3] = {static_cast<float>(lo[0]), static_cast<float>(lo[1]), static_cast<float>(lo[2])};
        for (int own = 0; own < 3; ++own) {
            if (!along[own])
                continue;
            const int world = worldOf(own);
            *along[own] = static_cast<float>(hi[world] - lo[world]);
            // A side that runs backwards along its world axis starts at the
            // far end.
            if (turn.m[world][own] < 0)
                position[world] = static_cast<float>(hi[world]);
        }
        *fields.Position = TVec3{position[0], position[1], position[2]};
        if (fields.SizeChanged)
            fields.SizeChanged();
        std::copy(position, position + 3, doc.CursorWorld);
        doc.ClickState = 1;
    });
    return true;
}

PartRef ClickPendingInView(Document& doc, const OrthoView& view, double x, double y, double depth, int32_t list)
{
    if (doc.PrimIndex < 0)
        return {};
    if (doc.ClickState == 0) {
        float at[3];
        GridPointInView(doc, view, x, y, depth, at);
        std::copy(at, at + 3, doc.CursorWorld);
        if (const ShapeFields fields = PendingFields(doc))
            *fields.Position = TVec3{at[0], at[1], at[2]};
        doc.ClickState = 1;
        doc.Events.Notify(PendingChanged | CursorChanged);
        return {};
    }
    return ClickPending(doc, list);
}

}  // namespace qx
