// The rules applied before a generation writes anything: no file the run reads or writes is
// written over (and nothing is written before that is known), photographs stay inside the images
// folder, and every camera is checked. Exercised through the session as `generate` drives it, on
// small reconstructions and projects made here.
#include "reconstructionimport.h"
#include "session.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace
{

bool writePhoto(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image.save(path, "JPEG");
}

// <root>/project/sparse (a COLMAP text model naming the given photographs), the same cameras in
// <root>/project/bundle.out with its list.txt, and <root>/project/images/a.jpg, b.jpg.
QString writeColmapProject(const QString &root, const QStringList &names,
                           const QByteArray &camera = "1 PINHOLE 64 48 50 50 32 24")
{
    const QString project = root + "/project";
    QByteArray images, bundle = "# Bundle file v0.3\n" + QByteArray::number(names.size()) + " 2\n", list;
    for (int i = 0; i < names.size(); ++i) {
        images += QByteArray::number(i + 1) + " 1 0 0 0 0 " + QByteArray::number(i) + " 5 1 " +
                  names.at(i).toUtf8() + "\n\n";
        bundle += "50 0 0\n1 0 0\n0 -1 0\n0 0 -1\n0 " + QByteArray::number(i) + " 5\n";
        list += "images/" + names.at(i).toUtf8() + "\n";
    }
    bundle += "0 0 0\n128 128 128\n0\n1 0 0\n128 128 128\n0\n";
    if (!writeFile(project + "/sparse/cameras.txt", camera + "\n") ||
        !writeFile(project + "/sparse/images.txt", images) ||
        !writeFile(project + "/sparse/points3D.txt", "1 0 0 0 128 128 128 0.5\n2 1 0 0 128 128 128 0.5\n") ||
        !writeFile(project + "/bundle.out", bundle) || !writeFile(project + "/list.txt", list) ||
        !writePhoto(project + "/images/a.jpg") || !writePhoto(project + "/images/b.jpg"))
        return QString();
    return project;
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// What `generate` does before its first step: import with the point cloud held back, take the
// names given, then the session's checks (which write the point cloud once they pass).
bool prepare(Session &session, const QString &dataset, const QString &output, bool tessel, QString &error)
{
    const QString index = QFileInfo(output).absoluteFilePath();
    session.request().import.pointCloudFile = ReconstructionImport::pointCloudName(index);
    session.request().import.pointCloudLater = true;
    session.request().settings.startShot = 0;
    const ImportOutcome imported = session.importDataset(dataset);
    if (!imported.accepted) {
        error = imported.refusal.text;
        return false;
    }
    session.request().outputFile = index;
    session.request().multiresolution = tessel;
    if (tessel)
        session.request().tesselFile = index;
    if (const auto refusal = session.prepareRun()) {
        error = refusal->text;
        return false;
    }
    return true;
}

} // namespace

class TestImportRules : public QObject
{
    Q_OBJECT

private slots:
    void runFilesNeverMeet_data();
    void runFilesNeverMeet();
    void photographsStayInsideTheImagesFolder_data();
    void photographsStayInsideTheImagesFolder();
    void camerasAreChecked_data();
    void camerasAreChecked();
};

void TestImportRules::runFilesNeverMeet_data()
{
    QTest::addColumn<QString>("dataset"); // relative to the project
    QTest::addColumn<QString>("output");  // relative to the project
    QTest::addColumn<bool>("tessel");
    QTest::addColumn<QString>("mentioned"); // empty: accepted run
    QTest::newRow("over the COLMAP images") << "sparse"
                                            << "sparse/images.txt" << false << "a file of the reconstruction";
    QTest::newRow("over a COLMAP file not there")
        << "sparse"
        << "sparse/points3D.bin" << false << "a file of the reconstruction";
    QTest::newRow("over the Bundler list")
        << "bundle.out"
        << "list.txt" << false << "the reconstruction's list of photographs";
    QTest::newRow("over the Bundler file") << "bundle.out"
                                           << "bundle.out" << false << "the dataset";
    QTest::newRow("over a photograph") << "sparse"
                                       << "images/a.jpg" << false << "a photograph";
    QTest::newRow("over a thumbnail to be made") << "sparse"
                                                 << "images/thumbnails/b.jpg" << false << "a thumbnail";
    QTest::newRow("index and multiresolution model") << "sparse"
                                                     << "out.orx" << true << "written twice";
    QTest::newRow("a folder") << "sparse"
                              << "images" << false << "it is a folder";
    QTest::newRow("a FIFO") << "sparse"
                            << "fifo.orx" << false << "is a FIFO";
    QTest::newRow("accepted") << "sparse"
                              << "out.orx" << false << "";
    QTest::newRow("Bundler accepted") << "bundle.out"
                                      << "out.orx" << false << "";
}

void TestImportRules::runFilesNeverMeet()
{
    QFETCH(QString, dataset);
    QFETCH(QString, output);
    QFETCH(bool, tessel);
    QFETCH(QString, mentioned);
    QTemporaryDir temp;
    const QString project = writeColmapProject(temp.path(), {"a.jpg", "b.jpg"});
    QVERIFY(!project.isEmpty());
    QVERIFY(::mkfifo(QFile::encodeName(project + "/fifo.orx").constData(), 0600) == 0);
    const QStringList before = filesUnder(temp.path());

    Session session;
    QString error;
    const bool prepared = prepare(session, project + "/" + dataset, project + "/" + output, tessel, error);
    if (mentioned.isEmpty()) {
        QVERIFY2(prepared, qPrintable(error));
        // The point cloud that stands in for the model is written once the checks passed.
        QVERIFY(QFileInfo(project + "/out_points.ply").isFile());
        return;
    }
    QVERIFY(!prepared);
    QVERIFY2(error.contains(mentioned), qPrintable(error));
    // Refused before anything was written: no stray point cloud, no folder.
    QCOMPARE(filesUnder(temp.path()), before);
}

void TestImportRules::photographsStayInsideTheImagesFolder_data()
{
    QTest::addColumn<QString>("name"); // as the model names the photograph; "@" is the test folder
    QTest::addColumn<bool>("accepted");
    QTest::newRow("inside") << "a.jpg" << true;
    QTest::newRow("another machine's folders") << "C:\\photos\\a.jpg" << true;
    QTest::newRow("climbing out") << "../../elsewhere/c.jpg" << false;
    QTest::newRow("absolute") << "@/elsewhere/c.jpg" << false;
    QTest::newRow("link leading out") << "link.jpg" << false;
}

void TestImportRules::photographsStayInsideTheImagesFolder()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QTemporaryDir temp;
    const QString root = QFileInfo(temp.path()).canonicalFilePath();
    name.replace("@", root);
    const QString project = writeColmapProject(root, {name, "b.jpg"});
    QVERIFY(!project.isEmpty());
    QVERIFY(writePhoto(root + "/elsewhere/c.jpg"));
    QVERIFY(QFile::link(root + "/elsewhere/c.jpg", project + "/images/link.jpg"));
    const QStringList before = filesUnder(root);

    Session session;
    QString error;
    QCOMPARE(prepare(session, project + "/sparse", project + "/out.orx", false, error), accepted);
    if (accepted) {
        QCOMPARE(session.dataset().shots.first().imagePath, project + "/images/a.jpg");
        return;
    }
    QVERIFY2(error.contains(QDir::toNativeSeparators(name)) && error.contains("outside the images folder"),
             qPrintable(error));
    QCOMPARE(filesUnder(root), before);
}

