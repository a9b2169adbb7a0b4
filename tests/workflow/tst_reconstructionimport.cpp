// Reconstructions imported as datasets: the committed fixtures (one aligned COLMAP reconstruction
// of the sample scene in four encodings) against the sample's true cameras and depths, the
// photographs folder rules, the model (mesh or written point cloud).
#include "datasetimport.h"
#include "polyforgeproject.h"
#include "reconstructionimport.h"
#include "sampledataset.h"
#include "samplescene.h"
#include "softwarerenderer.h"

#include <ksr/meshio.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <cmath>
#include <memory>

namespace
{

QString fixture(const QString &name)
{
    return QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sfm/") + name;
}

double angleDegrees(const ksr::Point3f &a, const ksr::Point3f &b)
{
    const double c = double(a.normalized().dot(b.normalized()));
    return std::acos(std::max(-1.0, std::min(1.0, c))) * 180.0 / M_PI;
}

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    return true;
}

constexpr int registered = 25; // of the sample's 36 photographs
constexpr double sceneSize = 120.0;

} // namespace

class TestReconstructionImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void camerasMatchTheTruth_data();
    void camerasMatchTheTruth();
    void colmapProjectLayout();
    void meshAndMissingFolder();
    void recognisedByContent_data();
    void recognisedByContent();

private:
    QTemporaryDir dir;
    QString sample;
    QHash<QString, Camera> trueCameras; // by photograph name
    QHash<QString, float> trueDepths;
    std::unique_ptr<SampleGen::SoftwareRenderer> lowRes;
};

void TestReconstructionImport::initTestCase()
{
    QVERIFY(dir.isValid());
    // The photographs the fixtures were reconstructed from (see tests/data/sfm/SOURCE.md).
    sample = dir.filePath(QStringLiteral("sample"));
    SampleGen::SampleOptions options;
    options.views = 36;
    options.size = QSize(1024, 768);
    QString error;
    QVERIFY2(SampleGen::writeSampleDataset(sample, options, &error), qPrintable(error));

    QVector<Camera> cameras;
    QStringList names, meshes;
    QVERIFY(PolyforgeProject::readProject(sample + "/sample.pfp", cameras, names, meshes));
    for (int i = 0; i < names.size(); ++i)
        trueCameras.insert(QFileInfo(names.at(i)).fileName(), cameras.at(i));
    QFile truth(sample + "/truth.json");
    QVERIFY(truth.open(QIODevice::ReadOnly));
    for (const QJsonValue &photo :
         QJsonDocument::fromJson(truth.readAll()).object().value("photographs").toArray())
        trueDepths.insert(QFileInfo(photo["image"].toString()).fileName(), float(photo["depth"].toDouble()));
    QCOMPARE(trueDepths.size(), 36);

    ksr::CMesh mesh;
    int mask = 0;
    QCOMPARE(ksr::io::importMesh(mesh, sample + "/model/scene_lowres.ply", mask), 0);
    lowRes = std::make_unique<SampleGen::SoftwareRenderer>(mesh);
}

void TestReconstructionImport::camerasMatchTheTruth_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("COLMAP text (folder)") << fixture("txt");
    QTest::newRow("COLMAP binary (one of its files)") << fixture("bin/images.bin");
    QTest::newRow("NVM") << fixture("nvm/model.nvm");
    QTest::newRow("Bundler") << fixture("bundler/model.bundle.out");
}

