// Reading datasets for every front end: suffix rule, resolved photograph paths, model names,
// reader messages, derived names, and the values as the window's table keeps them.

#include "cameraelement.h"
#include "datasetimport.h"
#include "orvelleindex.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

QByteArray project(const QStringList &images, int cameras, const QStringList &meshes)
{
    QByteArray xml = "<!DOCTYPE PolyforgeDocument>\n<PolyforgeProject>\n <MeshGroup>\n";
    for (const QString &mesh : meshes)
        xml += "  <PFMesh label=\"m\" filename=\"" + mesh.toUtf8() + "\"/>\n";
    xml += " </MeshGroup>\n <RasterGroup>\n";
    for (int i = 0; i < images.size(); ++i) {
        xml += "  <PFRaster>\n";
        if (i < cameras)
            xml += "   " + CameraElement::cameraText(cameraAt(float(i), 1, 2), "KSRCamera").toUtf8() + "\n";
        xml += "   <Plane semantic=\"1\" fileName=\"" + images.at(i).toUtf8() + "\"/>\n  </PFRaster>\n";
    }
    return xml + " </RasterGroup>\n</PolyforgeProject>\n";
}

} // namespace

class TestDatasetImport : public QObject
{
    Q_OBJECT

private slots:
    void derivedNames_data()
    {
        QTest::addColumn<QString>("dataset");
        QTest::addColumn<QString>("output");
        QTest::newRow("project") << "/data/site.pfp"
                                 << "/data/site_generated.orx";
        QTest::newRow("base name up to the first dot") << "/data/site.old.pfp"
                                                       << "/data/site_generated.orx";
        QTest::newRow("index") << "/data/a/scan.orx"
                               << "/data/a/scan_generated.orx";
    }
    void derivedNames()
    {
        QFETCH(QString, dataset);
        QFETCH(QString, output);
        QCOMPARE(DatasetImport::derivedOutputName(dataset), output);
    }