void TestImportRules::camerasAreChecked_data()
{
    QTest::addColumn<QByteArray>("attributes"); // replaced in a sound project camera; empty: COLMAP
    QTest::addColumn<QByteArray>("colmapCamera");
    QTest::addColumn<QString>("mentioned");
    const QByteArray sound = "1 PINHOLE 64 48 50 50 32 24";
    QTest::newRow("sound") << QByteArray() << sound << "";
    QTest::newRow("reconstruction focal of 1e-40")
        << QByteArray() << QByteArray("1 PINHOLE 64 48 1e-40 1e-40 32 24") << "focal length";
    // Numbers the reader would read as 0 (or as identity entries) are refused by the reader.
    QTest::newRow("focal nan") << QByteArray("FocalMm=\"nan\"") << QByteArray() << "FocalMm";
    QTest::newRow("focal inf") << QByteArray("FocalMm=\"inf\"") << QByteArray() << "FocalMm";
    QTest::newRow("translation nan") << QByteArray("TranslationVector=\"0 nan -10\"") << QByteArray()
                                     << "TranslationVector";
    QTest::newRow("rotation of 3 numbers")
        << QByteArray("RotationMatrix=\"1 0 0\"") << QByteArray() << "RotationMatrix";
    QTest::newRow("focal of 1e-40") << QByteArray("FocalMm=\"1e-40\"") << QByteArray() << "focal length";
    QTest::newRow("rotation scaled") << QByteArray("RotationMatrix=\"2 0 0 0 0 2 0 0 0 0 2 0 0 0 0 1\"")
                                     << QByteArray() << "not a rotation";
    QTest::newRow("mirror") << QByteArray("RotationMatrix=\"-1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\"")
                            << QByteArray() << "not a rotation";
    QTest::newRow("negative viewport") << QByteArray("ViewportPx=\"-64 48\"") << QByteArray() << "viewport";
    QTest::newRow("zero pixel size") << QByteArray("PixelSizeMm=\"0 0.01\"") << QByteArray() << "pixel size";
}

