#include "ProjectContent.h"

#include <algorithm>
#include <atomic>

#include "QX3DObject.h"

namespace {

std::atomic<uint64_t> g_nextPlacementId{1};

uint64_t NewPlacementId() { return g_nextPlacementId.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

void ProjectContent::Refresh() const
{
    if (index_.objectCount == MapObjectCount && index_.placementCount == PlacementCount &&
        index_.generation == Generation)
        return;
    index_.byName.clear();
    const int32_t objects = std::min<int32_t>(MapObjectCount, static_cast<int32_t>(MapObjectNames.size()));
    for (int32_t i = 0; i < objects; ++i)
        index_.byName.insert_or_assign(MapObjectNames[static_cast<size_t>(i)], i);  // last equal wins
    const int32_t placements = std::min<int32_t>(PlacementCount, static_cast<int32_t>(PlacementNames.size()));
    index_.objectOfPlacement.assign(static_cast<size_t>(std::max(placements, 0)), -1);
    for (int32_t i = 0; i < placements; ++i) {
        const std::string& name = PlacementNames[static_cast<size_t>(i)];
        if (name.empty())
            continue;
        const auto hit = index_.byName.find(name);
        if (hit != index_.byName.end())
            index_.objectOfPlacement[static_cast<size_t>(i)] = hit->second;
    }
    index_.objectCount = MapObjectCount;
    index_.placementCount = PlacementCount;
    index_.generation = Generation;
}

int32_t ProjectContent::FindObject(const std::string& name) const
{
    Refresh();
    const auto hit = index_.byName.find(name);
    return hit == index_.byName.end() ? -1 : hit->second;
}

int32_t ProjectContent::ObjectOfPlacement(int32_t i) const
{
    Refresh();
    if (i < 0 || static_cast<size_t>(i) >= index_.objectOfPlacement.size())
        return -1;
    return index_.objectOfPlacement[static_cast<size_t>(i)];
}

const std::vector<int32_t>& ProjectContent::PlacementObjects() const
{
    Refresh();
    return index_.objectOfPlacement;
}

int32_t ProjectContent::AddObject(const std::string& name)
{
    const int32_t index = MapObjectCount;
    MapObjects.resize(static_cast<size_t>(index));
    MapObjectNames.resize(static_cast<size_t>(index));
    auto object = std::make_shared<TQX3DObject>(name);
    object->AddList();
    MapObjects.push_back(std::move(object));
    MapObjectNames.push_back(name);
    MapObjects.emplace_back();
    MapObjectNames.emplace_back();
    ++MapObjectCount;
    Touch();
    return index;
}

int32_t ProjectContent::AddPlacement(const std::string& name, const TPlacement& placement)
{
    const int32_t index = PlacementCount;
    Placements.resize(static_cast<size_t>(index));
    PlacementNames.resize(static_cast<size_t>(index));
    PlacementIds.resize(static_cast<size_t>(index));
    Placements.push_back(placement);
    PlacementNames.push_back(name);
    PlacementIds.push_back(NewPlacementId());
    Placements.emplace_back();
    PlacementNames.emplace_back();
    PlacementIds.push_back(0);
    ++PlacementCount;
    Touch();
    return index;
}

void ProjectContent::SetPlacements(std::vector<std::string> names, std::vector<TPlacement> placements)
{
    PlacementCount = static_cast<int32_t>(placements.size());
    Placements = std::move(placements);
    PlacementNames = std::move(names);
    PlacementNames.resize(Placements.size());
    PlacementIds.resize(Placements.size());
    for (uint64_t& id : PlacementIds)
        id = NewPlacementId();
    Placements.emplace_back();
    PlacementNames.emplace_back();
    PlacementIds.push_back(0);
    Touch();
}

uint64_t ProjectContent::PlacementId(int32_t i) const
{
    if (i < 0 || i >= PlacementCount || static_cast<size_t>(i) >= PlacementIds.size())
        return 0;
    return PlacementIds[static_cast<size_t>(i)];
}

std::vector<uint64_t> ProjectContent::PlacementIdsAt(const std::vector<int32_t>& indices) const
{
    std::vector<uint64_t> ids;
    ids.reserve(indices.size());
    for (const int32_t i : indices)
        ids.push_back(PlacementId(i));
    return ids;
}

int32_t ProjectContent::FindPlacement(uint64_t id, int32_t near) const
{
    if (id == 0)
        return -1;
    // Identities are handed out ascending and every change puts the map back
    // in its order, so they stand ascending: a search in steps doubling from
    // `near`, then halving.  The walk is for a map put together otherwise.
    const size_t count = std::min(static_cast<size_t>(std::max(PlacementCount, 0)), PlacementIds.size());
    const uint64_t* ids = PlacementIds.data();
    size_t lo = 0, hi = count;
    if (near >= 0 && static_cast<size_t>(near) < count) {
        const auto at = static_cast<size_t>(near);
        if (ids[at] == id)
            return near;
        size_t step = 1;
        if (ids[at] < id) {
            lo = at + 1;
            while (at + step < count && ids[at + step] < id) {
                lo = at + step + 1;
                step *= 2;
            }
            hi = std::min(count, at + step + 1);
        } else {
            hi = at;
            while (step <= at && ids[at - step] > id) {
                hi = at - step;
                step *= 2;
            }
            lo = step <= at ? at - step : 0;
        }
    }
    const uint64_t* hit = std::lower_bound(ids + lo, ids + hi, id);
    if (hit != ids + hi && *hit == id)
        return static_cast<int32_t>(hit - ids);
    const uint64_t* found = std::find(ids, ids + count, id);
    return found == ids + count ? -1 : static_cast<int32_t>(found - ids);
}

PlacementEntry ProjectContent::EntryOf(int32_t i) const
{
    const auto at = static_cast<size_t>(i);
    return {PlacementIds[at], i, PlacementNames[at], Placements[at]};
}

void ProjectContent::InsertObject(int32_t index, const std::string& name, std::shared_ptr<TQX3DObject> object)
{
    MapObjects.insert(MapObjects.begin() + index, std::move(object));
    MapObjectNames.insert(MapObjectNames.begin() + index, name);
    ++MapObjectCount;
    Touch();
}

void ProjectContent::RemoveObject(int32_t index)
{
    if (index < 0 || index >= MapObjectCount)
        return;
    MapObjects.erase(MapObjects.begin() + index);
    MapObjectNames.erase(MapObjectNames.begin() + index);
    --MapObjectCount;
    Touch();
}

void ProjectContent::ObjectFilesSaved()
{
    SavedObjectNames.assign(MapObjectNames.begin(), MapObjectNames.begin() + MapObjectCount);
}

std::vector<int32_t> ProjectContent::PlacementsOf(int32_t index) const
{
    std::vector<int32_t> found;
    const std::vector<int32_t>& objects = PlacementObjects();
    for (size_t i = 0; i < objects.size(); ++i)
        if (objects[i] == index)
            found.push_back(static_cast<int32_t>(i));
    return found;
}

int32_t ProjectContent::IndexOfObject(const TQX3DObject* object) const
{
    for (int32_t i = 0; i < MapObjectCount && static_cast<size_t>(i) < MapObjects.size(); ++i)
        if (MapObjects[static_cast<size_t>(i)].get() == object)
            return i;
    return -1;
}

void ProjectContent::SetObjectName(int32_t index, const std::string& name, const std::vector<uint64_t>& placements)
{
    if (index < 0 || index >= MapObjectCount)
        return;
    MapObjectNames[static_cast<size_t>(index)] = name;
    MapObjects[static_cast<size_t>(index)]->Name = name;
    for (const uint64_t id : placements) {
        const int32_t i = FindPlacement(id);
        if (i >= 0)
            PlacementNames[static_cast<size_t>(i)] = name;
    }
    Touch();
}

std::vector<PlacementEntry> ProjectContent::TakePlacements(const std::vector<int32_t>& ascending)
{
    std::vector<PlacementEntry> taken;
    taken.reserve(ascending.size());
    size_t next = 0;
    int32_t kept = 0;
    for (int32_t i = 0; i < PlacementCount; ++i) {
        const size_t from = static_cast<size_t>(i);
        if (next < ascending.size() && ascending[next] == i) {
            taken.push_back({PlacementIds[from], i, std::move(PlacementNames[from]), Placements[from]});
            ++next;
            continue;
        }
        if (kept != i) {
            Placements[static_cast<size_t>(kept)] = Placements[from];
            PlacementNames[static_cast<size_t>(kept)] = std::move(PlacementNames[from]);
            PlacementIds[static_cast<size_t>(kept)] = PlacementIds[from];
        }
        ++kept;
    }
    PlacementCount = kept;
    Placements.resize(static_cast<size_t>(kept) + 1);
    PlacementNames.resize(static_cast<size_t>(kept) + 1);
    PlacementIds.resize(static_cast<size_t>(kept) + 1);
    Placements.back() = TPlacement();
    PlacementNames.back().clear();
    PlacementIds.back() = 0;
    Touch();
    return taken;
}

std::vector<PlacementEntry> ProjectContent::TakePlacementsOf(const std::vector<PlacementEntry>& entries)
{
    std::vector<int32_t> ascending;
    ascending.reserve(entries.size());
    for (const PlacementEntry& e : entries)
        if (const int32_t i = FindPlacement(e.id, e.index); i >= 0)
            ascending.push_back(i);
    std::sort(ascending.begin(), ascending.end());
    ascending.erase(std::unique(ascending.begin(), ascending.end()), ascending.end());
    return TakePlacements(ascending);
}

void ProjectContent::PutBackPlacements(const std::vector<PlacementEntry>& taken)
{
    const int32_t total = PlacementCount + static_cast<int32_t>(taken.size());
    std::vector<TPlacement> placements(static_cast<size_t>(total) + 1);
    std::vector<std::string> names(static_cast<size_t>(total) + 1);
    std::vector<uint64_t> ids(static_cast<size_t>(total) + 1, 0);
    size_t next = 0;
    int32_t from = 0;
    for (int32_t i = 0; i < total; ++i) {
        const size_t to = static_cast<size_t>(i);
        if (next < taken.size() && taken[next].index == i) {
            placements[to] = taken[next].placement;
            names[to] = taken[next].name;
            ids[to] = taken[next].id;
            ++next;
        } else {
            placements[to] = Placements[static_cast<size_t>(from)];
            names[to] = std::move(PlacementNames[static_cast<size_t>(from)]);
            ids[to] = PlacementIds[static_cast<size_t>(from)];
            ++from;
        }
    }
    Placements = std::move(placements);
    PlacementNames = std::move(names);
    PlacementIds = std::move(ids);
    PlacementCount = total;
    Touch();
}

void ProjectContent::Clear()
{
    const uint64_t generation = Generation;
    *this = ProjectContent();
    Generation = generation + 1;
}
