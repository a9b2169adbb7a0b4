#include "cameraelement.h"
#include "fileformattestutil.h"
#include "orvelleindexread.h"

#include <QDomDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

const char *const cameraAttributes =
    "RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \" TranslationVector=\"-1 -2 -3 \" "
    "FocalMm=\"35\" CenterPx=\"2000.5 1500 \" LensDistortion=\"0 0 \" "
    "ViewportPx=\"4000 3000 \" PixelSizeMm=\"0.01 0.01 \"";

QString shot(int id, const QString &extra = QString())
{
    return QStringLiteral("<shot id=\"%1\" sem=\"%2\" colormap=\"./%1.jpg\" thumbnail=\"./t%1.jpg\" "
                          "projectable=\"true\" depth=\"%1.5\" %3><KSRCamera %4/></shot>")
        .arg(id)
        .arg(id + 10)
        .arg(extra, QLatin1String(cameraAttributes));
}

QString collection(const QString &shots, const QString &extra = QString())
{
    return QStringLiteral("<collection thumbnailBar=\"top\" shotColor=\"1 0 0 \" %1>%2</collection>")
        .arg(extra, shots);
}

QByteArray scene(const QString &children)
{
    return QStringLiteral("<scene updirection=\"0 0 1\">%1</scene>").arg(children).toUtf8();
}

struct ReadResult {
    bool ok = false;
    QStringList errors; // "title|message"
};

ReadResult read(OrvelleIndexRead &reader, const QString &fileName)
{
    ReadResult result;
    QObject::connect(&reader, &OrvelleIndexRead::error, [&](const QString &title, const QString &message) {
        result.errors << title + "|" + message;
    });
    result.ok = reader.readFile(fileName);
    return result;
}

bool finite(const Camera &c)
{
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(c.rotation.data()[i]))
            return false;
    return std::isfinite(c.focalMm) && std::isfinite(c.centerPx[0]) && std::isfinite(c.centerPx[1]) &&
           std::isfinite(c.center.x) && std::isfinite(c.center.y) && std::isfinite(c.center.z);
}

} // namespace

class TestIndexReader : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const QByteArray &content, const QString &name = QStringLiteral("in.orx"))
    {
        const QString path = dir.filePath(name);
        writeFile(path, content);
        return path;
    }

