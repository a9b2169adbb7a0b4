#pragma once
// Viewing pose of the orientation preview, kept apart from GL so the math can be checked alone.
// Angles in degrees, positions in model units, matrices row-major.

#include <ksr/geometry.h>

struct ViewPose {
    ksr::Point3f position; // eye in world coordinates
    ksr::Point3f velocity; // always zero here
    float pitch = 0.0f;    // about the screen's horizontal axis
    float yaw = 0.0f;      // about the vertical axis
    // Columns 0..2 are the frame axes a, u, c built from the up direction; identity otherwise.
    ksr::Matrix44f upFrame;

    // A pose at the origin, looking along the frame, whose vertical axis is `dir` (made unit
    // length; a zero `dir` is accepted and yields a degenerate frame).
    static ViewPose fromUpDirection(const ksr::Point3f &dir);

    // Takes yaw, pitch and position from a start camera's world-to-camera matrix R . T(-C):
    // the eye goes to C and looks along minus the camera's z axis, with no roll.
    void placeAt(const ksr::Matrix44f &startView);

    // World-to-eye matrix: Rx(-pitch) . Ry(-yaw) . transpose(upFrame) . T(-position).
    ksr::Matrix44f modelview() const;
};

// Near and far planes that enclose a model sphere (centre, radius) seen from `eye`; the near
// plane is kept at least 0.00005 radius away.
struct DepthRange {
    float nearPlane = 0.0f;
    float farPlane = 0.0f;
};
DepthRange depthRangeFor(const ksr::Point3f &eye, const ksr::Point3f &centre, float radius);

// The user's mouse orbit on top of the start view: turns about a pivot (the model's centre) and
// a change of distance to it. The start view itself is the orbit with every value at its default.
struct Orbit {
    float yaw = 0.0f;   // degrees about the screen's vertical axis (the up direction stays vertical)
    float pitch = 0.0f; // degrees about the screen's horizontal axis, kept within +-89
    float zoom = 1.0f;  // distance to the pivot as a fraction of the start view's distance

    bool isStartView() const { return yaw == 0.0f && pitch == 0.0f && zoom == 1.0f; }
    // World-to-eye matrix: the start view turned about `pivot` (world coordinates) and moved
    // towards or away from it.
    ksr::Matrix44f modelview(const ksr::Matrix44f &startView, const ksr::Point3f &pivot) const;
    // The distance from the eye to the pivot under modelview().
    float pivotDistance(const ksr::Matrix44f &startView, const ksr::Point3f &pivot) const;
};
