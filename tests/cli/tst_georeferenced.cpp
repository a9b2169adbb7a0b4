// `orvelle-index generate` on scenes in real-world coordinates: the real scene and the generated
// sample, moved by a projected (UTM) and by a geocentric offset, meshes stored in double and camera
// centres written in full, must give the unmoved scene's depths and keep every camera centre to the
// centimetre, and the viewer's picture must not move. The unmoved scenes must give the bytes they gave before
// coordinates were kept in double.

#include "clitestutil.h"
#include "orvelleindexread.h"
#include "polyforgeproject.h"

#include <QCryptographicHash>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(ksr::Point3d)

namespace
{

// The project with every camera moved by offset, its translation written with 17 digits (so the
// centres in truth are exactly those of the file).
bool writeMovedProject(const QString &from, const QString &to, const ksr::Point3d &offset,
                       QVector<ksr::Point3d> &truth)
{
    const QString text = QString::fromUtf8(readFile(from));
    static const QRegularExpression translation(QStringLiteral("TranslationVector=\"([^\"]*)\""));
    QString moved;
    qsizetype done = 0;
    for (auto match = translation.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QStringList numbers = found.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString vector;
        ksr::Point3d centre;
        for (int k = 0; k < 3 && numbers.size() >= 3; ++k) {
            const double value = numbers.at(k).toDouble() - offset[k]; // the translation is -centre
            vector += QString::number(value, 'g', 17) + QLatin1Char(' ');
            centre[k] = -value;
        }
        truth.append(centre);
        moved +=
            text.mid(done, found.capturedStart() - done) + QString("TranslationVector=\"%1 1 \"").arg(vector);
        done = found.capturedEnd();
    }
    return !truth.isEmpty() && writeFile(to, (moved + text.mid(done)).toUtf8());
}

// Per photograph (by file name): its depth and camera centre in an index.
using IndexShots = QHash<QString, std::pair<double, ksr::Point3d>>;
bool readIndex(const QString &path, IndexShots &shots)
{
    OrvelleIndexRead index;
    if (!index.readFile(path) || index.collectionCount() != 1)
        return false;
    const ShotCollection &collection = index.collection(0);
    for (int i = 0; i < collection.cameras().size(); ++i)
        shots.insert(QFileInfo(collection.imagePaths().at(i)).fileName(),
                     {collection.depths().at(i), collection.cameras().at(i).center});
    return !shots.isEmpty();
}

// Writes <output>.orx beside the project; false (and the tool's words) when it fails.
bool generate(const QString &project, const QString &output, const QStringList &options = {})
{
    const QString index = QFileInfo(project).dir().filePath(output + ".orx");
    const ToolRun run =
        runTool(QStringList{"generate", project, "-o", index, "--thumbnails", "none"} + options);
    if (run.crashed || run.exitCode != 0)
        qWarning().noquote() << run.err;
    return !run.crashed && run.exitCode == 0;
}

// The viewer's picture from the shot that shows photograph, as `render` draws it from an index.
QImage renderFrom(const QString &index, const QString &photograph)
{
    OrvelleIndexRead read;
    if (!read.readFile(index) || read.collectionCount() != 1)
        return {};
    const QStringList paths = read.collection(0).imagePaths();
    int shot = 0;
    while (shot < paths.size() && QFileInfo(paths.at(shot)).fileName() != photograph)
        ++shot;
    const QString picture = index + ".png";
    const ToolRun run =
        runTool({"render", index, "-o", picture, "--shot", QString::number(shot + 1), "--size", "200x150"});
    if (run.crashed || run.exitCode != 0)
        qWarning().noquote() << run.err;
    return QImage(picture).convertToFormat(QImage::Format_RGB32);
}

// Mean difference of the colour channels, 0..255.
double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

class TestGeoreferenced : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;
    QHash<QString, QString> m_projects; // "sample" and "real": the unmoved projects
    int m_movedCount = 0;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(installedTool()).isExecutable(), "the tool has not been installed into the stage");
        QVERIFY(makeSample(m_temp.path() + "/sample", 8, "320x240"));
        QCOMPARE(QProcess::execute("cp", {"-r", ORVELLE_TEST_DATA "/sceaux", m_temp.path() + "/real"}), 0);
        m_projects = {{"sample", m_temp.path() + "/sample/sample.pfp"},
                      {"real", m_temp.path() + "/real/sceaux.pfp"}};
        for (const QString &project : std::as_const(m_projects))
            QVERIFY(generate(project, "unmoved"));
    }

    // The checksums of the indexes written before coordinates were kept in double (the real
    // scene's since its up direction comes from its level cameras).
    void ordinaryIndexesUnchanged_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QByteArray>("md5");
        QTest::newRow("sample") << "sample" << QByteArray("81c49963246fd62df549c630c9d13092");
        QTest::newRow("real scene") << "real" << QByteArray("d919f80bdc35123939e18edfc46416e3");
    }
    void ordinaryIndexesUnchanged()
    {
        QFETCH(QString, scene);
        QFETCH(QByteArray, md5);
        const QByteArray index = readFile(QFileInfo(m_projects[scene]).dir().filePath("unmoved.orx"));
        QVERIFY(!index.isEmpty());
        QCOMPARE(QCryptographicHash::hash(index, QCryptographicHash::Md5).toHex(), md5);
    }

    void movedScenesKeepDepthsAndCentres_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<ksr::Point3d>("offset");
        const ksr::Point3d utm(500000, 4500000, 0), geocentric(4201000, 177000, 4779000);
        QTest::newRow("sample, projected") << "sample" << utm;
        QTest::newRow("sample, geocentric") << "sample" << geocentric;
        QTest::newRow("real scene, projected") << "real" << utm;
        QTest::newRow("real scene, geocentric") << "real" << geocentric;
    }
    void movedScenesKeepDepthsAndCentres()
    {
        QFETCH(QString, scene);
        QFETCH(ksr::Point3d, offset);
        const QString project = m_projects[scene];
        const QDir folder = QFileInfo(project).dir(); // the moved files go beside, to share the photographs
        const QString moved = QString("moved-%1").arg(++m_movedCount);
        QVector<Camera> cameras;
        QStringList rasters, meshes;
        QVERIFY(PolyforgeProject::readProject(project, cameras, rasters, meshes));
        QVector<ksr::Point3d> truth;
        QVERIFY(writeMovedProject(project, folder.filePath(moved + ".pfp"), offset, truth));
        QCOMPARE(rasters.size(), truth.size());
        // The first mesh is the model of the unmoved index and its depths.
        const QString model = folder.filePath(moved + ".ply");
        QVERIFY(writeMovedPly(folder.filePath(meshes.first()), model, offset, true));
        QVERIFY(generate(folder.filePath(moved + ".pfp"), moved, {"--model", model}));

        // Shots are written in viewing order, which may differ: they are matched by photograph.
        IndexShots before, after;
        QVERIFY(readIndex(folder.filePath("unmoved.orx"), before));
        QVERIFY(readIndex(folder.filePath(moved + ".orx"), after));
        QCOMPARE(after.size(), truth.size());
        for (int i = 0; i < truth.size(); ++i) {
            const QString name = QFileInfo(rasters.at(i)).fileName();
            QVERIFY2(after.contains(name) && before.contains(name), qPrintable(name));
            const double depth = after[name].first, expected = before[name].first;
            QVERIFY2(expected > 0.0 && std::fabs(depth - expected) <= 0.005 * expected,
                     qPrintable(QString("%1: depth %2, unmoved %3").arg(name).arg(depth).arg(expected)));
            const double error = (after[name].second - truth.at(i)).length();
            QVERIFY2(error <= 0.01, qPrintable(QString("%1: centre %2 from the truth").arg(name).arg(error)));
        }

        // The preview from the same photograph's shot draws the same picture.
        const QString photograph = QFileInfo(rasters.first()).fileName();
        const QImage unmovedView = renderFrom(folder.filePath("unmoved.orx"), photograph);
        const QImage movedView = renderFrom(folder.filePath(moved + ".orx"), photograph);
        QVERIFY(!unmovedView.isNull() && movedView.size() == unmovedView.size());
        const double difference = meanDifference(unmovedView, movedView);
        QVERIFY2(difference < 1.0, qPrintable(QString("the views differ by %1 on average").arg(difference)));
    }
};

QTEST_GUILESS_MAIN(TestGeoreferenced)
#include "tst_georeferenced.moc"
