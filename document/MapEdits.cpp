#include "MapEdits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Errors.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "Text1251.h"

namespace qx {

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

std::string LineTag(int line) { return Cp("строка ") + std::to_string(line) + ": "; }

void Put(ProjectContent& content, const std::vector<MapChange::Entry>& entries)
{
    for (const MapChange::Entry& e : entries)
        if (const int32_t i = content.FindPlacement(e.id, e.index); i >= 0)
            content.Placements[static_cast<size_t>(i)] = e.placement;
    if (!entries.empty())
        content.Touch();
}

// The change's placements in place (before/after) are already set; the
// selection it began with is recorded.
MapChange Begin(const Selection& selection)
{
    MapChange change;
    change.selectionBefore = selection;
    return change;
}

}  // namespace

size_t MapChange::Bytes() const
{
    const size_t entries = before.size() + after.size() + added.size() + removed.size();
    return sizeof(*this) + entries * sizeof(Entry) + (selectionBefore.size() + selectionAfter.size()) * sizeof(uint64_t);
}

void Redo(ProjectContent& content, Selection& selection, const MapChange& change)
{
    Put(content, change.after);
    if (!change.removed.empty())
        content.TakePlacementsOf(change.removed);
    if (!change.added.empty())
        content.PutBackPlacements(change.added);
    selection = change.selectionAfter;
}

void Undo(ProjectContent& content, Selection& selection, const MapChange& change)
{
    if (!change.added.empty())
        content.TakePlacementsOf(change.added);
    if (!change.removed.empty())
        content.PutBackPlacements(change.removed);
    Put(content, change.before);
    selection = change.selectionBefore;
}

bool IsSelected(const Selection& selection, uint64_t id)
{
    return std::binary_search(selection.begin(), selection.end(), id);
}

void ToggleSelected(Selection& selection, uint64_t id)
{
    const auto at = std::lower_bound(selection.begin(), selection.end(), id);
    if (at != selection.end() && *at == id)
        selection.erase(at);
    else
        selection.insert(at, id);
}

Selection SelectAll(const ProjectContent& content)
{
    Selection all(content.PlacementIds.begin(), content.PlacementIds.begin() + std::max(content.PlacementCount, 0));
    std::sort(all.begin(), all.end());
    return all;
}

std::vector<int32_t> SelectedIndices(const ProjectContent& content, const Selection& selection)
{
    std::vector<int32_t> indices;
    indices.reserve(selection.size());
    int32_t near = 0;
    for (const uint64_t id : selection)
        if (const int32_t i = content.FindPlacement(id, near); i >= 0) {
            indices.push_back(i);
            near = i + 1;
        }
    std::sort(indices.begin(), indices.end());
    return indices;
}

void KeepValid(Selection& selection, const ProjectContent& content)
{
    std::erase_if(selection, [&](uint64_t id) { return content.FindPlacement(id) < 0; });
}

MapChange EditSelected(ProjectContent& content, Selection& selection, const std::function<void(TPlacement&)>& edit)
{
    MapChange change = Begin(selection);
    for (const int32_t i : SelectedIndices(content, selection)) {
        MapChange::Entry before = content.EntryOf(i);
        MapChange::Entry after = before;
        edit(after.placement);
        if (std::memcmp(&before.placement, &after.placement, sizeof(TPlacement)) == 0)
            continue;
        change.before.push_back(std::move(before));
        change.after.push_back(std::move(after));
    }
    change.selectionAfter = selection;
    Put(content, change.after);
    return change;
}

MapChange MoveSelected(ProjectContent& content, Selection& selection, const std::vector<TPlacement>& origins,
                       float dx, float dy, float dz)
{
    MapChange change = Begin(selection);
    const std::vector<int32_t> indices = SelectedIndices(content, selection);
    for (size_t k = 0; k < indices.size() && k < origins.size(); ++k) {
        MapChange::Entry before = content.EntryOf(indices[k]);
        MapChange::Entry after = before;
        after.placement.PosX = origins[k].PosX + dx;
        after.placement.PosY = origins[k].PosY + dy;
        after.placement.PosZ = origins[k].PosZ + dz;
        change.before.push_back(std::move(before));
        change.after.push_back(std::move(after));
    }
    change.selectionAfter = selection;
    Put(content, change.after);
    return change;
}

Bounds SelectionBounds(const ProjectContent& content, const Selection& selection)
{
    Bounds bounds;
    for (const int32_t i : SelectedIndices(content, selection)) {
        const int32_t k = content.ObjectOfPlacement(i);
        const Bounds placed =
            DrawnBounds(content.Placements[static_cast<size_t>(i)],
                        k >= 0 && content.MapObjects[static_cast<size_t>(k)]
                            ? ObjectBounds(*content.MapObjects[static_cast<size_t>(k)])
                            : Bounds());
        if (placed.empty)
            continue;
        bounds.Add(placed.min);
        bounds.Add(placed.max);
    }
    return bounds;
}

