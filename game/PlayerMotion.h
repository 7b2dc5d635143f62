// The player in first person: an upright box 2 units wide and 4.5 high
// (the marker the editor draws), eyes 4 above the feet, walking 12 units a
// second (24 running), climbing steps of up to 1.5 units, jumping its feet 2
// units high, falling under gravity, and stopped by the level's volumes as
// they are drawn (turned and sheared ones too).
//
// Time advances in fixed ticks of 1/120 s whatever the frame rate, so the
// same input gives the same path at 30 and at 300 frames a second; the eye
// is interpolated between the last two ticks for drawing.  No GL, no Qt.
#pragma once

#include "CollisionWorld.h"

namespace qx {

struct MoveInput {
    bool forward = false, back = false, left = false, right = false;
    bool run = false, jump = false;
    // Heading in radians about the vertical axis: 0 looks along +Z, and a
    // growing yaw turns the view to the left (towards +X).
    float yaw = 0;
};

class PlayerMotion {
public:
    static constexpr float kHalfWidth = 1.0f;
    static constexpr float kHeight = 4.5f;
    static constexpr float kEyeHeight = 4.0f;
    static constexpr float kWalkSpeed = 12.0f;
    static constexpr float kRunSpeed = 24.0f;
    static constexpr float kStepHeight = 1.5f;
    static constexpr float kJumpHeight = 2.0f;
    static constexpr float kGravity = 40.0f;
    // Falls no faster: a tick then moves the feet less than the body's
    // height, so no floor is passed through between two ticks.
    static constexpr float kTerminalSpeed = 250.0f;
    static constexpr double kTick = 1.0 / 120.0;
    // Falling this far below the lowest volume puts the player back at the start.
    static constexpr float kFallLimit = 100.0f;

    // start: where the feet stand (the map's player start).
    PlayerMotion(const CollisionWorld& world, const float start[3]);
    // The same player in another world (the level read again), starting
    // over at `start`: where it stands, its fall and what is left of the
    // tick go along.
    PlayerMotion(const CollisionWorld& world, const float start[3], const PlayerMotion& carried);

    // Where the feet go for eyes at `eye`: on what is below it (the highest
    // top under the body's footprint, where the fall would land them), and
    // when the eye is inside a volume, on top of what holds it.  Nothing
    // below: the eye's own height, and the fall takes over.
    static void FeetForEye(const CollisionWorld& world, const float eye[3], float feet[3]);
    // Makes `start` (the feet) the start and stands there, still.
    void MoveStart(const float start[3]);

    // Runs as many ticks as `seconds` (plus what was left over) hold.  A
    // stall longer than a quarter second is not caught up.
    void Advance(double seconds, const MoveInput& input);
    // One tick.
    void Tick(const MoveInput& input);
    void Respawn();

    const float* Feet() const { return feet_; }
    bool OnGround() const { return onGround_; }
    // How often a fall has put the player back at the start.
    int FallRespawns() const { return fallRespawns_; }
    float VerticalSpeed() const { return velY_; }
    // Volumes met by the moves so far (each tested exactly against the body).
    uint64_t VolumesTested() const { return tested_; }
    // The eye between the last two ticks, for drawing.
    void Eye(float out[3]) const;

    Box3 BodyAt(const float feet[3]) const
    {
        return Box3::Of(feet[0] - kHalfWidth, feet[1], feet[2] - kHalfWidth, feet[0] + kHalfWidth,
                        feet[1] + kHeight, feet[2] + kHalfWidth);
    }

private:
    void MoveAcross(int axis, float distance);
    void MoveUpDown(float distance);
    bool Blocked(const Box3& body, const Box3& from) const;

    const CollisionWorld& world_;
    float start_[3];
    float feet_[3];
    float previous_[3];
    float velY_ = 0;
    bool onGround_ = false;
    double pending_ = 0;
    int fallRespawns_ = 0;
    float respawnBelow_;
    mutable uint64_t tested_ = 0;
};

}  // namespace qx
