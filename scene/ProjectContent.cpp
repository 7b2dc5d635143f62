#include "ProjectContent.h"

#include <algorithm>

#include "QX3DObject.h"

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
    Placements.push_back(placement);
    PlacementNames.push_back(name);
    Placements.emplace_back();
    PlacementNames.emplace_back();
    ++PlacementCount;
    Touch();
    return index;
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
    MapObjects.erase(MapObjects.begin() + index);
    MapObjectNames.erase(MapObjectNames.begin() + index);
    --MapObjectCount;
    Touch();
}

void ProjectContent::InsertPlacement(int32_t index, const std::string& name, const TPlacement& placement)
{
    Placements.insert(Placements.begin() + index, placement);
    PlacementNames.insert(PlacementNames.begin() + index, name);
    ++PlacementCount;
    Touch();
}

void ProjectContent::RemovePlacement(int32_t index)
{
    Placements.erase(Placements.begin() + index);
    PlacementNames.erase(PlacementNames.begin() + index);
    --PlacementCount;
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

void ProjectContent::SetObjectName(int32_t index, const std::string& name, const std::vector<int32_t>& placements)
{
    MapObjectNames[static_cast<size_t>(index)] = name;
    MapObjects[static_cast<size_t>(index)]->Name = name;
    for (const int32_t i : placements)
        PlacementNames[static_cast<size_t>(i)] = name;
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
            taken.push_back({i, std::move(PlacementNames[from]), Placements[from]});
            ++next;
            continue;
        }
        if (kept != i) {
            Placements[static_cast<size_t>(kept)] = Placements[from];
            PlacementNames[static_cast<size_t>(kept)] = std::move(PlacementNames[from]);
        }
        ++kept;
    }
    PlacementCount = kept;
    Placements.resize(static_cast<size_t>(kept) + 1);
    PlacementNames.resize(static_cast<size_t>(kept) + 1);
    Placements.back() = TPlacement();
    PlacementNames.back().clear();
    Touch();
    return taken;
}

void ProjectContent::PutBackPlacements(const std::vector<PlacementEntry>& taken)
{
    const int32_t total = PlacementCount + static_cast<int32_t>(taken.size());
    std::vector<TPlacement> placements(static_cast<size_t>(total) + 1);
    std::vector<std::string> names(static_cast<size_t>(total) + 1);
    size_t next = 0;
    int32_t from = 0;
    for (int32_t i = 0; i < total; ++i) {
        const size_t to = static_cast<size_t>(i);
        if (next < taken.size() && taken[next].index == i) {
            placements[to] = taken[next].placement;
            names[to] = taken[next].name;
            ++next;
        } else {
            placements[to] = Placements[static_cast<size_t>(from)];
            names[to] = std::move(PlacementNames[static_cast<size_t>(from)]);
            ++from;
        }
    }
    Placements = std::move(placements);
    PlacementNames = std::move(names);
    PlacementCount = total;
    Touch();
}

void ProjectContent::Clear()
{
    const uint64_t generation = Generation;
    *this = ProjectContent();
    Generation = generation + 1;
}