    // A reconstruction's index moves up to the folder holding the photographs' folder, so that
    // its relative paths stay below it; never further than two levels, never for scattered photos.
    void outputBesidePhotographs_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("photos");
        QTest::addColumn<QString>("expected");
        QTest::newRow("model beside images")
            << "/p/sfm/s_generated.orx" << QStringList{"/p/images/a.jpg", "/p/images/b.jpg"}
            << "/p/s_generated.orx";
        QTest::newRow("two levels down")
            << "/p/sparse/0/s_generated.orx" << QStringList{"/p/images/a.jpg"} << "/p/s_generated.orx";
        QTest::newRow("three levels down")
            << "/p/a/b/c/s_generated.orx" << QStringList{"/p/images/a.jpg"} << "/p/a/b/c/s_generated.orx";
        QTest::newRow("photos below already")
            << "/p/s_generated.orx" << QStringList{"/p/images/a.jpg"} << "/p/s_generated.orx";
        QTest::newRow("photos elsewhere")
            << "/p/sfm/s_generated.orx" << QStringList{"/q/images/a.jpg"} << "/p/sfm/s_generated.orx";
        QTest::newRow("scattered photos")
            << "/p/sfm/s_generated.orx" << QStringList{"/p/images/a.jpg", "/p/other/b.jpg"}
            << "/p/sfm/s_generated.orx";
        QTest::newRow("missing ones ignored")
            << "/p/sfm/s_generated.orx" << QStringList{"", "/p/images/a.jpg"} << "/p/s_generated.orx";
    }
    void outputBesidePhotographs()
    {
        QFETCH(QString, output);
        QFETCH(QStringList, photos);
        QFETCH(QString, expected);
        QCOMPARE(DatasetImport::outputBesidePhotographs(output, photos), expected);
    }

    // Scene and multiresolution names keep everything before the last dot of the model.
    void modelDerivedNames()
    {
        QTemporaryDir dir;
        const QString model = dir.path() + "/mesh.old.ply";
        QVERIFY(writeFile(model, "ply"));
        const QString canonical = QFileInfo(dir.path()).canonicalFilePath();
        QCOMPARE(DatasetImport::derivedSceneName(model), QString("mesh.old"));
        QCOMPARE(DatasetImport::derivedTesselName(model), canonical + "/mesh.old.tsl");
        QCOMPARE(DatasetImport::resolvedModelPath(dir.path(), "mesh.old.ply"), canonical + "/mesh.old.ply");
        QCOMPARE(DatasetImport::resolvedModelPath(dir.path(), "absent.ply"), QString());
        QCOMPARE(DatasetImport::resolvedModelPath(dir.path(), QString()), QString());
    }

    // Relative names resolve to canonical paths (empty when missing); absolute names stay.
    void projectPhotographsAndModels()
    {
        QTemporaryDir dir;
        const QString canonical = QFileInfo(dir.path()).canonicalFilePath();
        QVERIFY(writeFile(dir.path() + "/img/a.jpg", "x"));
        const QStringList images{"img/a.jpg", "img/../img/a.jpg", "img/missing.jpg", "/elsewhere/b.jpg"};
        QVERIFY(writeFile(dir.path() + "/p.pfp", project(images, 3, {"", "fine.ply", "coarse.ply"})));

        const ImportedDataset data = DatasetImport::read(dir.path() + "/p.pfp");
        QVERIFY(data.recognised);
        QVERIFY(data.readOk);
        QVERIFY(data.problems.isEmpty());
        QCOMPARE(data.imageNames, images);
        QCOMPARE(data.imagePaths, QStringList({canonical + "/img/a.jpg", canonical + "/img/a.jpg", QString(),
                                               "/elsewhere/b.jpg"}));
        QVERIFY(data.cameras.size() >= 3);
        QCOMPARE(data.cameras.at(2).center.x, 2.0f);
        // The empty mesh name would resolve to the folder itself: dropped.
        QCOMPARE(data.modelNames, QStringList({"fine.ply", "coarse.ply"}));
        QVERIFY(data.depths.isEmpty());
    }

    // The suffix names a reader in any case.
    void suffixRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("recognised");
        QTest::newRow("pfp") << "d.pfp" << true;
        QTest::newRow("orx") << "d.orx" << true;
        QTest::newRow("upper-case ORX") << "d.ORX" << true;
        QTest::newRow("upper-case PFP") << "d.PFP" << true;
        QTest::newRow("xml") << "d.xml" << false;
    }
    void suffixRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, recognised);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.path() + "/img/a.jpg", "x"));
        QVERIFY(writeFile(dir.path() + "/" + name, project({"img/a.jpg"}, 1, {"m.ply"})));
        const ImportedDataset data = DatasetImport::read(dir.path() + "/" + name);
        QCOMPARE(data.recognised, recognised);
        QCOMPARE(data.imagePaths.size(), recognised ? 1 : 0);
        QCOMPARE(data.folder, QFileInfo(dir.path()).absoluteFilePath());
    }

    void readerMessages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "<none>": no file at all
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("missing project") << "gone.pfp" << QByteArray("<none>") << "Wrong file format"
                                         << "could not be read";
        QTest::newRow("broken project")
            << "bad.pfp" << QByteArray("<PolyforgeProject><Mesh") << "Wrong file format"
            << "could not be read";
        QTest::newRow("corrupt index") << "bad.orx" << QByteArray("<scene><collection") << "Wrong file format"
                                       << "Failed to parse index file!";
        QTest::newRow("wrong root") << "root.orx" << QByteArray("<index/>") << "Wrong index file format"
                                    << "";
    }
    void readerMessages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, firstLine);
        QTemporaryDir dir;
        if (content != "<none>")
            QVERIFY(writeFile(dir.path() + "/" + name, content));
        const ImportedDataset data = DatasetImport::read(dir.path() + "/" + name);
        QVERIFY(data.recognised);
        QVERIFY(!data.readOk);
        QCOMPARE(data.problemTitle, title);
        QVERIFY(!data.problems.isEmpty());
        QVERIFY2(data.problems.first().contains(firstLine), qPrintable(data.problemText()));
        QVERIFY(data.imagePaths.isEmpty());
    }

    // From an index: shots in display order, each with its own camera and depth.
    void indexShotsInDisplayOrder()
    {
        QTemporaryDir dir;
        const QString canonical = QFileInfo(dir.path()).canonicalFilePath();
        for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
            QVERIFY(writeFile(dir.path() + "/img/" + name, "x"));
        ShotCollection collection;
        collection.setImagePaths(
            {canonical + "/img/a.jpg", canonical + "/img/b.jpg", canonical + "/img/c.jpg"});
        collection.setCameras({cameraAt(0, 1, 2), cameraAt(1, 1, 2), cameraAt(2, 1, 2)});
        collection.setDepths({1.5f, 2.5f, 3.5f});
        QVERIFY(collection.setOrderFromPositions({2, 0, 1})); // b first, then c, then a
        OrvelleIndex index;
        index.setModelFileName(canonical + "/m.ply");
        index.addCollection(collection);
        QVERIFY(index.save(dir.path() + "/in.orx", true));

        const ImportedDataset data = DatasetImport::read(dir.path() + "/in.orx");
        QVERIFY2(data.readOk, qPrintable(data.problemText()));
        QCOMPARE(data.imagePaths,
                 QStringList({canonical + "/img/b.jpg", canonical + "/img/c.jpg", canonical + "/img/a.jpg"}));
        QCOMPARE(data.depths, QVector<float>({2.5f, 3.5f, 1.5f}));
        QCOMPARE(data.cameras.size(), 3);
        QCOMPARE(data.cameras.at(0).center.x, 1.0f);
        QCOMPARE(data.cameras.at(2).center.x, 0.0f);
        QCOMPARE(data.modelNames.size(), 1);
        QCOMPARE(DatasetImport::resolvedModelPath(data.folder, data.modelNames.first()), QString());
    }

    // Photographs and a model on a web server are kept as addresses, not taken for missing files.
    void webAddressesStay()
    {
        QTemporaryDir dir;
        ShotCollection collection;
        collection.setImagePaths({"https://host/img/a.jpg", "http://host/img/b.jpg"});
        collection.setCameras({cameraAt(0, 1, 2), cameraAt(1, 1, 2)});
        OrvelleIndex index;
        index.setModelFileName("https://host/m.ply");
        index.addCollection(collection);
        QVERIFY(index.save(dir.path() + "/web.orx", true));

        const ImportedDataset data = DatasetImport::read(dir.path() + "/web.orx");
        QVERIFY2(data.readOk, qPrintable(data.problemText()));
        QCOMPARE(data.imagePaths, collection.imagePaths());
        QCOMPARE(data.modelNames, QStringList{"https://host/m.ply"});
        QCOMPARE(DatasetImport::resolvedModelPath(data.folder, "https://host/m.ply"),
                 QString("https://host/m.ply"));
    }
};

QTEST_GUILESS_MAIN(TestDatasetImport)
#include "tst_datasetimport.moc"
