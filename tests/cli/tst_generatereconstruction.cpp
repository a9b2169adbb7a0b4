// `orvelle-index generate` and `inspect` on the committed reconstruction fixtures (see
// tests/data/sfm/SOURCE.md and README.md), with the photographs remade by the sample generator: the depths
// the GL renderer finds from the imported cameras against the sample's true depths, and the point cloud that
// stands in for a mesh.
#include "clitestutil.h"
#include "orvelleindexread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace
{

QString fixture(const QString &name)
{
    return QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sfm/") + name;
}

} // namespace

class TestGenerateReconstruction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void depthsFromTheMesh_data();
    void depthsFromTheMesh();
    void pointCloudWithoutMesh();
    void inspectPrintsTheShots();

private:
    QTemporaryDir dir;
    QString sample;
    QHash<QString, double> trueDepths; // by photograph file name
};

void TestGenerateReconstruction::initTestCase()
{
    QVERIFY(dir.isValid());
    sample = dir.filePath(QStringLiteral("sample"));
    QVERIFY(makeSample(sample, 36, QStringLiteral("1024x768")));
    const QJsonObject truth = QJsonDocument::fromJson(readBytes(sample + "/truth.json")).object();
    for (const QJsonValue &photo : truth.value("photographs").toArray())
        trueDepths.insert(QFileInfo(photo["image"].toString()).fileName(), photo["depth"].toDouble());
    QCOMPARE(trueDepths.size(), 36);
}

void TestGenerateReconstruction::depthsFromTheMesh_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("unregistered"); // the note on photographs without a camera
    QTest::newRow("COLMAP text") << fixture("txt") << "11 photographs";
    QTest::newRow("COLMAP binary") << fixture("bin/cameras.bin") << "11 photographs";
    QTest::newRow("NVM") << fixture("nvm/model.nvm") << "11 photographs";
    QTest::newRow("Bundler") << fixture("bundler/model.bundle.out") << "11 photographs";
    // Labels without suffix, some with folders; a chunk transform to apply; two cameras not
    // aligned, which the file accounts for.
    QTest::newRow("Metashape") << fixture("metashape/cameras-1.5.xml") << "9 photographs";
    // Paths without suffix in a sub-folder; absolute paths of another machine.
    QTest::newRow("transforms.json") << fixture("transforms/transforms.json") << "11 photographs";
    QTest::newRow("Meshroom") << fixture("meshroom/cameras-1.2.0.sfm") << "9 photographs";
    QTest::newRow("OpenMVG") << fixture("openmvg/sfm_data.json") << "9 photographs";
}

void TestGenerateReconstruction::depthsFromTheMesh()
{
    QFETCH(QString, input);
    QFETCH(QString, unregistered);
    const QString index =
        dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".orx");
    const ToolRun run = runTool({"generate", input, "--images", sample + "/photos", "--mesh",
                                 sample + "/model/scene_lowres.ply", "-o", index, "--thumbnails", "hires"});
    QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains(unregistered), qPrintable(run.err));

    OrvelleIndexRead written;
    QVERIFY(written.readFile(index));
    QCOMPARE(written.collectionCount(), 1);
    const ShotCollection &shots = written.collection(0);
    QCOMPARE(shots.imagePaths().size(), 25);
    QCOMPARE(shots.depths().size(), 25);
    double worst = 0;
    for (int i = 0; i < 25; ++i) {
        const double truth = trueDepths.value(QFileInfo(shots.imagePaths().at(i)).fileName());
        QVERIFY(truth > 0);
        worst = std::max(worst, std::fabs(shots.depths().at(i) - truth) / truth);
    }
    qInfo("worst depth difference %.2f %%", 100 * worst);
    QVERIFY(worst < 0.02);
}

void TestGenerateReconstruction::pointCloudWithoutMesh()
{
    const QString index = dir.filePath("points.orx");
    const ToolRun run = runTool({"generate", fixture("bundler/model.bundle.out"), "--images",
                                 sample + "/photos", "-o", index, "--thumbnails", "hires"});
    QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.err));
    const QString cloud = dir.filePath("points_points.ply");
    QVERIFY(QFileInfo::exists(cloud));

    OrvelleIndexRead written;
    QVERIFY(written.readFile(index));
    QCOMPARE(QFileInfo(written.modelFileName()).fileName(), QStringLiteral("points_points.ply"));
    const QVector<float> depths = written.collection(0).depths();
    QCOMPARE(depths.size(), 25);
    for (float depth : depths)
        QVERIFY2(std::isfinite(depth) && depth > 0, qPrintable(QString::number(depth)));
}

void TestGenerateReconstruction::inspectPrintsTheShots()
{
    // Suffixes of the new formats in any case; a COLMAP model by its folder.
    QVERIFY(QFile::copy(fixture("nvm/model.nvm"), dir.filePath("MODEL.NVM")));
    for (const QString &input : {dir.filePath("MODEL.NVM"), fixture("txt")}) {
        const ToolRun run = runTool({"inspect", input});
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.err));
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.value("shots").toArray().size(), 25);
        QCOMPARE(json.value("points").toInt(), 396);
    }
    // The other tools' formats, by suffix or by content.
    const struct {
        const char *file;
        int shots, points;
    } others[] = {{"metashape/cameras-2.1.xml", 25, 0},
                  {"transforms/transforms.json", 25, 0},
                  {"meshroom/cameras-1.2.5.sfm", 25, 396},
                  {"openmvg/sfm_data.json", 25, 396}};
    for (const auto &other : others) {
        const ToolRun run = runTool({"inspect", fixture(other.file)});
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.err));
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.value("shots").toArray().size(), other.shots);
        QCOMPARE(json.value("points").toInt(), other.points);
    }
    // A cut file: a failed read, the message naming file and line.
    QFile cut(dir.filePath("cut.nvm"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(readBytes(fixture("nvm/model.nvm")).left(2000));
    cut.close();
    const ToolRun broken = runTool({"inspect", cut.fileName()});
    QCOMPARE(broken.exitCode, 1);
    QVERIFY2(broken.err.contains("cut.nvm, line"), qPrintable(broken.err));
}

QTEST_MAIN(TestGenerateReconstruction)
#include "tst_generatereconstruction.moc"
