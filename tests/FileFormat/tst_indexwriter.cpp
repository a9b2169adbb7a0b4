#include "fileformattestutil.h"
#include "orvelleindex.h"
#include "orvelleindexread.h"

#include <QDir>
#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace
{

ShotCollection threeShots(const QString &folder)
{
    ShotCollection collection;
    collection.setImagePaths({folder + "/img/a.jpg", folder + "/img/b.jpg", folder + "/img/c.jpg"});
    collection.setCameras({sampleCamera(0), sampleCamera(1), sampleCamera(2)});
    return collection;
}

QDomElement savedScene(OrvelleIndex &index, const QString &fileName, bool relative = false)
{
    static QDomDocument doc; // keeps the returned element alive
    if (!index.save(fileName, relative))
        return QDomElement();
    doc.setContent(readFile(fileName));
    return doc.documentElement();
}

QStringList childNames(const QDomElement &element)
{
    QStringList names;
    for (QDomElement c = element.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        names << c.tagName();
    return names;
}

} // namespace

class TestIndexWriter : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // One small complete file, byte for byte.
    void exactText()
    {
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        OrvelleIndex index;
        index.setName("demo");
        index.setUpDirection({0, 0, 1});
        index.setModelFileName(folder + "/mesh.ply");
        index.setCameraSpeed(2.5f);
        index.setBackgroundColor({0.1f, 0.2f, 0.3f, 1});
        index.setDomeBackground({0.5f}, {{1, 0.5f, 0, 1}});
        index.setLighting(true);
        Camera start;
        start.pixelSizeMm[0] = start.pixelSizeMm[1] = 0.01f;
        index.setStartCamera(start);
        ShotCollection collection;
        collection.setName("c1");
        collection.setImagePaths({folder + "/a.jpg", "/elsewhere/b.jpg"});
        collection.setThumbnailPaths({folder + "/t/a.jpg", folder + "2/b.jpg"});
        Camera camera;
        camera.focalMm = 35.123456f;
        camera.viewportPx[0] = 640;
        camera.viewportPx[1] = 480;
        camera.center = {1, 2, 3};
        collection.setCameras({camera, Camera()});
        collection.setOrder({1, 0});
        collection.setClusterNumbers({4, 7});
        collection.setDepths({0.0000012f, 1536});
        collection.setThumbnailBarPosition(1);
        collection.setShotColor({0.5f, 1, 0, 0.25f});
        index.addCollection(collection);
        const QString fileName = dir.filePath("exact.orx");
        QVERIFY(index.save(fileName, true));

        const QString expected =
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<scene name=\"demo\" updirection=\"0 0 1\">\n"
                "  <collection name=\"c1\" thumbnailBar=\"top\" shotColor=\"0.5 1 0 \" frameletsScale=\"1\" "
                "projectionReliability=\"1\">\n"
                "    <shot id=\"0\" sem=\"7\" colormap=\"./UPelsewhere/b.jpg\" "
                "thumbnail=\"./../NAME2/b.jpg\" "
                "projectable=\"true\" depth=\"1536\">\n"
                "      <KSRCamera RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \" TranslationVector=\"-0 "
                "-0 -0 \" "
                "FocalMm=\"0\" CenterPx=\"0 0 \" LensDistortion=\"0 0 \" ViewportPx=\"0 0 \" PixelSizeMm=\"0 "
                "0 \"/>\n"
                "    </shot>\n"
                "    <shot id=\"1\" sem=\"4\" colormap=\"./a.jpg\" thumbnail=\"./t/a.jpg\" "
                "projectable=\"true\" "
                "depth=\"1.2e-06\">\n"
                "      <KSRCamera RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \" TranslationVector=\"-1 "
                "-2 -3 \" "
                "FocalMm=\"35.1235\" CenterPx=\"0 0 \" LensDistortion=\"0 0 \" ViewportPx=\"640 480 \" "
                "PixelSizeMm=\"0 0 \"/>\n"
                "    </shot>\n"
                "  </collection>\n"
                "  <model filename=\"./mesh.ply\"/>\n"
                "  <camera>\n"
                "    <physic speed=\"2.5\"/>\n"
                "    <StartCam RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \" TranslationVector=\"-0 -0 "
                "-0 \" "
                "FocalMm=\"0\" CenterPx=\"0 0 \" LensDistortion=\"0 0 \" ViewportPx=\"0 0 \" "
                "PixelSizeMm=\"0.01 0.01 \"/>\n"
                "  </camera>\n"
                "  <background rgb=\"0.1 0.2 0.3 \">\n"
                "    <sphere>\n"
                "      <vertex height=\"0.5\" rgb=\"1 0.5 0\"/>\n"
                "    </sphere>\n"
                "  </background>\n"
                "  <lighting enabled=\"true\"/>\n"
                "</scene>\n")
                .replace("UP", QString("../").repeated(folder.count('/')))
                .replace("NAME", QDir(folder).dirName());
        QCOMPARE(QString::fromUtf8(readFile(fileName)), expected);
    }

    void sceneWithoutCollections()
    {
        OrvelleIndex index;
        const QDomElement scene = savedScene(index, dir.filePath("empty.orx"));
        QCOMPARE(childNames(scene), (QStringList{"model", "camera", "background", "lighting"}));
        QVERIFY(!scene.hasAttribute("name"));
        QCOMPARE(childNames(scene.firstChildElement("camera")), QStringList{"physic"});
        QCOMPARE(scene.firstChildElement("lighting").attribute("enabled"), QStringLiteral("false"));
        QCOMPARE(childNames(scene.firstChildElement("background")), QStringList());
    }

    void backgroundKinds()
    {
        OrvelleIndex ortho;
        ortho.setOrthoPlaneBackground();
        QCOMPARE(childNames(savedScene(ortho, dir.filePath("o.orx")).firstChildElement("background")),
                 QStringList{"orthoPlane"});
        OrvelleIndex dome;
        dome.setDomeBackground({}, {});
        const QDomElement background =
            savedScene(dome, dir.filePath("d.orx")).firstChildElement("background");
        QCOMPARE(childNames(background), QStringList{"sphere"});
        QVERIFY(!background.firstChildElement().hasChildNodes());
    }

    void defaultsAndOrder()
    {
        OrvelleIndex index;
        ShotCollection collection = threeShots("/data");
        collection.setOrder({2, 0, 1});
        index.addCollection(collection);
        const QDomElement shot = savedScene(index, dir.filePath("defaults.orx"))
                                     .firstChildElement("collection")
                                     .firstChildElement("shot");
        QCOMPARE(shot.attribute("id"), QStringLiteral("0"));
        QCOMPARE(shot.attribute("sem"), QStringLiteral("3"));
        QCOMPARE(shot.attribute("colormap"), QStringLiteral("/data/img/c.jpg"));
        QCOMPARE(shot.attribute("thumbnail"), QStringLiteral("/data/img/c.jpg"));
        QCOMPARE(shot.attribute("projectable"), QStringLiteral("true"));
        QCOMPARE(shot.attribute("depth"), QStringLiteral("1"));
        // The caller's collection holds the defaults afterwards.
        QCOMPARE(index.collection(0).clusterNumbers(), (QVector<int>{1, 2, 3}));
        QCOMPARE(index.collection(0).depths(), (QVector<float>{1, 1, 1}));
    }

    // Collections whose lists disagree are left out; the rest of the file is still written.
    void inconsistentCollectionsLeftOut_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("short depths") << "depths";
        QTest::newRow("short cameras") << "cameras";
        QTest::newRow("order not a permutation") << "order";
        QTest::newRow("no images") << "images";
    }
    void inconsistentCollectionsLeftOut()
    {
        QFETCH(QString, fault);
        ShotCollection bad = threeShots("/data");
        if (fault == "depths")
            bad.setDepths({1, 2});
        else if (fault == "cameras")
            bad.setCameras({Camera()});
        else if (fault == "order")
            bad.setOrder({0, 5, 1});
        else
            bad.setImagePaths({});
        OrvelleIndex index;
        index.addCollection(bad);
        index.addCollection(threeShots("/good"));
        const QDomElement scene = savedScene(index, dir.filePath("bad.orx"));
        QCOMPARE(childNames(scene), (QStringList{"collection", "model", "camera", "background", "lighting"}));
        QCOMPARE(scene.firstChildElement("collection").firstChildElement("shot").attribute("colormap"),
                 QStringLiteral("/good/img/a.jpg"));
        QCOMPARE(index.skippedCollections(), QVector<int>{0});
    }

    void collectionAttributes()
    {
        OrvelleIndex index;
        ShotCollection collection = threeShots("/data");
        collection.setThumbnailBarPosition(5);
        index.addCollection(collection);
        ksr::Matrix44f frame;
        frame.m[2][3] = 0.5f;
        collection.setShotFrame(frame);
        index.addCollection(collection);
        const QDomElement first =
            savedScene(index, dir.filePath("attrs.orx")).firstChildElement("collection");
        QCOMPARE(first.attribute("thumbnailBar"), QStringLiteral("top"));
        QVERIFY(!first.hasAttribute("shotFrame"));
        QVERIFY(!first.hasAttribute("name"));
        QCOMPARE(first.nextSiblingElement().attribute("shotFrame"),
                 QStringLiteral("1 0 0 0 0 1 0 0 0 0 1 0.5 0 0 0 1 "));
    }

    // Local paths become relative to the index's folder, climbing out with "../" where they must, and
    // the reader resolves them back to the same files (N: the folder's name, U: "../" per level).
    void relativePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("written");
        QTest::newRow("inside") << "D/img/a.jpg"
                                << "./img/a.jpg";
        QTest::newRow("sibling sharing the prefix") << "D2/x.jpg"
                                                    << "./../N2/x.jpg";
        QTest::newRow("folder itself") << "D"
                                       << "D";
        QTest::newRow("elsewhere") << "/other/a.jpg"
                                   << "./Uother/a.jpg";
        QTest::newRow("relative already") << "img/a.jpg"
                                          << "img/a.jpg";
        QTest::newRow("web address") << "https://example.org/a.jpg"
                                     << "https://example.org/a.jpg";
    }
    void relativePaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, written);
        // Saved through a symbolic link: the canonical folder is what paths are compared with.
        const QString real = QFileInfo(dir.path()).canonicalFilePath();
        const QString link = dir.filePath("link");
        QFile::link(real, link);
        QString up;
        for (int level = real.count('/'); level > 0; --level)
            up += "../";
        path.replace(QRegularExpression("^D"), real);
        written.replace(QRegularExpression("^D"), real)
            .replace(QRegularExpression("^\\./U"), "./" + up)
            .replace("/N", "/" + QDir(real).dirName());
        OrvelleIndex index;
        index.setModelFileName(path);
        ShotCollection collection = threeShots("/x");
        collection.setImagePaths({path, "/x/b.jpg", "/x/c.jpg"});
        index.addCollection(collection);
        const QDomElement scene = savedScene(index, link + "/rel.orx", true);
        const QDomElement shot = scene.firstChildElement("collection").firstChildElement("shot");
        QCOMPARE(shot.attribute("colormap"), written);
        QCOMPARE(shot.attribute("thumbnail"), written);
        QCOMPARE(scene.firstChildElement("model").attribute("filename"), written);
        if (QDir::isAbsolutePath(path)) {
            OrvelleIndexRead reader;
            QVERIFY(reader.readFile(link + "/rel.orx"));
            QCOMPARE(reader.collections().value(0).imagePaths().value(0).replace(link, real), path);
        }
        // Without the option nothing changes.
        QCOMPARE(savedScene(index, link + "/abs.orx", false).firstChildElement("model").attribute("filename"),
                 path);
    }

    void missingFolderFails()
    {
        OrvelleIndex index;
        QVERIFY(!index.save(dir.filePath("no/such/folder/x.orx"), false));
        QVERIFY(!index.errorString().isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("no")));
    }

    // A write that fails after the open (here: the file size limit, as with a full disk)
    // returns false and leaves the existing index as it was.
    void failedWriteKeepsExistingFile()
    {
        const QString fileName = dir.filePath("precious.orx");
        QVERIFY(writeFile(fileName, "precious content"));
        OrvelleIndex index;
        ShotCollection collection;
        QStringList images;
        for (int i = 0; i < 200; ++i)
            images << QStringLiteral("/data/images/photo%1.jpg").arg(i);
        collection.setImagePaths(images);
        collection.setCameras(QVector<Camera>(200, sampleCamera(1)));
        index.addCollection(collection);

        rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 8192;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved8k = index.save(fileName, false);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!saved8k);
        QVERIFY(!index.errorString().isEmpty());
        QCOMPARE(readFile(fileName), QByteArray("precious content"));
        QCOMPARE(QDir(dir.path()).entryList({"precious*"}, QDir::Files), QStringList{"precious.orx"});
        // Text XML cannot hold fails the save the same way.
        OrvelleIndex control;
        control.setName(QStringLiteral("a") + QChar(1));
        QVERIFY(!control.save(fileName, false));
        QVERIFY(control.errorString().contains("characters"));
        QCOMPARE(readFile(fileName), QByteArray("precious content"));
        // With room to write, the same save replaces the file.
        QVERIFY(index.save(fileName, false));
        QVERIFY(readFile(fileName).size() > 8192);
    }
};

QTEST_GUILESS_MAIN(TestIndexWriter)
#include "tst_indexwriter.moc"
