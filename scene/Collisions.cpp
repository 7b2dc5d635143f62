#include "Collisions.h"

TCollision::TCollision(const std::string& name) : Name(name) {}

int32_t TCollision::AddVolume(float x, float y, float z, float sizeX, float sizeY, float sizeZ)
{
    if (Count >= kMaxVolumes)
        return -1;
    float height = sizeY;
    float bottom = y;
    if (height == 0) {
        height = 0.5f;
        bottom = y - 0.25f;
    }
    if (height < 0)
        height = -height;
    if (height < 0.5f)
        height = 0.5f;
    const float m = Margin;
    Volumes.resize(static_cast<size_t>(Count));
    Volumes.push_back(CollisionBox{x - m, z - m, sizeX + 2 * m, sizeZ + 2 * m, bottom, bottom + height});
    return Count++;
}
