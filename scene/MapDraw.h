// DrawMap: the placements near the camera, each drawn as its object's
// current list under the placement's transform, all in one state-sorted
// batch.  Per frame it walks the
// placements once; names were resolved to objects by the project's index,
// so the cost does not grow with the number of objects.
//
// Modes: 1 placements not above Level, ground distance; 2 placements with
// Level < Y < Level + Band, distance in space from (CameraX, Level,
// CameraZ); 3 every placement, distance in space.  A placement is drawn when
// Range > its distance (strictly); in mode 1 a distance of 0 counts as 2.
// Other modes draw nothing.  Empty and unknown names are skipped.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ProjectContent.h"

// Calls draw(placementIndex, objectIndex) for each placement DrawMap draws,
// in placement order.
template <typename Draw>
void ForEachDrawnPlacement(const ProjectContent& content, uint8_t mode, uint8_t range, uint8_t band,
                           float cameraX, float level, float cameraZ, Draw&& draw)
{
    if (mode < 1 || mode > 3)
        return;
    const std::vector<int32_t>& objects = content.PlacementObjects();
    const double r = range;
    // Anything this far is out of range whatever rounding the root does.
    const double farSquared = (r + 1) * (r + 1);
    const double lv = level;
    const double top = lv + band;
    const size_t count = std::min(objects.size(), content.Placements.size());
    const TPlacement* placements = content.Placements.data();
    for (size_t i = 0; i < count; ++i) {
        const int32_t k = objects[i];
        if (k < 0)
            continue;
        const TPlacement& p = placements[i];
        const double dx = static_cast<double>(p.PosX) - cameraX;
        const double dz = static_cast<double>(p.PosZ) - cameraZ;
        const double y = p.PosY;
        double squared;
        if (mode == 1) {
            if (y > lv)
                continue;
            squared = dx * dx + dz * dz;
            if (squared == 0) {
                if (r > 2)
                    draw(i, k);
                continue;
            }
        } else {
            if (mode == 2 && !(lv < y && y < top))
                continue;
            const double dy = y - lv;
            squared = dx * dx + dy * dy + dz * dz;
        }
        if (!(squared < farSquared))
            continue;
        if (r > std::sqrt(squared))
            draw(i, k);
    }
}

void DrawMap(const ProjectContent& content, uint8_t mode, uint8_t range, uint8_t band, float cameraX, float level,
             float cameraZ);
