#include "fileformattestutil.h"
#include "polyforgeproject.h"

#include <QTemporaryDir>
#include <QtTest>

namespace
{

const char *const camera =
    "<KSRCamera RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \" "
    "TranslationVector=\"-%1 0 0 1 \" FocalMm=\"%1\" CenterPx=\"1 2 \" LensDistortion=\"0 0 \" "
    "ViewportPx=\"64 48 \" PixelSizeMm=\"0.1 0.1 \"/>";

QString raster(int n, bool planeFirst = false, const QString &planeAttribute = QStringLiteral("fileName"))
{
    const QString cam = QString::fromLatin1(camera).arg(n);
    const QString plane = QStringLiteral("<Plane %1=\"img%2.jpg\"/>").arg(planeAttribute).arg(n);
    return "<PFRaster>" + (planeFirst ? plane + cam : cam + plane) + "</PFRaster>";
}

} // namespace

class TestProjectReader : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void groups_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("rasters");
        QTest::addColumn<QVector<float>>("focals");
        QTest::addColumn<QStringList>("meshes");
        QTest::newRow("two raster groups")
            << "<RasterGroup>" + raster(1) + raster(2) + "</RasterGroup><Other/><RasterGroup>" + raster(3) +
                   "</RasterGroup>"
            << QStringList{"img1.jpg", "img2.jpg", "img3.jpg"} << QVector<float>{1, 2, 3} << QStringList{};
        QTest::newRow("plane before camera") << "<RasterGroup>" + raster(4, true) + "</RasterGroup>"
                                             << QStringList{"img4.jpg"} << QVector<float>{4} << QStringList{};
        QTest::newRow("lower-case filename on plane")
            << "<RasterGroup>" + raster(5, false, "filename") + "</RasterGroup>" << QStringList{""}
            << QVector<float>{5} << QStringList{};
        QTest::newRow("raster without camera")
            << "<RasterGroup><PFRaster><Plane fileName=\"x\"/></PFRaster></RasterGroup>" << QStringList{"x"}
            << QVector<float>{0} << QStringList{};
        QTest::newRow("mesh without filename ends its group")
            << "<MeshGroup><PFMesh filename=\"a.ply\"/><PFMesh fileName=\"b.ply\"/><PFMesh "
               "filename=\"c.ply\"/>"
               "</MeshGroup><MeshGroup><PFMesh filename=\"d.ply\"/></MeshGroup>"
            << QStringList{} << QVector<float>{} << QStringList{"a.ply", "d.ply"};
        QTest::newRow("no groups") << "" << QStringList{} << QVector<float>{} << QStringList{};
    }
    void groups()
    {
        QFETCH(QString, body);
        QFETCH(QStringList, rasters);
        QFETCH(QVector<float>, focals);
        QFETCH(QStringList, meshes);
        // The root's name is not tested.
        for (const char *root : {"PolyforgeProject", "OtherRoot"}) {
            const QString path = dir.filePath("p.pfp");
            QVERIFY(writeFile(path, QStringLiteral("<%1>%2</%1>").arg(QLatin1String(root), body).toUtf8()));
            QVector<Camera> cameras;
            QStringList readRasters, readMeshes;
            QVERIFY(PolyforgeProject::readProject(path, cameras, readRasters, readMeshes));
            QCOMPARE(readRasters, rasters);
            QCOMPARE(readMeshes, meshes);
            QVector<float> readFocals;
            for (const Camera &c : cameras)
                readFocals << c.focalMm;
            QCOMPARE(readFocals, focals);
        }
    }

    void unreadableLeavesListsUntouched()
    {
        const QString broken = dir.filePath("broken.pfp");
        QVERIFY(writeFile(broken, "<PolyforgeProject><RasterGroup>"));
        const QString deep = dir.filePath("deep.pfp");
        QVERIFY(writeFile(deep, "<P>" + QByteArray("<a>").repeated(200000) +
                                    QByteArray("</a>").repeated(200000) + "</P>"));
        for (const QString &path : {broken, deep, dir.filePath("absent.pfp")}) {
            QVector<Camera> cameras(1);
            QStringList rasters{"kept"}, meshes;
            QString message;
            QVERIFY(!PolyforgeProject::readProject(path, cameras, rasters, meshes, &message));
            QVERIFY(message.contains(path));
            QCOMPARE(cameras.size(), 1);
            QCOMPARE(rasters, QStringList{"kept"});
        }
    }

    void realProject()
    {
        QVector<Camera> cameras;
        QStringList rasters, meshes;
        QVERIFY(PolyforgeProject::readProject(ORVELLE_TEST_DATA "/sceaux/sceaux.pfp", cameras, rasters,
                                              meshes));
        QCOMPARE(rasters.size(), 10);
        QCOMPARE(cameras.size(), 10);
        QCOMPARE(meshes, (QStringList{"scene_mesh_refine.ply", "scene_mesh.ply"}));
        QCOMPARE(rasters.first(), QStringLiteral("images/00000.jpg"));
        // TranslationVector "3.08059 -7.52157 -1.37123 1 ": the fourth value is ignored.
        QCOMPARE(cameras.first().center, ksr::Point3d(-3.08059, 7.52157, 1.37123));
        QCOMPARE(cameras.first().viewportPx[0], 1416);
        QVERIFY(cameras.first().isSet());
    }
};

QTEST_GUILESS_MAIN(TestProjectReader)
#include "tst_projectreader.moc"
