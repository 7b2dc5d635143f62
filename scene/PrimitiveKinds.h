// The walk over a primitive list's kinds, shared by the list's data code,
// its drawing and its mesh: each kind's valid entries (its count, never past
// its array), in the fixed kind order.
#pragma once

#include <algorithm>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include "PrimitiveList.h"

namespace qx {

template <typename T>
std::span<const T> Valid(const std::vector<T>& items, int16_t count)
{
    return {items.data(), std::min(items.size(), static_cast<size_t>(std::max<int16_t>(count, 0)))};
}

// The kinds in their fixed order: each array with its count.
inline constexpr auto kPrimitiveKinds = std::make_tuple(
    std::pair{&TGLPremitives::Boxes, &TGLPremitives::BoxCount},
    std::pair{&TGLPremitives::Spheres, &TGLPremitives::SphereCount},
    std::pair{&TGLPremitives::Tori, &TGLPremitives::TorusCount},
    std::pair{&TGLPremitives::Floors, &TGLPremitives::FloorCount},
    std::pair{&TGLPremitives::Walls, &TGLPremitives::WallCount},
    std::pair{&TGLPremitives::Models3ds, &TGLPremitives::Model3dsCount},
    std::pair{&TGLPremitives::BlenderModels, &TGLPremitives::BlenderCount});

// Calls visit(array member, count member) for each kind in order.
template <typename Visit>
void ForEachKind(Visit&& visit)
{
    std::apply([&](const auto&... kind) { (visit(kind.first, kind.second), ...); }, kPrimitiveKinds);
}

}  // namespace qx
