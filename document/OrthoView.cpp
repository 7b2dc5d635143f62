#include "OrthoView.h"

#include <algorithm>
#include <cmath>


namespace qx {

namespace {

// A view's world frame as rows: right, up, toward the viewer.
constexpr AxisDir kFrames[3][3] = {
    {{0, +1}, {2, -1}, {1, +1}},  // top
    {{0, +1}, {1, +1}, {2, +1}},  // front
    {{2, +1}, {1, +1}, {0, -1}},  // side
};

const AxisDir* Frame(ViewAxis view) { return kFrames[static_cast<int>(view)]; }

// A little margin about centred bounds, so their outlines are not on the edge.
constexpr double kFitMargin = 0.9;

}  // namespace

AxisDir RightOf(ViewAxis view) { return Frame(view)[0]; }
AxisDir UpOf(ViewAxis view) { return Frame(view)[1]; }
AxisDir TowardViewer(ViewAxis view) { return Frame(view)[2]; }

void OrthoView::ScreenToPlane(double x, double y, double& right, double& up) const
{
    right = centreRight + (x - width / 2.0) / zoom;
    up = centreUp - (y - height / 2.0) / zoom;
}

void OrthoView::ScreenToWorld(double x, double y, double depth, double world[3]) const
{
    const AxisDir right = RightOf(axis), up = UpOf(axis), toward = TowardViewer(axis);
    double r, u;
    ScreenToPlane(x, y, r, u);
    world[right.axis] = r * right.sign;
    world[up.axis] = u * up.sign;
    world[toward.axis] = depth;
}

void OrthoView::WorldToScreen(const double world[3], double& x, double& y) const
{
    const AxisDir right = RightOf(axis), up = UpOf(axis);
    x = width / 2.0 + (world[right.axis] * right.sign - centreRight) * zoom;
    y = height / 2.0 - (world[up.axis] * up.sign - centreUp) * zoom;
}

void OrthoView::SetZoom(double pixelsPerUnit)
{
    if (std::isfinite(pixelsPerUnit))
        zoom = std::clamp(pixelsPerUnit, kMinZoom, kMaxZoom);
}

void OrthoView::ZoomAbout(double x, double y, double factor)
{
    double r, u;
    ScreenToPlane(x, y, r, u);
    SetZoom(zoom * factor);
    centreRight = r - (x - width / 2.0) / zoom;
    centreUp = u + (y - height / 2.0) / zoom;
}

void OrthoView::Pan(double dx, double dy)
{
    centreRight -= dx / zoom;
    centreUp += dy / zoom;
}

void OrthoView::CentreOn(const Bounds& bounds)
{
    if (bounds.empty)
        return;
    const AxisDir right = RightOf(axis), up = UpOf(axis);
    centreRight = bounds.Centre(right.axis) * right.sign;
    centreUp = bounds.Centre(up.axis) * up.sign;
    const double wide = bounds.max[right.axis] - bounds.min[right.axis];
    const double high = bounds.max[up.axis] - bounds.min[up.axis];
    double fit = zoom;
    if (wide > 0)
        fit = std::min(fit, kFitMargin * width / wide);
    if (high > 0)
        fit = std::min(fit, kFitMargin * height / high);
    SetZoom(fit);
}

void SpanAlong(const Bounds& bounds, AxisDir dir, double& lo, double& hi)
{
    lo = dir.sign > 0 ? bounds.min[dir.axis] : -bounds.max[dir.axis];
    hi = dir.sign > 0 ? bounds.max[dir.axis] : -bounds.min[dir.axis];
}

}  // namespace qx