private slots:
    // Write, then read back from the same folder (a non-ASCII one): everything survives.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("relative");
        QTest::newRow("relative paths") << true;
        QTest::newRow("absolute paths") << false;
    }
    void roundTrip()
    {
        QFETCH(bool, relative);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Ñandú 写真/img")));
        const QString folder = QFileInfo(dir.filePath(QStringLiteral("Ñandú 写真"))).canonicalFilePath();
        OrvelleIndex index;
        index.setName(QStringLiteral("Sceaux é"));
        index.setModelFileName(folder + "/mesh.ply");
        index.setUpDirection({0, 0, 1});
        index.setCameraSpeed(0.25f);
        index.setBackgroundColor({0.1f, 0.2f, 0.3f, 1});
        index.setDomeBackground({0.2f, 0.5f}, {{1, 0, 0, 1}, {0, 0, 1, 1}});
        index.setLighting(true);
        index.setStartCamera(sampleCamera(7));
        ShotCollection shots;
        shots.setName("first");
        shots.setImagePaths({folder + "/img/a.jpg", folder + "/img/b.jpg", "/other/c.jpg"});
        shots.setThumbnailPaths({folder + "/t/a.jpg", folder + "/t/b.jpg", "/other/t/c.jpg"});
        shots.setCameras({sampleCamera(0), sampleCamera(1), sampleCamera(2)});
        shots.setOrder({2, 0, 1});
        shots.setClusterNumbers({1, 1, 4});
        shots.setDepths({3.5f, 0.125f, 1e-6f});
        shots.setFrameletsScale(0.5f);
        shots.setProjectionReliability(0.75f);
        shots.setShotColor({0.25f, 0.5f, 1, 1});
        index.addCollection(shots);
        const QString fileName = folder + "/index.orx";
        QVERIFY(index.save(fileName, relative));

        OrvelleIndexRead reader;
        const ReadResult result = read(reader, fileName);
        QVERIFY(result.ok);
        QCOMPARE(result.errors, QStringList());
        QCOMPARE(reader.name(), index.name());
        QCOMPARE(reader.modelFileName(), index.modelFileName());
        QCOMPARE(reader.upDirection(), index.upDirection());
        QCOMPARE(reader.cameraSpeed(), 0.25f);
        QCOMPARE(reader.backgroundKind(), 2);
        QCOMPARE(reader.backgroundColor(), index.backgroundColor());
        QCOMPARE(reader.domeVertices(), index.domeVertices());
        QVERIFY(reader.lighting());
        compareCameras(reader.startCamera(), sampleCamera(7));
        QCOMPARE(reader.collectionCount(), 1);
        const ShotCollection &back = reader.collection(0);
        QCOMPARE(back.name(), QStringLiteral("first"));
        QCOMPARE(back.thumbnailBarPosition(), 0);
        QCOMPARE(back.shotColor(), shots.shotColor());
        QCOMPARE(back.frameletsScale(), 0.5f);
        QCOMPARE(back.projectionReliability(), 0.75f);
        // Shots come back in display order, with the identity order.
        QCOMPARE(back.order(), (QVector<int>{0, 1, 2}));
        const QVector<int> display = {2, 0, 1};
        for (int p = 0; p < 3; ++p) {
            const int k = display[p];
            QCOMPARE(back.imagePaths().at(p), shots.imagePaths().at(k));
            QCOMPARE(back.thumbnailPaths().at(p), shots.thumbnailPaths().at(k));
            QCOMPARE(back.clusterNumbers().at(p), shots.clusterNumbers().at(k));
            QVERIFY(nearlyEqual(back.depths().at(p), shots.depths().at(k)));
            compareCameras(back.cameras().at(p), shots.cameras().at(k));
        }
    }

    // Each message of the reader, for the situation it names.
    void messages_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("errors");
        const QString parse = "Wrong file format|Failed to parse index file!";
        const QString format = "Wrong index file format|";
        QTest::newRow("empty") << QByteArray() << false << QStringList{parse};
        QTest::newRow("truncated") << scene(collection(shot(0))).left(60) << false << QStringList{parse};
        QTest::newRow("root") << QByteArray("<index/>") << false
                              << QStringList{format +
                                             "Expected \"scene|PolyforgeProject\" tag, but found \"index\"!"};
        QTest::newRow("unknown scene child") << scene("<model filename=\"\"/><foo/>") << false
                                             << QStringList{format + "Unknown tag: \"foo\"!"};
        QTest::newRow("comment in scene")
            << scene("<!-- c -->") << false << QStringList{format + "Unknown tag: \"#comment\"!"};
        QTest::newRow("collection thumbnailBar")
            << scene("<collection shotColor=\"1 1 1\"/>") << false
            << QStringList{format + "Expected \"thumbnailBar\" attribute in tag \"collection\"!"};
        QTest::newRow("collection shotColor")
            << scene("<collection thumbnailBar=\"top\"/>") << false
            << QStringList{format + "Expected \"shotColor\" attribute in tag \"collection\"!"};
        QTest::newRow("collection child")
            << scene(collection(shot(0) + "<photo/>")) << false
            << QStringList{format + "Expected \"shot\" tag, but found \"photo\"!"};
        QTest::newRow("shot attribute")
            << scene(
                   collection("<shot id=\"0\" sem=\"1\" colormap=\"\" thumbnail=\"\" projectable=\"true\"/>"))
            << false << QStringList{format + "Expected \"depth\" attribute in tag \"shot\"!"};
        QTest::newRow("model filename")
            << scene("<model/>") << false
            << QStringList{format + "Expected \"filename\" attribute in tag \"model\"!"};
        QTest::newRow("camera child") << scene("<camera><physic speed=\"2\"/><speed/></camera>") << false
                                      << QStringList{format + "Unknown tag: \"speed\"!"};
        QTest::newRow("background rgb")
            << scene("<background/>") << false
            << QStringList{format + "Expected \"rgb\" attribute in tag \"background\"!"};
        QTest::newRow("background child")
            << scene("<background rgb=\"0 0 0\"><plane/></background>") << false
            << QStringList{format + "Expected \"sphere\" tag, but found \"plane\"!"};
        QTest::newRow("dome child")
            << scene("<background rgb=\"0 0 0\"><sphere><vertex/><dot/></sphere></background>") << false
            << QStringList{format + "Expected \"vertex\" tag, but found \"dot\"!"};
        QTest::newRow("lighting enabled")
            << scene("<lighting/>") << false
            << QStringList{format + "Expected \"enabled\" attribute in tag \"lighting\"!"};
        // Missing camera attributes are reported and reading goes on.
        QTest::newRow("camera attributes")
            << scene("<camera><StartCam FocalMm=\"1\"/></camera>" +
                     collection("<shot id=\"0\" sem=\"1\" colormap=\"\" thumbnail=\"\" projectable=\"true\" "
                                "depth=\"1\">"
                                "<cam RotationMatrix=\"\" TranslationVector=\"\"/></shot>"))
            << true
            << QStringList{format + "Expected \"TranslationVector\" attribute in tag \"StartCam\"!",
                           format + "Expected \"FocalMm\" attribute in tag \"cam\"!"};
        QTest::newRow("repeated ids")
            << scene(collection(shot(0) + shot(0))) << false
            << QStringList{format + "The \"id\" values of the shots in a collection must be "
                                    "0 to 1, each once!"};
        QTest::newRow("id out of range")
            << scene(collection(shot(0) + shot(2))) << false
            << QStringList{format + "The \"id\" values of the shots in a collection "
                                    "must be 0 to 1, each once!"};
        QTest::newRow("degenerate shot frame")
            << scene(collection(shot(0), "shotFrame=\"0 0 0 1 0 1 0 0 0 0 1 0 0 0 0 1\"")) << false
            << QStringList{format + "Degenerate \"shotFrame\" attribute in tag \"collection\"!"};
    }
    void messages()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, ok);
        QFETCH(QStringList, errors);
        OrvelleIndexRead reader;
        const ReadResult result = read(reader, file(content));
        QCOMPARE(result.errors, errors);
        QCOMPARE(result.ok, ok);
        // A rejected collection is not added.
        if (!ok)
            QCOMPARE(reader.collectionCount(), 0);
    }

    // Documents a parser would take too long or too much memory over, or overflow its stack on, are
    // refused before parsing, naming the bound and the line; a document within them is parsed,
    // whatever its comments and sections hold.
    void hostileStructureIsRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refusal"); // empty: read
        const QByteArray attributes = [] {
            QByteArray text;
            for (int i = 0; i < 129; ++i)
                text += " a" + QByteArray::number(i) + "=''";
            return text;
        }();
        QTest::newRow("nested 200,000 deep")
            << scene(QString("<a>").repeated(200000) + QString("</a>").repeated(200000))
            << "is nested more than 256 elements deep (line 1)";
        QTest::newRow("nested 256 deep, self-closing siblings")
            << scene(QString("<a>").repeated(254) + QString("<b/>").repeated(300) +
                     QString("</a>").repeated(254))
            << "Unknown tag: \"a\"!";
        QTest::newRow("entities of its own")
            << "<?xml version=\"1.0\"?>\n<!DOCTYPE s [<!ENTITY a \"aaaaaaaa\"><!ENTITY b "
               "\"&a;&a;&a;&a;\">]>\n" +
                   scene("<collection thumbnailBar=\"&b;\" shotColor=\"1 1 1\"/>")
            << "DOCTYPE with an internal subset), which these files never do (line 2)";
        QTest::newRow("129 attributes") << "<scene>\n\n<collection" + attributes + "/></scene>"
                                        << "more than 128 attributes (line 3)";
        QTest::newRow("long attribute value")
            << scene(collection(shot(0, "sem2=\"" + QString(70000, '1') + "\"")))
            << "has an attribute value longer than 65536 bytes (line 1)";
        QTest::newRow("value never closed") << scene("<a b=\"" + QString(70000, 'x'))
                                            << "has an attribute value longer than 65536 bytes (line 1)";
        QTest::newRow("markup in comments and declarations")
            << "<?xml version='1.0'?><!DOCTYPE scene><!-- <a b='1' c=\"2\"> -->" +
                   scene(collection(shot(0))) +
                   QString("<!-- %1 -->").arg(QString("<a>").repeated(300)).toUtf8()
            << "";
    }
    void hostileStructureIsRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, refusal);
        OrvelleIndexRead reader;
        QElapsedTimer timer;
        timer.start();
        const ReadResult result = read(reader, file(content));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        if (refusal.isEmpty()) {
            QVERIFY2(result.ok, qPrintable(result.errors.join("; ")));
            return;
        }
        QVERIFY(!result.ok);
        QCOMPARE(result.errors.size(), 1);
        QVERIFY2(result.errors.first().contains(refusal), qPrintable(result.errors.first()));
        // A bound met names the file; the parser's own findings name their tag.
        QVERIFY(!refusal.contains("(line") || result.errors.first().contains("in.orx"));
    }

    void missingFileIsParseError()
    {
        OrvelleIndexRead reader;
        QCOMPARE(read(reader, dir.filePath("absent.orx")).errors,
                 QStringList{"Wrong file format|Failed to parse index file!"});
    }

    void idsGiveOrder()
    {
        OrvelleIndexRead reader;
        QVERIFY(read(reader, file(scene(collection(shot(2) + shot(0) + shot(1))))).ok);
        QCOMPARE(reader.collection(0).order(), (QVector<int>{1, 2, 0}));
        QCOMPARE(reader.collection(0).clusterNumbers(), (QVector<int>{12, 10, 11}));
        QCOMPARE(reader.collection(0).cameras().at(0).centerPx[0], 2000.5f);
    }

    void shotFrameMovesCameras_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<ksr::Point3f>("center");
        QTest::addColumn<QVector<float>>("rotationRow0");
        QTest::newRow("translation") << "1 0 0 10 0 1 0 0 0 0 1 0 0 0 0 1" << ksr::Point3f(11, 2, 3)
                                     << QVector<float>{1, 0, 0};
        // Rotation by 90 degrees about z, scaled by 2: the scale is divided out of the rotation.
        QTest::newRow("rotation and scale")
            << "0 -2 0 0 2 0 0 0 0 0 2 0 0 0 0 1" << ksr::Point3f(-4, 2, 6) << QVector<float>{0, 1, 0};
    }
    void shotFrameMovesCameras()
    {
        QFETCH(QString, frame);
        QFETCH(ksr::Point3f, center);
        QFETCH(QVector<float>, rotationRow0);
        OrvelleIndexRead reader;
        QVERIFY(read(reader, file(scene(collection(shot(0), "shotFrame=\"" + frame + "\"")))).ok);
        const Camera &camera = reader.collection(0).cameras().at(0);
        QCOMPARE(camera.center, center);
        const ksr::Point3f row = camera.rotation.row(0);
        QCOMPARE((QVector<float>{row.x, row.y, row.z}), rotationRow0);
        QVERIFY(reader.collection(0).shotFrame().isIdentity());
    }

    void nonProjectableShot()
    {
        OrvelleIndexRead reader;
        const QString notProjectable = shot(1).replace("projectable=\"true\"", "projectable=\"false\"");
        QVERIFY(read(reader, file(scene(collection(shot(0) + notProjectable)))).ok);
        QCOMPARE(reader.collection(0).imagePaths().size(), 2);
        QCOMPARE(reader.collection(0).clusterNumbers(), (QVector<int>{10, 11}));
        QCOMPARE(reader.collection(0).cameras().size(), 1);
        QCOMPARE(reader.collection(0).depths(), QVector<float>{0.5f});
    }

    void resolvePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("dot slash") << "./img/a.jpg"
                                   << "DIR/img/a.jpg";
        QTest::newRow("plain relative") << "images/a.jpg"
                                        << "unrecognized source";
        QTest::newRow("empty") << ""
                               << "unrecognized source";
        QTest::newRow("http") << "http://host/a.jpg"
                              << "http://host/a.jpg";
        QTest::newRow("https") << "https://host/photos/a.jpg"
                               << "https://host/photos/a.jpg";
        QTest::newRow("absolute") << "/data/a.jpg"
                                  << "/data/a.jpg";
    }
    void resolvePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, resolved);
        OrvelleIndexRead reader;
        read(reader, file(scene(QString())));
        QCOMPARE(reader.resolvePath(path), resolved.replace("DIR", dir.path()));
    }

    // Every list of numbers splits on any white space, leading and trailing white space ignored.
    void numberLists_data()
    {
        QTest::addColumn<QString>("list");
        QTest::newRow("single spaces") << "0.5 0.25 1";
        QTest::newRow("leading and trailing space") << " 0.5 0.25 1 ";
        QTest::newRow("double space") << "0.5  0.25 1";
        QTest::newRow("tabs and line break") << "0.5\t0.25\n1";
    }
    void numberLists()
    {
        QFETCH(QString, list);
        // Character references, as a parser turns literal tabs and line breaks in attributes into spaces.
        const QString attribute = QString(list).replace('\t', "&#9;").replace('\n', "&#10;");
        const QByteArray content =
            QStringLiteral(
                "<scene updirection=\"%1\">"
                "<collection thumbnailBar=\"top\" shotColor=\"%1\">%2</collection>"
                "<background rgb=\"%1\"><sphere><vertex rgb=\"%1\" height=\"2\"/></sphere></background>"
                "</scene>")
                .arg(attribute, shot(0))
                .toUtf8();
        OrvelleIndexRead reader;
        const ReadResult result = read(reader, file(content));
        QVERIFY(result.ok);
        QCOMPARE(reader.upDirection(), ksr::Point3f(0.5f, 0.25f, 1));
        QCOMPARE(reader.collection(0).shotColor(), (Color4f{0.5f, 0.25f, 1, 1}));
        QCOMPARE(reader.backgroundColor(), (Color4f{0.5f, 0.25f, 1, 1}));
        QCOMPARE(reader.domeVertices().size(), 1);
        QCOMPARE(reader.domeVertices().at(0).blue, 1.0f);
    }

    // Photographs and a model on a web server keep their addresses through writing and reading.
    void webAddressesKept()
    {
        ShotCollection shots;
        shots.setImagePaths({"https://host/photos/a.jpg", "http://host/photos/b.jpg"});
        shots.setThumbnailPaths({"https://host/thumbs/a.jpg", "http://host/thumbs/b.jpg"});
        shots.setCameras({sampleCamera(0), sampleCamera(1)});
        shots.setDepths({1, 2});
        shots.setOrder({0, 1});
        shots.setClusterNumbers({0, 1});
        OrvelleIndex index;
        index.addCollection(shots);
        index.setModelFileName("https://host/model.ply");
        const QString path = dir.filePath("web.orx");
        QVERIFY(index.save(path, true));
        OrvelleIndexRead back;
        QVERIFY(read(back, path).ok);
        QCOMPARE(back.collection(0).imagePaths(), shots.imagePaths());
        QCOMPARE(back.collection(0).thumbnailPaths(), shots.thumbnailPaths());
        QCOMPARE(back.modelFileName(), QString("https://host/model.ply"));
    }

    void backgrounds()
    {
        OrvelleIndexRead childless;
        QVERIFY(read(childless, file(scene("<background rgb=\" 0.5  0.25 1 \"><sphere/></background>"))).ok);
        QCOMPARE(childless.backgroundKind(), 0);
        QCOMPARE(childless.backgroundColor(), (Color4f{0.5f, 0.25f, 1, 1}));
        OrvelleIndexRead ortho;
        QVERIFY(read(ortho, file(scene("<background rgb=\"0 0 0\"><orthoPlane/></background>"))).ok);
        QCOMPARE(ortho.backgroundKind(), 1);

        // Colour and ortho-plane kinds survive a write and a read (the dome is in roundTrip).
        for (int kind : {0, 1}) {
            OrvelleIndex index;
            if (kind == 1)
                index.setOrthoPlaneBackground();
            index.setBackgroundColor({0.5f, 0.25f, 1, 1});
            QVERIFY(index.save(dir.filePath("kind.orx"), false));
            OrvelleIndexRead back;
            QVERIFY(read(back, dir.filePath("kind.orx")).ok);
            QCOMPARE(back.backgroundKind(), kind);
            QCOMPARE(back.backgroundColor(), index.backgroundColor());
            QVERIFY(!back.startCamera().isSet());
        }
    }

    void projectAsIndex()
    {
        const QByteArray project =
            QStringLiteral("<PolyforgeProject><RasterGroup>"
                           "<PFRaster><KSRCamera %1/><Plane fileName=\"./a.jpg\"/></PFRaster>"
                           "<PFRaster><Plane fileName=\"b.jpg\"/></PFRaster></RasterGroup>"
                           "<MeshGroup><PFMesh filename=\"./m.ply\"/></MeshGroup>"
                           "</PolyforgeProject>")
                .arg(QLatin1String(cameraAttributes))
                .toUtf8();
        OrvelleIndexRead reader;
        const ReadResult result = read(reader, file(project, "p.pfp"));
        QVERIFY(result.ok);
        QCOMPARE(result.errors, QStringList());
        QCOMPARE(reader.collectionCount(), 1);
        const ShotCollection &c = reader.collection(0);
        QCOMPARE(c.imagePaths(), (QStringList{dir.filePath("a.jpg"), "unrecognized source"}));
        QCOMPARE(c.depths(), (QVector<float>{1000, 1000}));
        QCOMPARE(c.clusterNumbers(), (QVector<int>{1, 2}));
        QCOMPARE(c.order(), (QVector<int>{0, 1}));
        QCOMPARE(c.shotColor(), (Color4f{0.9f, 0.9f, 0.9f, 1}));
        QCOMPARE(c.cameras().at(0).center, ksr::Point3f(1, 2, 3));
        QCOMPARE(reader.modelFileName(), dir.filePath("m.ply"));
        QCOMPARE(reader.backgroundKind(), 1);
    }

    void declaredEncoding()
    {
        const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><scene name=\"caf\xe9\"/>";
        OrvelleIndexRead reader;
        QVERIFY(read(reader, file(latin1)).ok);
        QCOMPARE(reader.name(), QStringLiteral("café"));
    }

    // Mutated, truncated and binary files: never a crash, never a silent failure, never a
    // NaN or an out-of-range order in what was accepted.
    void mutatedFiles()
    {
        OrvelleIndex index;
        index.setDomeBackground({0.2f}, {{1, 0, 0, 1}});
        index.setStartCamera(sampleCamera(3));
        ShotCollection shots;
        shots.setImagePaths({"/d/a.jpg", "/d/b.jpg", "/d/c.jpg"});
        shots.setCameras({sampleCamera(0), sampleCamera(1), sampleCamera(2)});
        ksr::Matrix44f frame;
        frame.m[0][3] = 5;
        shots.setShotFrame(frame);
        index.addCollection(shots);
        const QString original = dir.filePath("original.orx");
        QVERIFY(index.save(original, false));
        const QByteArray base = readFile(original);
        const QList<QByteArray> replacements = {"nan", "-1e39", "", " ", "99", "-1", "0", "<", "\"", "&#0;"};

        QRandomGenerator random(20261207);
        int accepted = 0;
        for (int round = 0; round < 400; ++round) {
            QByteArray bytes = base;
            const int edits = 1 + random.bounded(4);
            for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
                const int at = random.bounded(int(bytes.size()));
                switch (random.bounded(5)) {
                case 0:
                    bytes.truncate(at);
                    break;
                case 1:
                    bytes[at] = char(random.bounded(256));
                    break;
                case 2:
                    bytes.remove(at, random.bounded(1, 40));
                    break;
                case 3:
                    bytes.insert(at, replacements.at(random.bounded(int(replacements.size()))));
                    break;
                default: // replace a token between spaces or quotes
                    bytes.replace(at, int(std::min<qsizetype>(bytes.indexOf(' ', at), bytes.size()) - at),
                                  replacements.at(random.bounded(int(replacements.size()))));
                }
            }
            if (round % 50 == 0) { // pure noise
                bytes.resize(random.bounded(1, 2000));
                for (char &b : bytes)
                    b = char(random.bounded(256));
            }
            OrvelleIndexRead reader;
            const ReadResult result = read(reader, file(bytes, "mutated.orx"));
            if (!result.ok)
                QVERIFY2(!result.errors.isEmpty(),
                         qPrintable("silent failure in round " + QString::number(round)));
            accepted += result.ok;
            QVERIFY(finite(reader.startCamera()));
            for (const ShotCollection &c : reader.collections()) {
                QVERIFY(isPermutation(c.order()));
                QCOMPARE(c.order().size(), c.imagePaths().size());
                QVERIFY(c.cameras().size() <= c.imagePaths().size());
                for (const Camera &camera : c.cameras())
                    QVERIFY2(finite(camera),
                             qPrintable("non-finite camera in round " + QString::number(round)));
                for (float depth : c.depths())
                    QVERIFY(std::isfinite(depth));
            }
        }
        qInfo("%d of 400 mutated files accepted", accepted);
    }
};

QTEST_GUILESS_MAIN(TestIndexReader)
#include "tst_indexreader.moc"
