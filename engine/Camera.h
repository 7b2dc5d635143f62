// The editor's single viewpoint: a ground position moved by Walk/Strafe, an
// eye height (base + offset), a look-at target turned by mouse-look, and the
// heading derived from eye and target.  Apply loads the view with gluLookAt
// once per frame; ScreenToWorld turns a window pixel into the world point
// drawn there through one depth read-back.
//
// Y is up, the ground is X-Z.  Angles given to Rotate are radians; Heading
// is degrees in (0, 360) and never exactly 0.  GUI thread, GL context current.
#pragma once

#include <cstdint>

#include "VectorMath.h"

// Where mouse-look reads and puts the screen cursor (desktop pixels).  The
// default is the real cursor; tests install their own.
class TScreenCursor {
public:
    virtual ~TScreenCursor() = default;
    virtual void GetPos(int32_t& x, int32_t& y) = 0;
    virtual void SetPos(int32_t x, int32_t y) = 0;
};

class TCamera {
public:
    TCamera() = default;
    virtual ~TCamera() = default;

    float Heading = 0;
    float PosX = 0;
    float PosZ = 0;
    int32_t LookAnchorX = 400;
    int32_t LookAnchorY = 300;
    float HeightOffset = 4.0f;
    float BaseHeight = 0;
    uint8_t MouseLookActive = 255;
    TVec3 Eye;
    TVec3 Target;
    TVec3 Up;
    float YawStep = 0;
    float PitchStep = 0;
    float PrevTargetY = 0;
    uint8_t EditMode = 0;  // 255: edit mode, 0: flight mode

    void SetPosition(float x, float y, float z);
    void SetLookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ,
                   float upX, float upY, float upZ);
    void MoveEyeTo(float x, float z);
    void Rotate(float ax, float ay, float az);
    // One mouse-look step: 400 pixels of horizontal travel (divX) turn one
    // radian; the target rises 3 units per 1000 pixels (divY) of vertical travel.
    void UpdateMouseLook(int32_t anchorX, int32_t anchorY, int32_t divX, int32_t divY);
    // Negative distances move forward (towards the target).
    void Walk(float distance);
    // Positive distances move to the right of the view.
    void Strafe(float distance);
    void Apply();
    // Origin bottom-left; 0 is read as 1 on either axis.
    void ScreenToWorld(int32_t x, int32_t y, double result[3]) const;
    // ScreenToWorld, except where nothing is drawn under the pixel (its
    // depth is the far plane): then the point is where the pixel's ray meets
    // the horizontal plane at height `planeY` in front of the eye, within
    // `reach` of it.  False, with the far-plane point in `result`, when the
    // ray misses that plane.
    bool PickWorld(int32_t x, int32_t y, double planeY, double reach, double result[3]) const;

    // Null restores the real screen cursor.  Not owned.
    void SetScreenCursor(TScreenCursor* cursor) { cursor_ = cursor; }

private:
    TScreenCursor* cursor_ = nullptr;
};

// Heading in degrees of the direction from A to B on the ground plane:
// 90 along +X, 180 along +Z, 270 along -X, and 1.0 (not 0) along -Z.
double HeadingDegrees(double ax, double az, double bx, double bz);
