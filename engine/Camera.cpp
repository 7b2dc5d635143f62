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

void TCamera::ScreenToWorld(int32_t x, int32_t y, double result[3]) const
{
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (y == 0)
        y = 1;
    if (x == 0)
        x = 1;
    GLfloat depth = 0;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    gluUnProject(x, y, depth, modelview, projection, viewport, &result[0], &result[1], &result[2]);
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
