// The project's object list and map: the object definitions under their
// names, and the placements that show them by name, with the player start.
// One value, so a project can be staged apart, swapped in whole, or copied
// (a copy shares the object definitions).
//
// Every array holds one entry more than its count.  Names are looked up
// through an index rebuilt whenever the counts or Generation change; code
// that renames entries in place calls Touch().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TQX3DObject;

// One placed instance of an object on the map.
struct TPlacement {
    float PosX = 0, PosY = 0, PosZ = 0;
    float RotX = 0, RotY = 0, RotZ = 0;  // degrees
    float ScaleX = 1, ScaleY = 1, ScaleZ = 1;
};

// A placement taken off the map, with its place there.
struct PlacementEntry {
    int32_t index = 0;
    std::string name;
    TPlacement placement;
};

struct ProjectContent {
    std::vector<std::shared_ptr<TQX3DObject>> MapObjects{nullptr};
    std::vector<std::string> MapObjectNames{std::string()};
    int32_t MapObjectCount = 0;
    std::vector<TPlacement> Placements{TPlacement()};
    std::vector<std::string> PlacementNames{std::string()};
    int32_t PlacementCount = 0;
    float PlayerPos[3] = {0, 0, 0};
    // The names whose object files the project folder holds: those listed
    // when it was loaded or last saved.  A save removes the files of the
    // names no longer listed.
    std::vector<std::string> SavedObjectNames;
    void ObjectFilesSaved();

    uint64_t Generation = 0;
    void Touch() { ++Generation; }

    // Index of the last object listed under `name` (case matters), -1 when
    // there is none.
    int32_t FindObject(const std::string& name) const;
    // The object placement i shows (FindObject of its name), -1 for an empty
    // or unknown name.  Constant time once the index is current.
    int32_t ObjectOfPlacement(int32_t i) const;
    // ObjectOfPlacement of every placement, for walks over the whole map.
    const std::vector<int32_t>& PlacementObjects() const;

    // Appends a definition under `name`: a new object of that name with one
    // empty list.  Returns its index.
    int32_t AddObject(const std::string& name);
    // Appends a placement; returns its index.
    int32_t AddPlacement(const std::string& name, const TPlacement& placement);

    // Take an entry out and put it back where it was (undo and redo).
    void InsertObject(int32_t index, const std::string& name, std::shared_ptr<TQX3DObject> object);
    void RemoveObject(int32_t index);
    void InsertPlacement(int32_t index, const std::string& name, const TPlacement& placement);
    void RemovePlacement(int32_t index);

    // The placements that show object `index` (ObjectOfPlacement), in map
    // order.
    std::vector<int32_t> PlacementsOf(int32_t index) const;
    // Object `index` is listed under `name`, named so, and the placements at
    // `placements` show that name (a rename, and its undo).
    void SetObjectName(int32_t index, const std::string& name, const std::vector<int32_t>& placements);
    // Takes the placements at `ascending` off the map in one pass; putting
    // the result back restores the map as it was.
    std::vector<PlacementEntry> TakePlacements(const std::vector<int32_t>& ascending);
    void PutBackPlacements(const std::vector<PlacementEntry>& taken);

    // Replaces list and map by empty ones (index included).
    void Clear();

private:
    void Refresh() const;

    struct Index {
        int32_t objectCount = -1;
        int32_t placementCount = -1;
        uint64_t generation = 0;
        std::unordered_map<std::string, int32_t> byName;
        std::vector<int32_t> objectOfPlacement;
    };
    mutable Index index_;
};
