#include "BoxGrid.h"

namespace qx {

void BoxGrid::Build(float cellSize, const std::vector<float>& keys, const std::vector<Box3>& bounds)
{
    cell_ = cellSize > 0 ? cellSize : 1;
    index_.clear();
    cells_.clear();
    items_.clear();
    struct Entry {
        uint64_t key;
        uint32_t item;
    };
    std::vector<Entry> entries;
    entries.reserve(bounds.size());
    for (size_t i = 0; i < bounds.size() && 2 * i + 1 < keys.size(); ++i) {
        const float x = keys[2 * i], z = keys[2 * i + 1];
        if (!std::isfinite(x) || !std::isfinite(z))
            continue;
        entries.push_back({Key(Coord(x), Coord(z)), static_cast<uint32_t>(i)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.key != b.key ? a.key < b.key : a.item < b.item; });
    items_.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i == 0 || entries[i].key != entries[i - 1].key) {
            Cell cell;
            cell.begin = static_cast<uint32_t>(i);
            cell.cx = static_cast<int32_t>(static_cast<uint32_t>(entries[i].key >> 32));
            cell.cz = static_cast<int32_t>(static_cast<uint32_t>(entries[i].key));
            index_.emplace(entries[i].key, static_cast<uint32_t>(cells_.size()));
            cells_.push_back(cell);
        }
        Cell& cell = cells_.back();
        cell.bounds.Add(bounds[entries[i].item]);
        cell.end = static_cast<uint32_t>(i + 1);
        items_.push_back(entries[i].item);
    }
}

}  // namespace qx
