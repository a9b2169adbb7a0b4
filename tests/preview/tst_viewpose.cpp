// Up frame and pose placement of the orientation preview.
#include "viewpose.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(ksr::Point3f)

namespace
{
bool near(const ksr::Point3f &a, const ksr::Point3f &b, float eps = 1e-5f)
{
    return (a - b).length() <= eps;
}
QByteArray text(const ksr::Point3f &p)
{
    return QByteArray::number(p.x) + ", " + QByteArray::number(p.y) + ", " + QByteArray::number(p.z);
}

// Start camera R . T(-C) whose axis (third row of R) is `axis`, with rows x, y, z orthonormal.
ksr::Matrix44f startCamera(const ksr::Point3f &axis, const ksr::Point3f &centre, const ksr::Point3f &hint)
{
    const ksr::Point3f z = axis.normalized();
    const ksr::Point3f x = hint.cross(z).normalized();
    const ksr::Point3f y = z.cross(x);
    ksr::Matrix44f r;
    r.setRow(0, x);
    r.setRow(1, y);
    r.setRow(2, z);
    return r * ksr::Matrix44f::translation(-centre);
}
} // namespace

class TstViewPose : public QObject
{
    Q_OBJECT
private slots:
    void upFrame_data()
    {
        QTest::addColumn<ksr::Point3f>("dir");
        QTest::addColumn<ksr::Point3f>("a");
        QTest::addColumn<ksr::Point3f>("u");
        QTest::addColumn<ksr::Point3f>("c");
        QTest::newRow("y up is the identity") << ksr::Point3f(0, 1, 0) << ksr::Point3f(1, 0, 0)
                                              << ksr::Point3f(0, 1, 0) << ksr::Point3f(0, 0, 1);
        QTest::newRow("z up falls back to x") << ksr::Point3f(0, 0, 5) << ksr::Point3f(0, 1, 0)
                                              << ksr::Point3f(0, 0, 1) << ksr::Point3f(1, 0, 0);
        QTest::newRow("minus z up") << ksr::Point3f(0, 0, -2) << ksr::Point3f(0, -1, 0)
                                    << ksr::Point3f(0, 0, -1) << ksr::Point3f(1, 0, 0);
        QTest::newRow("x up") << ksr::Point3f(3, 0, 0) << ksr::Point3f(0, -1, 0) << ksr::Point3f(1, 0, 0)
                              << ksr::Point3f(0, 0, 1);
        QTest::newRow("y down") << ksr::Point3f(0, -1, 0) << ksr::Point3f(-1, 0, 0) << ksr::Point3f(0, -1, 0)
                                << ksr::Point3f(0, 0, 1);
        QTest::newRow("zero is accepted") << ksr::Point3f(0, 0, 0) << ksr::Point3f(0, 0, 0)
                                          << ksr::Point3f(0, 0, 0) << ksr::Point3f(0, 0, 0);
    }
    void upFrame()
    {
        QFETCH(ksr::Point3f, dir);
        QFETCH(ksr::Point3f, a);
        QFETCH(ksr::Point3f, u);
        QFETCH(ksr::Point3f, c);
        const ViewPose pose = ViewPose::fromUpDirection(dir);
        QVERIFY2(near(pose.upFrame.column(0), a), text(pose.upFrame.column(0)));
        QVERIFY2(near(pose.upFrame.column(1), u), text(pose.upFrame.column(1)));
        QVERIFY2(near(pose.upFrame.column(2), c), text(pose.upFrame.column(2)));
        QCOMPARE(pose.upFrame.row(3), ksr::Point3f());
        QCOMPARE(pose.upFrame[3][3], 1.0f);
        QCOMPARE(pose.position, ksr::Point3f());
        QCOMPARE(pose.velocity, ksr::Point3f());
        QCOMPARE(pose.yaw, 0.0f);
        QCOMPARE(pose.pitch, 0.0f);
    }