void TestReconstructionImport::camerasMatchTheTruth()
{
    QFETCH(QString, path);
    ImportOptions options;
    options.imagesFolder = sample + "/photos";
    options.pointCloudFile = dir.filePath(QString::number(qHash(path)) + "_points.ply");
    const ImportedDataset data = DatasetImport::read(path, options);

    QVERIFY(data.recognised);
    QVERIFY2(data.readOk, qPrintable(data.problemText()));
    QCOMPARE(data.imagePaths.size(), registered);
    QCOMPARE(data.cameras.size(), registered);
    QVERIFY2(data.notes.join('\n').contains("11 photographs"), qPrintable(data.notes.join('\n')));
    QVERIFY(std::is_sorted(data.imageNames.begin(), data.imageNames.end()));

    double worstAngle = 0, worstCentre = 0, worstDepth = 0;
    for (int i = 0; i < registered; ++i) {
        QVERIFY2(!data.imagePaths.at(i).isEmpty(), qPrintable(data.imageNames.at(i)));
        QVERIFY(trueCameras.contains(data.imageNames.at(i)));
        const Camera &camera = data.cameras.at(i);
        const Camera &truth = trueCameras.value(data.imageNames.at(i));
        QCOMPARE(camera.viewportPx[0], truth.viewportPx[0]);
        QCOMPARE(camera.viewportPx[1], truth.viewportPx[1]);
        worstAngle = std::max(worstAngle, angleDegrees(camera.rotation.row(2), truth.rotation.row(2)));
        worstCentre = std::max(worstCentre, double((camera.center - truth.center).length()));
        const float depth = lowRes->meanViewDepth(camera);
        const float trueDepth = trueDepths.value(data.imageNames.at(i));
        worstDepth = std::max(worstDepth, std::fabs(double(depth - trueDepth)) / trueDepth);
    }
    qInfo("worst viewing direction %.3f deg, centre %.3f m, depth %.2f %%", worstAngle, worstCentre,
          100 * worstDepth);
    QVERIFY(worstAngle < 0.5);
    QVERIFY(worstCentre < 0.01 * sceneSize);
    QVERIFY(worstDepth < 0.02);

    // Without a mesh the 3D points are the model.
    QCOMPARE(data.modelNames, QStringList{options.pointCloudFile});
    ksr::CMesh cloud;
    int mask = 0;
    QCOMPARE(ksr::io::importMesh(cloud, options.pointCloudFile, mask), 0);
    QCOMPARE(int(cloud.vert.size()), 396);
    QVERIFY(cloud.face.empty());
}

void TestReconstructionImport::colmapProjectLayout()
{
    // <project>/sparse/0 finds its photographs in <project>/images, uppercase suffixes elsewhere too.
    const QString project = dir.filePath("project");
    QVERIFY(copyFolder(fixture("bin"), project + "/sparse/0"));
    QVERIFY(copyFolder(sample + "/photos", project + "/images"));
    QCOMPARE(ReconstructionImport::defaultImagesFolder(project + "/sparse/0"), project + "/images");
    QCOMPARE(DatasetImport::derivedOutputName(project + "/sparse/0/"), project + "/project_generated.orx");
    QCOMPARE(DatasetImport::derivedOutputName(fixture("txt/points3D.txt")), fixture("txt/txt_generated.orx"));
    const ImportedDataset data = DatasetImport::read(project + "/sparse/0/cameras.bin");
    QVERIFY2(data.readOk, qPrintable(data.problemText()));
    QCOMPARE(data.imagePaths.filter(QStringLiteral("/images/img_")).size(), registered);
    // No point cloud is written unless a place is given (inspecting writes nothing).
    QVERIFY(data.modelNames.isEmpty());

    QVERIFY(QFile::copy(fixture("nvm/model.nvm"), project + "/images/MODEL.NVM"));
    const ImportedDataset nvm = DatasetImport::read(project + "/images/MODEL.NVM");
    QVERIFY2(nvm.readOk, qPrintable(nvm.problemText()));
    QCOMPARE(nvm.imagePaths.filter(QStringLiteral("/images/img_")).size(), registered);
}

