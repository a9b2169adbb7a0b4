// Runs the built orvelle-index on files written here and reads its JSON.
#include "inspectrun.h"
#include "orvelleindex.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace
{

using Run = InspectRun;

Run run(const QStringList &arguments)
{
    return runOrvelleIndex(arguments);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestInspect : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void project()
    {
        const QString path = dir.filePath("p.pfp");
        write(path,
              "<PolyforgeProject><RasterGroup><PFRaster><KSRCamera RotationMatrix=\"0 1 0 0 -1 0 0 0 0 0 1 0 "
              "0 0 0 1\" TranslationVector=\"-1 -2 -3 1\" FocalMm=\"35.1\" CenterPx=\"2000.5 1500\" "
              "LensDistortion=\"0.1 0\" ViewportPx=\"4000 3000\" PixelSizeMm=\"0.01 0.01\"/>"
              "<Plane fileName=\"img/a.jpg\"/></PFRaster></RasterGroup>"
              "<MeshGroup><PFMesh filename=\"m.ply\"/></MeshGroup></PolyforgeProject>");
        const Run r = run({"inspect", path});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json["file"].toString(), path);
        QVERIFY(r.json["ok"].toBool());
        QCOMPARE(r.json["meshes"].toArray(), QJsonArray{"m.ply"});
        const QJsonObject raster = r.json["rasters"].toArray().at(0).toObject();
        QCOMPARE(raster["image"].toString(), QStringLiteral("img/a.jpg"));
        const QJsonObject camera = raster["camera"].toObject();
        // Full float precision, not rounded to six digits and without double noise digits.
        QCOMPARE(camera["focalMm"].toDouble(), 35.1);
        QCOMPARE(camera["centerPx"].toArray(), (QJsonArray{2000.5, 1500}));
        QCOMPARE(camera["center"].toArray(), (QJsonArray{1, 2, 3}));
        QCOMPARE(camera["viewportPx"].toArray(), (QJsonArray{4000, 3000}));
        QCOMPARE(camera["lensDistortion"].toArray(), (QJsonArray{0.1, 0}));
        QCOMPARE(camera["rotation"].toArray().size(), 16);
        QCOMPARE(camera["rotation"].toArray().at(4).toDouble(), -1.0);
    }

    void writtenIndex()
    {
        OrvelleIndex index;
        index.setName("demo");
        index.setModelFileName(dir.filePath("mesh.ply"));
        index.setOrthoPlaneBackground();
        ShotCollection shots;
        shots.setImagePaths({dir.filePath("a.jpg"), dir.filePath("b.jpg")});
        shots.setCameras(QVector<Camera>(2));
        shots.setOrder({1, 0});
        shots.setDepths({0.1f, 2});
        index.addCollection(shots);
        const QString path = dir.filePath("written.orx");
        QVERIFY(index.save(path, true));

        const Run r = run({"inspect", path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.json["ok"].toBool());
        QCOMPARE(r.json["errors"].toArray(), QJsonArray());
        const QJsonObject scene = r.json["scene"].toObject();
        QCOMPARE(scene["name"].toString(), QStringLiteral("demo"));
        QCOMPARE(scene["model"].toString(), dir.filePath("mesh.ply"));
        QCOMPARE(scene["backgroundKind"].toInt(), 1);
        QCOMPARE(scene["upDirection"].toArray(), (QJsonArray{0, 1, 0}));
        QCOMPARE(scene["backgroundColor"].toArray(), (QJsonArray{0, 0, 0, 1}));
        const QJsonObject collection = r.json["collections"].toArray().at(0).toObject();
        QCOMPARE(collection["images"].toArray(), (QJsonArray{dir.filePath("b.jpg"), dir.filePath("a.jpg")}));
        QCOMPARE(collection["depths"].toArray(), (QJsonArray{2, 0.1}));
        QCOMPARE(collection["order"].toArray(), (QJsonArray{0, 1}));
        QCOMPARE(collection["clusters"].toArray(), (QJsonArray{2, 1}));
        QCOMPARE(collection["cameras"].toArray().size(), 2);
        QCOMPARE(collection["shotColor"].toArray(), (QJsonArray{1, 1, 1, 1}));

        // Any suffix reads as an index when asked to.
        const QString renamed = dir.filePath("written.xml");
        QVERIFY(QFile::copy(path, renamed));
        const Run forced = run({"inspect", "--index-reader", renamed});
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(forced.json["scene"].toObject()["name"].toString(), QStringLiteral("demo"));
    }

    void corruptIndex()
    {
        const QString path = dir.filePath("corrupt.orx");
        write(path, "<scene><model filename=\"\"/><lighting/></scene>");
        const Run r = run({"inspect", path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.json["ok"].toBool());
        QCOMPARE(r.json["errors"].toArray(),
                 (QJsonArray{QJsonArray{"Wrong index file format",
                                        "Expected \"enabled\" attribute in tag \"lighting\"!"}}));
        QVERIFY(r.err.contains("Expected \"enabled\" attribute"));
        // What was read before the failure is shown.
        QCOMPARE(r.json["scene"].toObject()["model"].toString(), QStringLiteral("unrecognized source"));

        const Run missing = run({"inspect", dir.filePath("absent.orx")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("absent.orx"));
    }

    void refusedAndUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("stderrHas");
        QTest::newRow("unknown suffix") << QStringList{"inspect", "a.txt"} << 1 << QByteArray(".pfp");
        QTest::newRow("upper-case suffix") << QStringList{"inspect", "a.ORX"} << 1 << QByteArray(".orx");
        QTest::newRow("no command") << QStringList{} << 2 << QByteArray("no command");
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << QByteArray("frobnicate");
        QTest::newRow("no file") << QStringList{"inspect"} << 2 << QByteArray("FILE");
        QTest::newRow("two files") << QStringList{"inspect", "a.orx", "b.orx"} << 2 << QByteArray("FILE");
        QTest::newRow("unknown option")
            << QStringList{"inspect", "--frob", "a.orx"} << 2 << QByteArray("frob");
    }
    void refusedAndUsage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, stderrHas);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(stderrHas), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }

    // Files that are no regular files, of every kind the tool reads, are refused at once by name:
    // a FIFO never blocks, a link to /dev/zero is not read.
    void specialFilesRefusedUnread_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("said");
        for (const char *suffix : {"pfp", "orx", "nvm", "ply", "off", "stl", "obj", "tsl"}) {
            QTest::addRow("FIFO .%s", suffix) << QStringLiteral("fifo.%1").arg(suffix) << QByteArray("FIFO");
            QTest::addRow("link to /dev/zero .%s", suffix)
                << QStringLiteral("zero.%1").arg(suffix) << QByteArray("device");
        }
    }
    void specialFilesRefusedUnread()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, said);
        const QString path = dir.filePath(name);
        QVERIFY(name.startsWith("fifo") ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                        : QFile::link("/dev/zero", path));
        const Run r = run({"inspect", path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(name.toUtf8()) &&
                     (r.err.contains(said) || r.err.contains("not a regular file but a FIFO, a device")),
                 r.err.constData());
    }

    void help()
    {
        const Run top = run({"--help"});
        QCOMPARE(top.exitCode, 0);
        QVERIFY(top.out.contains("inspect"));
        const Run inspect = run({"inspect", "--help"});
        QCOMPARE(inspect.exitCode, 0);
        QVERIFY(inspect.out.contains("--index-reader"));
    }
};

QTEST_GUILESS_MAIN(TestInspect)
#include "tst_inspect.moc"