void TestImportRules::camerasAreChecked()
{
    QFETCH(QByteArray, attributes);
    QFETCH(QByteArray, colmapCamera);
    QFETCH(QString, mentioned);
    QTemporaryDir temp;
    QString dataset;
    if (!colmapCamera.isEmpty()) {
        const QString project = writeColmapProject(temp.path(), {"a.jpg"}, colmapCamera);
        QVERIFY(!project.isEmpty());
        dataset = project + "/sparse";
    } else {
        QByteArray camera =
            "RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\" TranslationVector=\"0 0 -10\" "
            "FocalMm=\"20\" CenterPx=\"32 24\" LensDistortion=\"0 0\" ViewportPx=\"64 48\" "
            "PixelSizeMm=\"0.01 0.01\"";
        const QByteArray name = attributes.left(attributes.indexOf('=') + 1);
        const qsizetype start = camera.indexOf(" " + name) + 1;
        camera.replace(start, camera.indexOf('"', camera.indexOf('"', start) + 1) + 1 - start, attributes);
        QVERIFY(writeFile(temp.filePath("m.ply"), "ply\nformat ascii 1.0\nelement vertex 0\nend_header\n"));
        QVERIFY(writePhoto(temp.filePath("a.jpg")));
        QVERIFY(writeFile(temp.filePath("p.pfp"),
                          "<PolyforgeProject><MeshGroup><PFMesh filename=\"m.ply\"/></MeshGroup>"
                          "<RasterGroup><PFRaster><KSRCamera " +
                              camera +
                              "/><Plane semantic=\"1\" fileName=\"a.jpg\"/></PFRaster>"
                              "</RasterGroup></PolyforgeProject>\n"));
        dataset = temp.filePath("p.pfp");
    }
    Session session;
    QString error;
    const bool prepared = prepare(session, dataset, temp.filePath("out.orx"), false, error);
    if (mentioned.isEmpty()) {
        QVERIFY2(prepared, qPrintable(error));
        return;
    }
    QVERIFY(!prepared);
    QVERIFY2(error.contains("\"a.jpg\"") && error.contains(mentioned), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestImportRules)
#include "tst_importrules.moc"
