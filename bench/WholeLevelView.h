// The 2D views' benchmarks look at the benchmark level as a designer first
// sees it: the top view at 1280 x 720 showing the whole level.
#pragma once

#include "ViewPick.h"

namespace qxbench {

inline qx::OrthoView WholeLevelView(const ProjectContent& content, const qx::PlacedBoundsTable& table)
{
    qx::OrthoView view;
    view.width = 1280;
    view.height = 720;
    view.SetZoom(qx::OrthoView::kMaxZoom);
    view.CentreOn(qx::ViewTarget(content, table, {}));
    return view;
}

}  // namespace qxbench
