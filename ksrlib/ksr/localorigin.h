#pragma once
// The local origin of a mesh: vertices are kept as floats relative to it, so that a scene in
// projected (about 4,500,000) or geocentric (about 6,000,000) coordinates keeps its millimetres,
// and the graphics card only sees small numbers.

#include <ksr/geometry.h>

#include <cmath>
#include <vector>

namespace ksr
{

// A float rounds by up to half its step; the step is 1/512 (about 2 mm) from 16,384 on, so beyond
// this magnitude a float coordinate loses more than about a millimetre at metre units.
constexpr double largeCoordinate = 16384.0;
// From 262,144 on the rounding of a float reaches a centimetre (its step is 1/32).
constexpr double centimetreLostInFloat = 262144.0;

inline double largestMagnitude(const Point3d &p)
{
    double largest = 0.0;
    for (int k = 0; k < 3; ++k)
        if (std::isfinite(p[k]) && std::fabs(p[k]) > largest)
            largest = std::fabs(p[k]);
    return largest;
}

// Zero when every finite coordinate is within largeCoordinate (ordinary scenes are unchanged);
// otherwise the centre of the finite positions' box, rounded to whole units.
inline Point3d localOrigin(const std::vector<Point3d> &positions)
{
    Point3d low, high;
    bool any = false, large = false;
    for (const Point3d &p : positions) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            continue;
        large = large || largestMagnitude(p) > largeCoordinate;
        for (int k = 0; k < 3; ++k) {
            low[k] = any ? std::fmin(low[k], p[k]) : p[k];
            high[k] = any ? std::fmax(high[k], p[k]) : p[k];
        }
        any = true;
    }
    if (!large)
        return {};
    return {std::round(0.5 * (low.x + high.x)), std::round(0.5 * (low.y + high.y)),
            std::round(0.5 * (low.z + high.z))};
}

} // namespace ksr
