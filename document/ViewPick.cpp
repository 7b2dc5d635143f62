#include "ViewPick.h"

#include <algorithm>
#include <cmath>

#include "QX3DObject.h"

namespace qx {

namespace {

// The outline of placement i in the view's plane.
struct Outline {
    double rightLo, rightHi, upLo, upHi;
};

Outline OutlineOf(const Bounds& b, const OrthoView& view)
{
    Outline o;
    SpanAlong(b, RightOf(view.axis), o.rightLo, o.rightHi);
    SpanAlong(b, UpOf(view.axis), o.upLo, o.upHi);
    return o;
}

// How near the viewer a placement's nearest face is.
double Nearness(const Bounds& b, const OrthoView& view)
{
    double lo, hi;
    SpanAlong(b, TowardViewer(view.axis), lo, hi);
    return hi;
}

int32_t Count(const ProjectContent& content, const PlacedBoundsTable& table)
{
    return std::min(std::max(content.PlacementCount, 0), static_cast<int32_t>(table.placements.size()));
}

// The bounds of placement i showing object k.
Bounds BoundsOf(const ProjectContent& content, const std::vector<Bounds>& objects, size_t i, int32_t k)
{
    return DrawnBounds(content.Placements[i],
                       k >= 0 && static_cast<size_t>(k) < objects.size() ? objects[static_cast<size_t>(k)] : Bounds());
}

}  // namespace

void PlacedBoundsTable::Rebuild(const ProjectContent& content)
{
    objects_.assign(static_cast<size_t>(std::max(content.MapObjectCount, 0)), Bounds());
    parts_.clear();
    parts_.resize(objects_.size());
    for (size_t k = 0; k < objects_.size(); ++k)
        if (content.MapObjects[k])
            objects_[k] = OutlineBounds(*content.MapObjects[k]);
    Refresh(content);
}

void PlacedBoundsTable::Refresh(const ProjectContent& content)
{
    if (objects_.size() != static_cast<size_t>(std::max(content.MapObjectCount, 0))) {
        Rebuild(content);
        return;
    }
    objectOf_ = content.PlacementObjects();
    placements.resize(static_cast<size_t>(std::max(content.PlacementCount, 0)));
    objectOf_.resize(placements.size(), -1);
    for (size_t i = 0; i < placements.size(); ++i)
        placements[i] = BoundsOf(content, objects_, i, objectOf_[i]);
}

const PartOutlines* PlacedBoundsTable::PartsOf(const ProjectContent& content, size_t i) const
{
    if (i >= objectOf_.size())
        return nullptr;
    const int32_t k = objectOf_[i];
    if (k < 0 || static_cast<size_t>(k) >= parts_.size() || static_cast<size_t>(k) >= content.MapObjects.size() ||
        !content.MapObjects[static_cast<size_t>(k)])
        return nullptr;
    std::unique_ptr<PartOutlines>& parts = parts_[static_cast<size_t>(k)];
    if (!parts)
        parts = std::make_unique<PartOutlines>(OutlinesOf(*content.MapObjects[static_cast<size_t>(k)]));
    return parts.get();
}

void PlacedBoundsTable::Update(const ProjectContent& content, const std::vector<int32_t>& indices)
{
    if (placements.size() != static_cast<size_t>(std::max(content.PlacementCount, 0))) {
        Refresh(content);
        return;
    }
    for (const int32_t i : indices)
        if (i >= 0 && static_cast<size_t>(i) < placements.size())
            placements[static_cast<size_t>(i)] =
                BoundsOf(content, objects_, static_cast<size_t>(i), objectOf_[static_cast<size_t>(i)]);
}

Bounds ViewTarget(const ProjectContent& content, const PlacedBoundsTable& table, const Selection& selection)
{
    Bounds bounds;
    const auto add = [&](int32_t i) {
        if (i >= 0 && static_cast<size_t>(i) < table.placements.size() && !table.placements[static_cast<size_t>(i)].empty) {
            bounds.Add(table.placements[static_cast<size_t>(i)].min);
            bounds.Add(table.placements[static_cast<size_t>(i)].max);
        }
    };
    for (const int32_t i : SelectedIndices(content, selection))
        add(i);
    if (!bounds.empty)
        return bounds;
    for (int32_t i = 0; i < Count(content, table); ++i)
        add(i);
    const double start[3] = {content.PlayerPos[0], content.PlayerPos[1], content.PlayerPos[2]};
    bounds.Add(start);
    return bounds;
}

std::vector<int32_t> PlacementsUnder(const PlacedBoundsTable& table, const OrthoView& view, double x, double y)
{
    double r, u;
    view.ScreenToPlane(x, y, r, u);
    struct Hit {
        double nearness;
        int32_t index;
    };
    std::vector<Hit> hits;
    for (size_t i = 0; i < table.placements.size(); ++i) {
        const Bounds& b = table.placements[i];
        if (b.empty)
            continue;
        const Outline o = OutlineOf(b, view);
        if (r >= o.rightLo && r <= o.rightHi && u >= o.upLo && u <= o.upHi)
            hits.push_back({Nearness(b, view), static_cast<int32_t>(i)});
    }
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        return a.nearness != b.nearness ? a.nearness > b.nearness : a.index > b.index;
    });
    std::vector<int32_t> under;
    under.reserve(hits.size());
    for (const Hit& h : hits)
        under.push_back(h.index);
    return under;
}

int32_t PickInView(const ProjectContent& content, const PlacedBoundsTable& table, const OrthoView& view, double x,
                   double y, ViewPickCycle& cycle)
{
    std::vector<int32_t> under = PlacementsUnder(table, view, x, y);
    std::erase_if(under, [&](int32_t i) { return i >= Count(content, table); });
    const bool again = std::abs(x - cycle.x) <= kCycleReach && std::abs(y - cycle.y) <= kCycleReach;
    cycle.x = x;
    cycle.y = y;
    if (under.empty()) {
        cycle.last = 0;
        return -1;
    }
    size_t next = 0;
    if (again && cycle.last != 0) {
        for (size_t k = 0; k < under.size(); ++k)
            if (content.PlacementId(under[k]) == cycle.last) {
                next = (k + 1) % under.size();
                break;
            }
    }
    cycle.last = content.PlacementId(under[next]);
    return under[next];
}

Selection SelectInRect(const ProjectContent& content, const PlacedBoundsTable& table, const OrthoView& view, double x0,
                       double y0, double x1, double y1, bool touching)
{
    double r0, u0, r1, u1;
    view.ScreenToPlane(x0, y0, r0, u0);
    view.ScreenToPlane(x1, y1, r1, u1);
    const double rightLo = std::min(r0, r1), rightHi = std::max(r0, r1);
    const double upLo = std::min(u0, u1), upHi = std::max(u0, u1);
    Selection selection;
    const int32_t count = Count(content, table);
    for (int32_t i = 0; i < count; ++i) {
        const Bounds& b = table.placements[static_cast<size_t>(i)];
        if (b.empty)
            continue;
        const Outline o = OutlineOf(b, view);
        const bool in = touching ? o.rightLo <= rightHi && o.rightHi >= rightLo && o.upLo <= upHi && o.upHi >= upLo
                                 : o.rightLo >= rightLo && o.rightHi <= rightHi && o.upLo >= upLo && o.upHi <= upHi;
        if (in)
            selection.push_back(content.PlacementIds[static_cast<size_t>(i)]);
    }
    std::sort(selection.begin(), selection.end());
    return selection;
}

}  // namespace qx
