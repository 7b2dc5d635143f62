#include "PlayerMotion.h"

#include <cmath>

namespace qx {

namespace {

// Gap kept between the body and a volume it was stopped by, so the next
// tick does not start inside it through rounding.
constexpr float kSkin = 1e-3f;
// A volume the body already sinks into this deep (after a respawn into a
// wall, or a spawn inside a box) does not hold it: it may walk out.
constexpr float kInside = 1e-2f;

}  // namespace

PlayerMotion::PlayerMotion(const CollisionWorld& world, const float start[3]) : world_(world) { MoveStart(start); }

PlayerMotion::PlayerMotion(const CollisionWorld& world, const float start[3], const PlayerMotion& carried)
    : PlayerMotion(world, start)
{
    for (int a = 0; a < 3; ++a) {
        feet_[a] = carried.feet_[a];
        previous_[a] = carried.previous_[a];
    }
    velY_ = carried.velY_;
    onGround_ = carried.onGround_;
    pending_ = carried.pending_;
    fallRespawns_ = carried.fallRespawns_;
}

void PlayerMotion::MoveStart(const float start[3])
{
    for (int a = 0; a < 3; ++a)
        start_[a] = start[a];
    float lowest = start[1];
    world_.Lowest(lowest);
    respawnBelow_ = std::min(lowest, start[1]) - kFallLimit;
    Respawn();
    pending_ = 0;
}

void PlayerMotion::FeetForEye(const CollisionWorld& world, const float eye[3], float feet[3])
{
    // A point, not the body: a camera beside a wall is not inside it.
    Box3 point = Box3::Of(eye[0] - kSkin, eye[1] - kSkin, eye[2] - kSkin, eye[0] + kSkin, eye[1] + kSkin, eye[2] + kSkin);
    for (int climb = 0; climb < 64; ++climb) {
        float rise = 0;
        world.ForEachVolume(point, [&](const Solid& solid) {
            const SolidAxes v(solid);
            float enter, exit;
            if (v.Overlaps(point) && v.SweepAlong(point, 1, enter, exit))
                rise = std::max(rise, exit);
        });
        if (!(rise > 0))
            break;
        point.min[1] += rise + kSkin;
        point.max[1] += rise + kSkin;
    }
    const float top = point.min[1];
    feet[0] = eye[0];
    feet[2] = eye[2];
    feet[1] = std::max(eye[1], top) - kEyeHeight;
    float lowest = top;
    if (!world.Lowest(lowest))
        return;
    // The footprint from the eye down to the lowest volume: what the body,
    // falling from there, would meet first.
    const Box3 sliver = Box3::Of(eye[0] - kHalfWidth, top - kSkin, eye[2] - kHalfWidth, eye[0] + kHalfWidth, top,
                                 eye[2] + kHalfWidth);
    Box3 column = sliver;
    column.min[1] = std::min(lowest, top) - 1;
    bool found = false;
    float highest = 0;
    world.ForEachVolume(column, [&](const Solid& solid) {
        const SolidAxes v(solid);
        float enter, exit;
        // Overlapping the sliver already: beside the eye, not under it.
        if (!v.SweepAlong(sliver, 1, enter, exit) || exit > 0)
            return;
        if (!found || sliver.min[1] + exit > highest)
            highest = sliver.min[1] + exit;
        found = true;
    });
    if (found)
        feet[1] = highest;
}

void PlayerMotion::Respawn()
{
    for (int a = 0; a < 3; ++a)
        feet_[a] = previous_[a] = start_[a];
    velY_ = 0;
    onGround_ = false;
}

void PlayerMotion::Advance(double seconds, const MoveInput& input)
{
    if (!(seconds > 0))
        return;
    pending_ += std::min(seconds, 0.25);
    // The tolerance keeps a frame of exactly n ticks from leaving the last
    // one for the next frame through rounding.
    while (pending_ >= kTick - 1e-9) {
        Tick(input);
        pending_ -= kTick;
    }
    if (pending_ < 0)
        pending_ = 0;
}

void PlayerMotion::Eye(float out[3]) const
{
    const float t = static_cast<float>(std::clamp(pending_ / kTick, 0.0, 1.0));
    for (int a = 0; a < 3; ++a)
        out[a] = previous_[a] + (feet_[a] - previous_[a]) * t;
    out[1] += kEyeHeight;
}

void PlayerMotion::Tick(const MoveInput& input)
{
    for (int a = 0; a < 3; ++a)
        previous_[a] = feet_[a];

    const float ahead = static_cast<float>(input.forward) - static_cast<float>(input.back);
    const float aside = static_cast<float>(input.right) - static_cast<float>(input.left);
    const float s = std::sin(input.yaw), c = std::cos(input.yaw);
    // Forward is (sin yaw, cos yaw); right of it (looking along +Z) is -X.
    float dx = ahead * s - aside * c;
    float dz = ahead * c + aside * s;
    const float length = std::sqrt(dx * dx + dz * dz);
    if (length > 0) {
        const float step = (input.run ? kRunSpeed : kWalkSpeed) * static_cast<float>(kTick) / length;
        dx *= step;
        dz *= step;
    }

    if (input.jump && onGround_) {
        velY_ = std::sqrt(2.0f * kGravity * kJumpHeight);
        onGround_ = false;
    }

    MoveAcross(0, dx);
    MoveAcross(2, dz);

    // The exact parabola at each tick, so a jump peaks at its height.
    const float t = static_cast<float>(kTick);
    const float dy = velY_ * t - 0.5f * kGravity * t * t;
    velY_ = std::max(velY_ - kGravity * t, -kTerminalSpeed);
    MoveUpDown(std::max(dy, -kTerminalSpeed * t));

    if (feet_[1] < respawnBelow_) {
        Respawn();
        ++fallRespawns_;
    }
}

bool PlayerMotion::Blocked(const Box3& body, const Box3& from) const
{
    bool blocked = false;
    world_.ForEachVolume(body, [&](const Solid& solid) {
        if (blocked)
            return;
        ++tested_;
        const SolidAxes v(solid);
        blocked = v.Overlaps(body) && !v.SinksInto(from, kInside);
    });
    return blocked;
}

void PlayerMotion::MoveAcross(int axis, float distance)
{
    if (distance == 0)
        return;
    // The floor the feet stand on (its top level with them, give or take
    // rounding) is no obstacle across.
    Box3 from = BodyAt(feet_);
    from.min[1] += kSkin;
    float to[3] = {feet_[0], feet_[1], feet_[2]};
    to[axis] += distance;
    const Box3 standing = BodyAt(to);
    Box3 body = standing;
    body.min[1] += kSkin;

    float allowed = distance;
    bool blocked = false;
    float rise = 0;
    world_.ForEachVolume(body, [&](const Solid& solid) {
        ++tested_;
        const SolidAxes v(solid);
        if (!v.Overlaps(body) || v.SinksInto(from, kInside))
            return;
        blocked = true;
        float enter, exit;
        // How far up the body would clear it where it is going.
        if (onGround_ && v.SweepAlong(standing, 1, enter, exit))
            rise = std::max(rise, exit);
        if (!v.SweepAlong(from, axis, enter, exit))
            return;
        if (distance > 0)
            allowed = std::min(allowed, std::max(0.0f, enter - kSkin));
        else
            allowed = std::max(allowed, std::min(0.0f, exit + kSkin));
    });
    if (!blocked) {
        feet_[axis] = to[axis];
        return;
    }
    // A step: climb it when standing, when it is low enough, and when the
    // body fits on top of it.
    if (onGround_ && rise > 0 && rise <= kStepHeight) {
        float up[3] = {to[0], feet_[1] + rise + kSkin, to[2]};
        const float raised[3] = {feet_[0], up[1], feet_[2]};
        if (!Blocked(BodyAt(up), BodyAt(raised)) && !Blocked(BodyAt(raised), from)) {
            for (int a = 0; a < 3; ++a)
                feet_[a] = up[a];
            return;
        }
    }
    feet_[axis] += allowed;
}

void PlayerMotion::MoveUpDown(float distance)
{
    const Box3 from = BodyAt(feet_);
    float to[3] = {feet_[0], feet_[1] + distance, feet_[2]};
    const Box3 body = BodyAt(to);
    float y = to[1];
    bool landed = false;
    bool bumped = false;
    world_.ForEachVolume(body, [&](const Solid& solid) {
        ++tested_;
        const SolidAxes v(solid);
        float enter, exit;
        if (!v.Overlaps(body) || v.SinksInto(from, kInside) || !v.SweepAlong(from, 1, enter, exit))
            return;
        if (distance <= 0) {
            // Feet end exactly on the highest top they reach.
            y = std::max(y, feet_[1] + std::min(0.0f, exit));
            landed = true;
        } else {
            y = std::min(y, feet_[1] + std::max(0.0f, enter - kSkin));
            bumped = true;
        }
    });
    feet_[1] = y;
    onGround_ = landed;
    if (landed || bumped)
        velY_ = 0;
}

}  // namespace qx