    void upFrameIsRightHanded()
    {
        const ksr::Point3f dirs[] = {{1, 2, 3}, {-0.3f, 0.1f, 0.9f}, {0.001f, -5, 0}, {2, 2, -7}};
        for (const ksr::Point3f &dir : dirs) {
            const ksr::Matrix44f f = ViewPose::fromUpDirection(dir).upFrame;
            const ksr::Point3f a = f.column(0), u = f.column(1), c = f.column(2);
            QVERIFY(near(u, dir.normalized()));
            QVERIFY(std::abs(a.length() - 1.0f) < 1e-5f && std::abs(c.length() - 1.0f) < 1e-5f);
            QVERIFY(std::abs(a.dot(u)) < 1e-5f && std::abs(a.dot(c)) < 1e-5f && std::abs(u.dot(c)) < 1e-5f);
            QVERIFY2(near(a.cross(u), c), text(dir));
        }
    }

    void placement_data()
    {
        QTest::addColumn<ksr::Point3f>("up");
        QTest::addColumn<ksr::Point3f>("axis");
        QTest::addColumn<ksr::Point3f>("centre");
        QTest::addColumn<float>("yaw");
        QTest::addColumn<float>("pitch");
        QTest::newRow("identity at (0,0,10)")
            << ksr::Point3f(0, 1, 0) << ksr::Point3f(0, 0, 1) << ksr::Point3f(0, 0, 10) << 0.0f << 0.0f;
        QTest::newRow("axis along x")
            << ksr::Point3f(0, 1, 0) << ksr::Point3f(1, 0, 0) << ksr::Point3f(5, 1, 2) << 90.0f << 0.0f;
        QTest::newRow("axis raised 45 degrees")
            << ksr::Point3f(0, 1, 0) << ksr::Point3f(0, 1, 1) << ksr::Point3f(0, 3, 3) << 0.0f << -45.0f;
        QTest::newRow("axis behind") << ksr::Point3f(0, 1, 0) << ksr::Point3f(0, 0, -1)
                                     << ksr::Point3f(0, 0, -4) << 180.0f << 0.0f;
        QTest::newRow("z up, axis along y")
            << ksr::Point3f(0, 0, 1) << ksr::Point3f(0, 1, 0) << ksr::Point3f(1, 2, 3) << 90.0f << 0.0f;
        QTest::newRow("z up, axis along z")
            << ksr::Point3f(0, 0, 1) << ksr::Point3f(0, 0, 1) << ksr::Point3f(1, 2, 3) << 0.0f << -90.0f;
        QTest::newRow("z up, axis along x")
            << ksr::Point3f(0, 0, 1) << ksr::Point3f(1, 0, 0) << ksr::Point3f(1, 2, 3) << 0.0f << 0.0f;
    }
    void placement()
    {
        QFETCH(ksr::Point3f, up);
        QFETCH(ksr::Point3f, axis);
        QFETCH(ksr::Point3f, centre);
        QFETCH(float, yaw);
        QFETCH(float, pitch);
        ViewPose pose = ViewPose::fromUpDirection(up);
        const ksr::Point3f hint =
            std::abs(axis.normalized().y) > 0.9f ? ksr::Point3f(0, 0, 1) : ksr::Point3f(0, 1, 0);
        pose.placeAt(startCamera(axis, centre, hint));
        QVERIFY2(near(pose.position, centre, 1e-4f), text(pose.position));
        QVERIFY2(std::abs(pose.yaw - yaw) < 1e-3f, QByteArray::number(pose.yaw));
        QVERIFY2(std::abs(pose.pitch - pitch) < 1e-3f, QByteArray::number(pose.pitch));
        QCOMPARE(pose.velocity, ksr::Point3f());
    }

