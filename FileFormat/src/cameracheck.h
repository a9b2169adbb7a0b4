#pragma once
// The values a camera must have to be drawn from and written, checked in one place for every
// reader: every number finite, a positive focal length, pixel size and viewport, and a rotation
// that is one (orthonormal rows, no mirror) within the rounding of six significant digits.

#include "camera.h"

#include <QString>

namespace CameraCheck
{

// How far the rotation's rows may be from unit length and from a right angle.
inline constexpr float RotationTolerance = 2e-3f;

// Why the camera cannot be used, in words that follow "its camera": "has a focal length of 0",
// ... Empty for a usable camera.
QString problem(const Camera &camera);

} // namespace CameraCheck
