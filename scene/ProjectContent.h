// The project's object list and map: the object definitions under their
// names, and the placements that show them by name, with the player start.
// One value, so a project can be staged apart, swapped in whole, or copied
// (a copy shares the object definitions).
//
// Every array holds one entry more than its count.  Names are looked up
// through an index rebuilt whenever the counts or Generation change; code
// that renames entries in place calls Touch().
//
// Each placement carries an identity (PlacementIds) that no other placement
// of the process ever gets: what edits, undo steps and the selection hold
// across other changes.  Its index is only where it stands now.
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

// A placement taken off the map, with its identity and its place there.
struct PlacementEntry {
    uint64_t id = 0;
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
    std::vector<uint64_t> PlacementIds{0};
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
    // Appends a placement under a new identity; returns its index.
    int32_t AddPlacement(const std::string& name, const TPlacement& placement);
    // The map as read from a file: every placement under a new identity.
    void SetPlacements(std::vector<std::string> names, std::vector<TPlacement> placements);

    // Identity of placement i (0 outside the map), and the index of the
    // placement with identity `id` (-1 when it is not on the map); the
    // search starts at `near`, where it was last seen, when that is known.
    uint64_t PlacementId(int32_t i) const;
    std::vector<uint64_t> PlacementIdsAt(const std::vector<int32_t>& indices) const;
    int32_t FindPlacement(uint64_t id, int32_t near = -1) const;
    PlacementEntry EntryOf(int32_t i) const;

    // Take an entry out and put it back where it was (undo and redo).
    void InsertObject(int32_t index, const std::string& name, std::shared_ptr<TQX3DObject> object);
    void RemoveObject(int32_t index);

    // The placements that show object `index` (ObjectOfPlacement), in map
    // order.
    std::vector<int32_t> PlacementsOf(int32_t index) const;
    // Index of the object listed as `object` itself, -1 when it is not.
    int32_t IndexOfObject(const TQX3DObject* object) const;
    // Object `index` is listed under `name`, named so, and the placements
    // with the identities `placements` show that name (a rename, and its
    // undo).
    void SetObjectName(int32_t index, const std::string& name, const std::vector<uint64_t>& placements);
    // Takes the placements at `ascending` off the map in one pass; putting
    // the result back restores the map as it was.
    std::vector<PlacementEntry> TakePlacements(const std::vector<int32_t>& ascending);
    void PutBackPlacements(const std::vector<PlacementEntry>& taken);
    // Takes off the placements with the identities of `entries` (those
    // still on the map), as TakePlacements does.
    std::vector<PlacementEntry> TakePlacementsOf(const std::vector<PlacementEntry>& entries);

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
