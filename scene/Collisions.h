// TCollision: the collision set of a scene object, one axis-aligned volume
// per box, made by the object-file reader.  The editor never draws or saves
// the volumes; the set lives with its object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The prism MinX .. MinX + SizeX, Bottom .. Top, MinZ .. MinZ + SizeZ
// (Y is the height): footprint first, height range last.
struct CollisionBox {
    float MinX = 0;
    float MinZ = 0;
    float SizeX = 0;
    float SizeZ = 0;
    float Bottom = 0;
    float Top = 0;
};

class TCollision {
public:
    static constexpr int32_t kMaxVolumes = 2000000;

    explicit TCollision(const std::string& name);
    virtual ~TCollision() = default;

    float Margin = 0.8f;  // clearance on every horizontal side
    int32_t Count = 0;
    std::string Name;
    std::vector<CollisionBox> Volumes;

    // (x, y, z) is a box's lowest corner and size its extents.  Only the
    // height is normalised (at least 0.5 high, a flat box becomes a slab
    // centred on its plane); -1 once the set is full.
    int32_t AddVolume(float x, float y, float z, float sizeX, float sizeY, float sizeZ);
};
