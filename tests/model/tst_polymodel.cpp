// Model loading, bounding box, centre, radius and depth range, without GL.

#include "polymodel3d.h"
#include "testmodels.h"
#include "testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using ksr::Point3f;

class TestPolyModel : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString boxPly(const QString &name)
    {
        // Corners (0,0,0) and (2,4,6) plus an unreadable vertex that must not widen the box.
        QVector<Point3f> points;
        for (int k = 0; k < 8; ++k)
            points.append(Point3f((k & 1) ? 2 : 0, (k & 2) ? 4 : 0, (k & 4) ? 6 : 0));
        const QString path = m_dir.filePath(name);
        if (!testmodels::writePly(path, points, {{0, 1, 2}, {1, 3, 2}}))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void centreAndRadiusOfKnownBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("lower case") << "model.ply";
        QTest::addRow("upper case") << "MODEL.PLY";
    }
    void centreAndRadiusOfKnownBox()
    {
        QFETCH(QString, name);
        PolyModel3D model;
        QSignalSpy ready(&model, &Model3D::readyToRender);
        QVERIFY(model.load(boxPly(name)));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(model.errorCode(), 0);
        QCOMPARE(model.vertexCount(), 8);
        QCOMPARE(model.faceCount(), 2);
        QCOMPARE(model.center(), Point3f(1, 2, 3));
        QCOMPARE(model.radius(), 0.5f * std::sqrt(56.0f));
        QVERIFY(!model.isPointCloud());
    }

    void emptyAndUnknownModels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::addRow("xyz") << "model.xyz" << QByteArray("0 0 0\n1 1 1\n") << "Unknown type";
        QTest::addRow("vmi") << "model.vmi" << QByteArray("binary") << "VMI files are not supported";
        QTest::addRow("no vertex") << "empty.ply" << QByteArray("ply\nformat ascii 1.0\nend_header\n")
                                   << QString();
    }
    void emptyAndUnknownModels()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, content));
        PolyModel3D model;
        QSignalSpy ready(&model, &Model3D::readyToRender);
        if (!text.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable(text));
        QVERIFY(model.load(path)); // the file exists: load succeeds even when nothing was read
        QCOMPARE(ready.count(), 1);
        QCOMPARE(model.errorText(), text);
        QCOMPARE(model.vertexCount(), 0);
        QCOMPARE(model.center(), Point3f(0, 0, 0));
        QCOMPARE(model.radius(), std::sqrt(3.0f));
    }

    void missingFileChangesNothing()
    {
        PolyModel3D model;
        QVERIFY(model.load(boxPly("keep.ply")));
        QSignalSpy ready(&model, &Model3D::readyToRender);
        QVERIFY(!model.load(m_dir.filePath("absent.ply")));
        QVERIFY(!model.load(m_dir.path())); // a folder is no model either
        QCOMPARE(ready.count(), 0);
        QCOMPARE(model.vertexCount(), 8); // the previous model stays
    }

    void unreadableVerticesLeaveTheBox()
    {
        const QString path = m_dir.filePath("nan.ply");
        QVERIFY(writeFile(
            path,
            "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
            "end_header\n1 1 1\nnan 100 100\n3 3 3\n"));
        PolyModel3D model;
        QVERIFY(model.load(path));
        QCOMPARE(model.vertexCount(), 2);
        QCOMPARE(model.mesh()->bboxMax, Point3f(3, 3, 3));
        QCOMPARE(model.center(), Point3f(2, 2, 2));
    }

    // Loading resolves referenced files beside the model and never moves the working folder,
    // which the GUI thread and the builder rely on.
    void workingFolderUntouched()
    {
        QVERIFY(QDir().mkpath(m_dir.filePath("scene/materials")));
        QVERIFY(writeFile(m_dir.filePath("scene/m.mtl"), "newmtl grey\nKd 0.5 0.5 0.5\n"));
        QVERIFY(writeFile(m_dir.filePath("scene/m.obj"),
                          "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl grey\nf 1 2 3\n"));

        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        PolyModel3D model;
        const bool loaded = model.load("scene/m.obj"); // relative to the working folder of the caller
        const QString during = QDir::currentPath();
        QDir::setCurrent(before);
        QVERIFY(loaded);
        QCOMPARE(during, QDir(m_dir.path()).canonicalPath());
        QCOMPARE(model.errorCode(), 0);
        QCOMPARE(model.faceCount(), 1);
    }

    void depthRange_data()
    {
        QTest::addColumn<float>("tz");
        QTest::addColumn<float>("zMin");
        QTest::addColumn<float>("zMax");
        QTest::addRow("identity") << 0.0f << 0.0f << 6.0f;
        QTest::addRow("pushed back") << -10.0f << -10.0f << -4.0f;
    }
    void depthRange()
    {
        QFETCH(float, tz);
        QFETCH(float, zMin);
        QFETCH(float, zMax);
        PolyModel3D model;
        QVERIFY(model.load(boxPly("range.ply")));
        float columnMajor[16];
        ksr::Matrix44f::translation(Point3f(5, 5, tz)).toColumnMajor(columnMajor);
        float lo = 1e9f, hi = -1e9f;
        model.depthRange(columnMajor, lo, hi);
        QCOMPARE(lo, zMin);
        QCOMPARE(hi, zMax);
        // The caller's range is only widened.
        lo = -100.0f;
        hi = 100.0f;
        model.depthRange(columnMajor, lo, hi);
        QCOMPARE(lo, -100.0f);
        QCOMPARE(hi, 100.0f);
    }
};

QTEST_GUILESS_MAIN(TestPolyModel)
#include "tst_polymodel.moc"
