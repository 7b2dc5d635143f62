// A 2D view of the map: orthographic along one world axis, seen as from
// outside the level and never mirrored.  The world is GL's (Y up); the
// user's axes, as the navigator names them, are X, Y the depth (world Z)
// and Z the height (world Y).
//
//   top    looks down world Y:       right +X, up -Z (the far side on top)
//   front  looks along world -Z:     right +X, up +Y
//   side   looks along world +X:     right +Z, up +Y
//
// A view is a value: a centre in its plane, a zoom in pixels per unit and
// a size in pixels.  Pixels count from the top left corner, rows downward,
// in the same (logical) pixels the widget's mouse events give.
#pragma once

#include <cstdint>

#include "PlacementPick.h"

namespace qx {

enum class ViewAxis : uint8_t { Top, Front, Side };

// One world axis of a view and the direction along it.
struct AxisDir {
    int axis;   // 0 X, 1 Y (up), 2 Z
    int sign;   // +1 or -1
};
AxisDir RightOf(ViewAxis view);
AxisDir UpOf(ViewAxis view);
// From the scene toward the viewer: the larger this coordinate (times its
// sign), the nearer the viewer.
AxisDir TowardViewer(ViewAxis view);

struct OrthoView {
    static constexpr double kMinZoom = 1.0 / 64;
    static constexpr double kMaxZoom = 64;

    ViewAxis axis = ViewAxis::Top;
    double centreRight = 0, centreUp = 0;  // in the view's plane, along RightOf and UpOf
    double zoom = 8;                       // pixels per unit
    int width = 1, height = 1;             // pixels

    // Pixel (x, y) in the view's plane: along RightOf and UpOf.
    void ScreenToPlane(double x, double y, double& right, double& up) const;
    // The world point at pixel (x, y) whose coordinate along the view's
    // axis is `depth`.
    void ScreenToWorld(double x, double y, double depth, double world[3]) const;
    // The pixel where `world` shows.
    void WorldToScreen(const double world[3], double& x, double& y) const;
    // Sets the zoom within the allowed range.
    void SetZoom(double pixelsPerUnit);
    // Zooms by `factor` keeping the world point under pixel (x, y) there.
    void ZoomAbout(double x, double y, double factor);
    // The picture follows a mouse that moved by (dx, dy) pixels.
    void Pan(double dx, double dy);
    // Centres on `bounds`, zooming out as far as needed to show them whole
    // (never in: centring on one crate does not fill the view with it).
    void CentreOn(const Bounds& bounds);
};

// The span [lo, hi] of `bounds` along `dir` (a coordinate times its sign).
void SpanAlong(const Bounds& bounds, AxisDir dir, double& lo, double& hi);

}  // namespace qx
