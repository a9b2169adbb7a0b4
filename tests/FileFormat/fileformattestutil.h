#pragma once
// Small helpers shared by the file-format tests.

#include "camera.h"
#include "testsupport.h"

#include <QString>
#include <QtTest>

#include <cmath>

// Equal up to the six significant digits of the file format.
inline bool nearlyEqual(float a, float b)
{
    return std::fabs(a - b) <= 1e-5f * std::max(1.0f, std::max(std::fabs(a), std::fabs(b)));
}

// A camera with every stored field set to something distinct.
inline Camera sampleCamera(float seed)
{
    Camera c;
    c.focalMm = 35.5f + seed;
    c.viewportPx[0] = 4000 + int(seed);
    c.viewportPx[1] = 3000;
    c.pixelSizeMm[0] = 0.0064f;
    c.pixelSizeMm[1] = 0.0065f;
    c.centerPx[0] = 2000.5f;
    c.centerPx[1] = 1500.0f;
    c.distortion[0] = -0.125f;
    c.distortion[1] = 0.03125f;
    // A rotation about z by a seed-dependent angle.
    const float a = 0.3f + seed * 0.1f;
    c.rotation.m[0][0] = std::cos(a);
    c.rotation.m[0][1] = -std::sin(a);
    c.rotation.m[1][0] = std::sin(a);
    c.rotation.m[1][1] = std::cos(a);
    c.center = ksr::Point3f(1.25f + seed, -2.5f, 1e-6f);
    return c;
}

// Compares the fields the camera element stores.
inline void compareCameras(const Camera &actual, const Camera &expected)
{
    QVERIFY2(nearlyEqual(actual.focalMm, expected.focalMm), "focal");
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(actual.viewportPx[i], expected.viewportPx[i]);
        QVERIFY2(nearlyEqual(actual.pixelSizeMm[i], expected.pixelSizeMm[i]), "pixel size");
        QVERIFY2(nearlyEqual(actual.centerPx[i], expected.centerPx[i]), "centre px");
        QVERIFY2(nearlyEqual(actual.distortion[i], expected.distortion[i]), "distortion");
    }
    for (int i = 0; i < 16; ++i)
        QVERIFY2(nearlyEqual(actual.rotation.data()[i], expected.rotation.data()[i]), "rotation");
    for (int i = 0; i < 3; ++i)
        QVERIFY2(nearlyEqual(actual.center[i], expected.center[i]), "centre");
}