Bounds DrawnBounds(const TPlacement& p, const Bounds& local)
{
    Bounds placed = PlacedBounds(p, local);
    if (placed.empty) {
        const double at[3] = {p.PosX, p.PosY, p.PosZ};
        placed.Add(at);
    }
    return placed;
}

MapChange TurnSelected(ProjectContent& content, Selection& selection, float degrees)
{
    const Bounds bounds = SelectionBounds(content, selection);
    const double cx = bounds.Centre(0), cz = bounds.Centre(2);
    const double c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
    // The object's own turn about Y moves a point (x, z) to
    // (c x + s z, -s x + c z); its position turns the same way.
    return EditSelected(content, selection, [&](TPlacement& p) {
        const double x = p.PosX - cx, z = p.PosZ - cz;
        p.PosX = static_cast<float>(cx + c * x + s * z);
        p.PosZ = static_cast<float>(cz - s * x + c * z);
        p.RotY = std::fmod(p.RotY + degrees, 360.0f);
    });
}

MapChange DuplicateSelected(ProjectContent& content, Selection& selection, float dx, float dz)
{
    std::vector<std::string> names;
    std::vector<TPlacement> placements;
    for (const int32_t i : SelectedIndices(content, selection)) {
        names.push_back(content.PlacementNames[static_cast<size_t>(i)]);
        placements.push_back(content.Placements[static_cast<size_t>(i)]);
    }
    if (placements.empty())
        return Begin(selection);
    const float at[3] = {placements[0].PosX + dx, placements[0].PosY, placements[0].PosZ + dz};
    return AddPlacements(content, selection, names, placements, at);
}

MapChange AddPlacements(ProjectContent& content, Selection& selection, const std::vector<std::string>& names,
                        const std::vector<TPlacement>& placements, const float at[3])
{
    MapChange change = Begin(selection);
    if (placements.empty()) {
        change.selectionAfter = selection;
        return change;
    }
    const float dx = at[0] - placements[0].PosX, dy = at[1] - placements[0].PosY, dz = at[2] - placements[0].PosZ;
    for (size_t k = 0; k < placements.size(); ++k) {
        TPlacement p = placements[k];
        p.PosX += dx;
        p.PosY += dy;
        p.PosZ += dz;
        const int32_t at = content.AddPlacement(names[k], p);
        change.added.push_back(content.EntryOf(at));
        change.selectionAfter.push_back(content.PlacementId(at));
    }
    selection = change.selectionAfter;
    return change;
}

MapChange DeleteSelected(ProjectContent& content, Selection& selection)
{
    MapChange change = Begin(selection);
    change.removed = content.TakePlacements(SelectedIndices(content, selection));
    selection.clear();
    return change;
}

std::string PlacementLines(const ProjectContent& content, const Selection& selection)
{
    std::string text;
    for (const int32_t i : SelectedIndices(content, selection))
        AppendPlacementLine(text, content.PlacementNames[static_cast<size_t>(i)],
                            content.Placements[static_cast<size_t>(i)]);
    return text;
}

void ReadPlacementLines(std::string_view text, const ProjectContent& content, std::vector<std::string>& names,
                        std::vector<TPlacement>& placements)
{
    names.clear();
    placements.clear();
    LineReader reader(text);
    for (std::string_view line = reader.Next(); !reader.AtEnd(); line = reader.Next()) {
        // A text editor may leave blanks and tabs anywhere between tokens.
        std::string normal;
        for (const char c : line) {
            const bool blank = c == ' ' || c == '\t';
            if (blank && (normal.empty() || normal.back() == ' '))
                continue;
            normal += blank ? ' ' : c;
        }
        if (normal.empty())
            continue;
        if (normal.back() != ' ')
            normal += ' ';
        std::string_view rest = normal;
        std::string name;
        TPlacement p;
        try {
            p = ParsePlacementLine(rest, name);
        } catch (const Error& e) {
            throw Error(LineTag(reader.Line()) + RussianReason(e));
        }
        if (!rest.empty())
            throw Error(LineTag(reader.Line()) + Cp("после имени больше девяти чисел"));
        if (content.FindObject(name) < 0)
            throw Error(LineTag(reader.Line()) + Cp("нет объекта ") + name);
        names.push_back(std::move(name));
        placements.push_back(p);
        if (placements.size() > 1000000)
            throw Error(Cp("больше миллиона размещений"));
    }
    if (placements.empty())
        throw Error(Cp("ни одной строки размещения"));
}

}  // namespace qx