void TestReconstructionImport::meshAndMissingFolder()
{
    ImportOptions options;
    options.imagesFolder = sample + "/photos";
    options.meshFile = sample + "/model/scene.ply";
    options.pointCloudFile = dir.filePath("unused_points.ply");
    const ImportedDataset withMesh = DatasetImport::read(fixture("txt"), options);
    QVERIFY2(withMesh.readOk, qPrintable(withMesh.problemText()));
    QCOMPARE(withMesh.modelNames, QStringList{QFileInfo(options.meshFile).canonicalFilePath()});
    QVERIFY(!QFileInfo::exists(options.pointCloudFile));

    // Photographs not where the model says: NVM and Bundler cameras need them for their size.
    const ImportedDataset noPhotos = DatasetImport::read(fixture("bundler/model.bundle.out"));
    QCOMPARE(noPhotos.cameras.size(), registered);
    QCOMPARE(noPhotos.imagePaths.count(QString()), registered);
    QVERIFY(noPhotos.notes.join('\n').contains("25 of the 25 photographs were not found"));

    // Names with another machine's folders are found by their file name.
    QFile nvm(fixture("nvm/model.nvm"));
    QVERIFY(nvm.open(QIODevice::ReadOnly));
    QFile windows(dir.filePath("windows.nvm"));
    QVERIFY(windows.open(QIODevice::WriteOnly));
    windows.write(nvm.readAll().replace("img_", "D:\\shoot\\img_"));
    windows.close();
    const ImportedDataset windowsNames = DatasetImport::read(windows.fileName(), options);
    QCOMPARE(windowsNames.imagePaths.count(QString()), 0);
    QVERIFY(windowsNames.imageNames.first().startsWith("D:\\shoot\\img_"));

    options.meshFile = dir.filePath("no mesh.ply");
    const ImportedDataset badMesh = DatasetImport::read(fixture("nvm/model.nvm"), options);
    QVERIFY(!badMesh.readOk);
    QVERIFY(badMesh.problemText().contains("no mesh.ply"));
}

void TestReconstructionImport::recognisedByContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // "fifo" and "folder" make those instead of a file
    QTest::addColumn<QString>("format");     // empty: not a reconstruction
    QTest::newRow("Metashape") << "cameras.xml" << QByteArray("<document><chunk/></document>") << "Metashape";
    QTest::newRow("other XML") << "scene.xml" << QByteArray("<document><page/></document>") << "";
    QTest::newRow("transforms.json") << "t.json" << QByteArray("{\"fl_x\": 1, \"frames\": []}")
                                     << "transforms.json";
    QTest::newRow("OpenMVG") << "sfm_data.json"
                             << QByteArray("{\"sfm_data_version\": \"0.3\", \"views\": []}") << "OpenMVG";
    const QByteArray meshroom =
        "{\"version\": [\"1\", \"2\", \"5\"], \"views\": [{\"path\": \"a.jpg\", \"intrinsicId\": \"1\", "
        "\"poseId\": \"1\"}]}";
    QTest::newRow("Meshroom as JSON") << "cameras.json" << meshroom << "Meshroom";
    QTest::newRow("Meshroom by suffix") << "CAMERAS.SFM" << meshroom << "Meshroom";
    QTest::newRow("other JSON") << "package.json" << QByteArray("{\"name\": \"x\"}") << "";
    // Named as what they are without being opened: a FIFO would wait for a writer.
    QTest::newRow("FIFO") << "pipe.json" << QByteArray("fifo") << "";
    QTest::newRow("folder") << "folder.xml" << QByteArray("folder") << "";
}

void TestReconstructionImport::recognisedByContent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, format);
    const QString path = dir.filePath(QStringLiteral("recognised/") + QTest::currentDataTag() + '/' + name);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    if (content == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (content == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QCOMPARE(ReconstructionImport::isReconstruction(path), !format.isEmpty());
    const SfmReconstruction read = ReconstructionImport::readReconstruction(path);
    if (format.isEmpty())
        QVERIFY2(read.error.contains("holds no reconstruction"), qPrintable(read.error));
    else
        QVERIFY2(read.ok() && read.format.startsWith(format), qPrintable(read.format + read.error));
}

QTEST_GUILESS_MAIN(TestReconstructionImport)
#include "tst_reconstructionimport.moc"
