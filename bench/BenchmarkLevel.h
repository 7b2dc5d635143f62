// The benchmark level: 2,000 objects of 50 boxes and 50,000 placements
// spread over field x field units, with reals as a designer's project holds
// them (most not short decimals).  The same seed gives the same level.
#pragma once

#include <cmath>
#include <random>
#include <string>

#include "PrimitiveList.h"
#include "ProjectContent.h"
#include "QX3DObject.h"

namespace qxbench {

constexpr int kObjects = 2000;
constexpr int kBoxes = 50;
constexpr int kPlacements = 50000;

inline ProjectContent BenchmarkLevel(float field)
{
    ProjectContent c;
    std::mt19937 random(8);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int n = 0; n < kObjects; ++n) {
        const int32_t k = c.AddObject("_Obj" + std::to_string(n));
        TGLPremitives& list = *c.MapObjects[static_cast<size_t>(k)]->Lists[0];
        for (int b = 0; b < kBoxes; ++b) {
            const int16_t i = list.AddBox(-1, unit(random) * 20 - 10, unit(random) * 10, unit(random) * 20 - 10,
                                          0.5f + unit(random) * 4, 0.5f + unit(random) * 4, 0.5f + unit(random) * 4,
                                          1, 0, unit(random) * 360, 0);
            list.Boxes[static_cast<size_t>(i)].CullFront = b % 7 != 0;
        }
    }
    for (int p = 0; p < kPlacements; ++p)
        c.AddPlacement("_Obj" + std::to_string(p % kObjects),
                       TPlacement{unit(random) * field - field / 2, std::floor(unit(random) * 3) * 4,
                                  unit(random) * field - field / 2, 0, unit(random) * 360, 0, 1, 1, 1});
    return c;
}

}  // namespace qxbench
