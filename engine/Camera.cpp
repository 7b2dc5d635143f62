#include "Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QCursor>

#include <cmath>
#include <numbers>

namespace {

class QtScreenCursor : public TScreenCursor {
public:
    void GetPos(int32_t& x, int32_t& y) override
    {
        const QPoint p = QCursor::pos();
        x = p.x();
        y = p.y();
    }
    void SetPos(int32_t x, int32_t y) override { QCursor::setPos(x, y); }
};

TScreenCursor& RealCursor()
{
    static QtScreenCursor cursor;
    return cursor;
}

constexpr double kPi = std::numbers::pi;

}  // namespace

void TCamera::SetPosition(float x, float y, float z)
{
    PosX = x;
    PosZ = z;
    BaseHeight = y;
    SetLookAt(x, y, z, x, y, z + 1, 0, 1, 0);
}

void TCamera::SetLookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY,
                        float targetZ, float upX, float upY, float upZ)
{
    Eye = {eyeX, eyeY, eyeZ};
    Target = {targetX, targetY, targetZ};
    Up = {upX, upY, upZ};
}

void TCamera::MoveEyeTo(float x, float z)
{
    Target.X = x - (Eye.X - Target.X);
    Target.Z = z - (Eye.Z - Target.Z);
    Eye.X = x;
    Eye.Z = z;
}

void TCamera::Rotate(float ax, float ay, float az)
{
    // Every branch turns the same offset taken on entry; the angles are not
    // composed (the editor only ever turns about Y).
    const double dx = double(Target.X) - Eye.X;
    const double dy = double(Target.Y) - Eye.Y;
    const double dz = double(Target.Z) - Eye.Z;
    if (ax != 0) {
        Target.Z = float(Eye.Z + std::sin(double(ax)) * dy + std::cos(double(ax)) * dz);
        Target.Y = float(Eye.Y + std::cos(double(ax)) * dy - std::sin(double(ax)) * dz);
    }
    if (ay != 0) {
        Target.Z = float(Eye.Z + std::sin(double(ay)) * dx + std::cos(double(ay)) * dz);
        Target.X = float(Eye.X + std::cos(double(ay)) * dx - std::sin(double(ay)) * dz);
    }
    if (az != 0) {
        Target.X = float(Eye.X + std::sin(double(az)) * dy + std::cos(double(az)) * dx);
        Target.Y = float(Eye.Y + std::cos(double(az)) * dy - std::sin(double(az)) * dx);
    }
}

void TCamera::UpdateMouseLook(int32_t anchorX, int32_t anchorY, int32_t divX, int32_t divY)
{
    TScreenCursor& cursor = cursor_ ? *cursor_ : RealCursor();
    int32_t cx = 0, cy = 0;
    cursor.GetPos(cx, cy);
    if (cx == anchorX && cy == anchorY)
        return;
    cursor.SetPos(anchorX, anchorY);

    YawStep = float(double(anchorX - cx) / divX);
    PitchStep = float(double(anchorY - cy) / divY);

    // The pitch limit undoes the previous step once the target has gone
    // past +-5 units above or below the eye (so it can exceed 5 for a frame).
    if (Target.Y - Eye.Y > 5.0f)
        Target.Y = PrevTargetY;
    if (Target.Y - Eye.Y < -5.0f)
        Target.Y = PrevTargetY;
    PrevTargetY = Target.Y;
    Target.Y = float(Target.Y + 3.0 * PitchStep);
    Rotate(0, -YawStep, 0);
}

void TCamera::Walk(float distance)
{
    const double a = (double(Heading) + 270) * kPi / 180;
    PosX = float(PosX - std::cos(a) * distance);
    PosZ = float(PosZ - std::sin(a) * distance);
}

void TCamera::Strafe(float distance)
{
    const double a = (double(Heading) + 180) * kPi / 180;
    PosX = float(PosX - std::cos(a) * distance);
    PosZ = float(PosZ - std::sin(a) * distance);
}

void TCamera::Apply()
{
    if (MouseLookActive != 0)
        UpdateMouseLook(LookAnchorX, LookAnchorY, 400, 1000);
    MoveEyeTo(PosX, PosZ);
    const float h = BaseHeight + HeightOffset;
    Target.Y = h - (Eye.Y - Target.Y);
    Eye.Y = h;
    gluLookAt(Eye.X, Eye.Y, Eye.Z, Target.X, Target.Y, Target.Z, Up.X, Up.Y, Up.Z);
    // A target on the eye has no heading (NaN); keeping the last one stops a
    // single bad frame from turning the position into NaN for good on the
    // next Walk or Strafe.
    const double heading = HeadingDegrees(Eye.X, Eye.Z, Target.X, Target.Z);
    if (!std::isnan(heading))
        Heading = float(heading);
}

namespace {

struct ViewMatrices {
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
};

// The world point of the depth under pixel (x, y); returns that depth.
GLfloat UnprojectUnderPixel(int32_t& x, int32_t& y, ViewMatrices& view, double result[3])
{
    glGetDoublev(GL_MODELVIEW_MATRIX, view.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    if (y == 0)
        y = 1;
    if (x == 0)
        x = 1;
    GLfloat depth = 0;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    gluUnProject(x, y, depth, view.modelview, view.projection, view.viewport, &result[0], &result[1], &result[2]);
    return depth;
}

}  // namespace

void TCamera::ScreenToWorld(int32_t x, int32_t y, double result[3]) const
{
    ViewMatrices view;
    UnprojectUnderPixel(x, y, view, result);
}

bool TCamera::PickWorld(int32_t x, int32_t y, double planeY, double reach, double result[3]) const
{
    ViewMatrices view;
    if (UnprojectUnderPixel(x, y, view, result) < 1.0f)
        return true;
    double nearPoint[3];
    gluUnProject(x, y, 0.0, view.modelview, view.projection, view.viewport, &nearPoint[0], &nearPoint[1],
                 &nearPoint[2]);
    const double dir[3] = {result[0] - nearPoint[0], result[1] - nearPoint[1], result[2] - nearPoint[2]};
    if (!std::isfinite(dir[1]) || std::fabs(dir[1]) < 1e-12)
        return false;
    const double t = (planeY - nearPoint[1]) / dir[1];
    if (!(t >= 0))
        return false;  // the plane lies behind the eye
    const double hit[3] = {nearPoint[0] + t * dir[0], planeY, nearPoint[2] + t * dir[2]};
    const double dx = hit[0] - nearPoint[0], dy = hit[1] - nearPoint[1], dz = hit[2] - nearPoint[2];
    if (!(std::sqrt(dx * dx + dy * dy + dz * dz) <= reach))
        return false;
    for (int i = 0; i < 3; ++i)
        result[i] = hit[i];
    return true;
}

double HeadingDegrees(double ax, double az, double bx, double bz)
{
    double g = std::atan((bx - ax) / (az - bz)) * 180 / kPi;
    if (bz > az)
        g += 180;
    if (az > bz && ax > bx)
        g += 360;
    if (g > 360)
        g -= 360;
    if (g < 0)
        g += 360;
    if (g == 0)
        return 1.0;
    return g;
}
