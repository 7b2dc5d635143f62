// Edits made in a 2D view, on the same document steps as the 3D view's:
// moving the selection in the view's plane (a drag, one step however long),
// nudging it by a grid step, placing the chosen object and moving the player
// start where the user clicks.  Positions in the plane land on the grid:
// each world axis snaps to its own step (GridStepX for X, GridStepY for the
// height, GridStepZ for the depth), to the nearest line, as a drag in the
// 3D view does.
#pragma once

#include <string>
#include <vector>

#include "Document.h"
#include "OrthoView.h"
#include "SessionEdits.h"

namespace qx {

// A drag of the selection in a view, held by the view from the press to the
// release.
struct PlaneDrag {
    bool active = false;
    OrthoView view;                    // as the drag began
    double startRight = 0, startUp = 0;  // the press, in the view's plane
    std::vector<TPlacement> origins;   // the selection as the drag began
    float offset[3] = {0, 0, 0};       // the snapped move so far, world
};

// Starts a drag of the selection pressed at pixel (x, y); false (and no
// drag) when nothing is selected.
bool BeginPlaneDrag(const Document& doc, const OrthoView& view, double x, double y, PlaneDrag& drag);
// Moves the selection with the mouse, snapped, and tells MapChanged so that
// every view shows the move live; no step yet.
void DragInPlane(Document& doc, double x, double y, PlaneDrag& drag);
// A drag's move in any view: the selection stands offset from `origins`
// (where it began), told as MapChanged | SelectionMoved; the step comes at
// the drag's end.
void MoveSelectionDuringDrag(Document& doc, const std::vector<TPlacement>& origins, float dx, float dy, float dz);
// Ends the drag: one step from where it began to where it ended, none when
// the selection is back where it started.
void EndPlaneDrag(Document& doc, PlaneDrag& drag);

// Moves the selection by `right` and `up` grid steps along the view's right
// and up: one step.
void NudgeInView(Document& doc, ViewAxis view, int right, int up);

// The grid point at pixel (x, y) whose coordinate along the view's axis is
// `depth`.
void GridPointInView(const EditSession& session, const OrthoView& view, double x, double y, double depth,
                     float at[3]);
// The coordinate along the view's axis that a click there means: the
// working level for the top view, the 3D cursor's for the others.
double ClickDepth(const EditSession& session, ViewAxis view, double workingLevel);

// Object `name` placed at the grid point under pixel (x, y): one step.
void PlaceInView(Document& doc, const OrthoView& view, const std::string& name, double x, double y, double depth);
// The player start moved there: one step.
void MovePlayerStartInView(Document& doc, const OrthoView& view, double x, double y, double depth);

// The object view in a 2D view, with a box, a floor or a wall being shaped:
// the rectangle between pixels (x0, y0) and (x1, y1) becomes its extent in
// the view's plane, its corners on the nearest grid lines (at least a step
// each way), and it reaches one grid step along the view's axis from
// `depth`.  Each size goes to the world axis its side lies along as the
// part is turned; a wall that would stand across the front or the side
// view is turned to stand in it; a flat part lies on the rectangle's lower
// side along its own normal.  The
// part is locked there, as by the first click, for the next click to
// commit: one step, whose undo gives the part and the cursor back.  False,
// nothing changed, for other kinds or with nothing being shaped.
bool ShapePendingInView(Document& doc, const OrthoView& view, double x0, double y0, double x1, double y1, double depth);
// A click in a 2D view with a part being shaped: the first locks it at the
// grid point under pixel (x, y) (`depth` along the view's axis), the next
// commits it into list `list` as the 3D view's click does.
PartRef ClickPendingInView(Document& doc, const OrthoView& view, double x, double y, double depth, int32_t list);

}  // namespace qx
