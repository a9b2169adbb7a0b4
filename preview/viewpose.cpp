#include "viewpose.h"

#include <cmath>

namespace
{
const double pi = 3.141592653589793;

float toDegrees(double radians)
{
    return float(radians * 180.0f / pi);
}

// Rotation by `degrees` about the x (axis 0) or y (axis 1) axis, as glRotatef builds it.
ksr::Matrix44f rotation(float degrees, int axis)
{
    const double radians = double(degrees) * pi / 180.0;
    const float c = float(std::cos(radians)), s = float(std::sin(radians));
    ksr::Matrix44f r;
    if (axis == 0) {
        r[1][1] = c;
        r[1][2] = -s;
        r[2][1] = s;
        r[2][2] = c;
    } else {
        r[0][0] = c;
        r[0][2] = s;
        r[2][0] = -s;
        r[2][2] = c;
    }
    return r;
}
} // namespace

ViewPose ViewPose::fromUpDirection(const ksr::Point3f &dir)
{
    const ksr::Point3f u = dir.normalized();
    ksr::Point3f a = u.cross({0.0f, 0.0f, 1.0f});
    // An up direction along z gives no axis with z: take x instead.
    if (a.length() == 0.0f)
        a = u.cross({1.0f, 0.0f, 0.0f});
    a.normalize();
    const ksr::Point3f c = a.cross(u);

    ViewPose pose;
    pose.upFrame.setColumn(0, a);
    pose.upFrame.setColumn(1, u);
    pose.upFrame.setColumn(2, c);
    return pose;
}

void ViewPose::placeAt(const ksr::Matrix44f &startView)
{
    const ksr::Point3f k = startView.row(2);
    const ksr::Point3f v = upFrame.transposed().rotate(k);
    yaw = toDegrees(std::atan2(double(v.x), double(v.z)));
    pitch = -toDegrees(std::atan2(double(v.y), std::sqrt(double(v.x) * v.x + double(v.z) * v.z)));
    const ksr::Point3f t = startView.column(3);
    position = -startView.transposed().rotate(t);
}

ksr::Matrix44f ViewPose::modelview() const
{
    return rotation(-pitch, 0) * rotation(-yaw, 1) * upFrame.transposed() *
           ksr::Matrix44f::translation(-position);
}

DepthRange depthRangeFor(const ksr::Point3f &eye, const ksr::Point3f &centre, float radius)
{
    const float distance = (eye - centre).length();
    DepthRange range;
    range.nearPlane = std::max(distance - radius, 0.00005f * radius);
    range.farPlane = distance + radius;
    return range;
}

ksr::Matrix44f Orbit::modelview(const ksr::Matrix44f &startView, const ksr::Point3f &pivot) const
{
    const ksr::Point3f inEye = startView * pivot;
    return ksr::Matrix44f::translation(inEye * zoom) * rotation(pitch, 0) * rotation(yaw, 1) *
           ksr::Matrix44f::translation(-inEye) * startView;
}

float Orbit::pivotDistance(const ksr::Matrix44f &startView, const ksr::Point3f &pivot) const
{
    return (startView * pivot).length() * zoom;
}