    void modelviewLooksAlongCameraWithUpVertical()
    {
        // For any start camera the eye sits at its centre, looks along minus its axis and keeps
        // the up direction in the screen's vertical plane (no roll).
        const ksr::Point3f ups[] = {{0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
        const ksr::Point3f axes[] = {{0, 0, 1}, {1, 0.5f, -0.2f}, {-0.3f, -0.8f, 0.5f}, {0.2f, 0.1f, -1}};
        const ksr::Point3f centre(3, -2, 7);
        for (const ksr::Point3f &up : ups)
            for (const ksr::Point3f &axis : axes) {
                ViewPose pose = ViewPose::fromUpDirection(up);
                pose.placeAt(startCamera(axis, centre, ksr::Point3f(0.3f, 0.9f, 0.1f)));
                const ksr::Matrix44f m = pose.modelview();
                QVERIFY(near(m * centre, ksr::Point3f(), 1e-4f));
                const ksr::Point3f ahead = m * (centre - axis.normalized());
                QVERIFY2(near(ahead, ksr::Point3f(0, 0, -1), 1e-4f), text(ahead));
                const ksr::Point3f upOnScreen = m.rotate(up.normalized());
                QVERIFY2(std::abs(upOnScreen.x) < 1e-4f, text(upOnScreen));
                QVERIFY(upOnScreen.y >= -1e-4f);
            }
    }

    void depthRange_data()
    {
        QTest::addColumn<float>("distance");
        QTest::addColumn<float>("radius");
        QTest::addColumn<float>("nearPlane");
        QTest::addColumn<float>("farPlane");
        QTest::newRow("outside") << 10.0f << 2.0f << 8.0f << 12.0f;
        QTest::newRow("inside keeps a small near plane") << 1.0f << 2.0f << 0.0001f << 3.0f;
        QTest::newRow("at the centre") << 0.0f << 4.0f << 0.0002f << 4.0f;
    }
    void depthRange()
    {
        QFETCH(float, distance);
        QFETCH(float, radius);
        QFETCH(float, nearPlane);
        QFETCH(float, farPlane);
        const DepthRange range = depthRangeFor({1, distance, 0}, {1, 0, 0}, radius);
        QCOMPARE(range.nearPlane, nearPlane);
        QCOMPARE(range.farPlane, farPlane);
    }

    // The mouse orbit keeps the pivot where the start view shows it (scaled by the zoom) and
    // moves the eye around it: half a turn puts the eye behind the pivot.
    void orbitAboutThePivot_data()
    {
        QTest::addColumn<float>("yaw");
        QTest::addColumn<float>("pitch");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<ksr::Point3f>("eye");
        QTest::newRow("start view") << 0.0f << 0.0f << 1.0f << ksr::Point3f(0, 0, 10);
        QTest::newRow("half a turn") << 180.0f << 0.0f << 1.0f << ksr::Point3f(0, 0, -10);
        QTest::newRow("closer") << 0.0f << 0.0f << 0.5f << ksr::Point3f(0, 0, 5);
        QTest::newRow("a quarter, further") << 90.0f << 0.0f << 2.0f << ksr::Point3f(-20, 0, 0);
        QTest::newRow("from above") << 0.0f << 90.0f << 1.0f << ksr::Point3f(0, 10, 0);
    }
    void orbitAboutThePivot()
    {
        QFETCH(float, yaw);
        QFETCH(float, pitch);
        QFETCH(float, zoom);
        QFETCH(ksr::Point3f, eye);
        const ksr::Matrix44f start = ksr::Matrix44f::translation({0, 0, -10}); // at (0, 0, 10), y up
        const ksr::Point3f pivot(0, 0, 0);
        const Orbit orbit{yaw, pitch, zoom};
        const ksr::Matrix44f view = orbit.modelview(start, pivot);
        QVERIFY2(near(view * pivot, (start * pivot) * zoom, 1e-4f), text(view * pivot));
        QCOMPARE(orbit.pivotDistance(start, pivot), 10.0f * zoom);
        // The eye is where the view maps to the origin: -R^T t for a rigid view.
        ksr::Point3f found;
        for (int k = 0; k < 3; ++k)
            found[k] = -(view[0][k] * view[0][3] + view[1][k] * view[1][3] + view[2][k] * view[2][3]);
        QVERIFY2(near(found, eye, 1e-4f), text(found));
        QCOMPARE(orbit.isStartView(), yaw == 0.0f && pitch == 0.0f && zoom == 1.0f);
    }
};

QTEST_APPLESS_MAIN(TstViewPose)
#include "tst_viewpose.moc"
