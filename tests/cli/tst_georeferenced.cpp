// `orvelle-index generate` on scenes in real-world coordinates: the real scene and the generated
// sample, moved by a projected (UTM) and by a geocentric offset, with their meshes stored in double
// and their camera centres written in full, must give the depths of the unmoved scene and keep
// every camera centre to the centimetre. The unmoved scenes must give the very bytes they gave
// before coordinates were kept in double.

#include "clitestutil.h"
#include "orvelleindexread.h"
#include "polyforgeproject.h"

#include <ksr/meshio.h>

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(ksr::Point3d)

namespace
{

// The project with every camera moved by offset, its translation written with 17 digits; the
// centres it holds, read in double, in truth.
bool writeMovedProject(const QString &from, const QString &to, const ksr::Point3d &offset,
                       QVector<ksr::Point3d> &truth)
{
    QString text = QString::fromUtf8(readFile(from));
    static const QRegularExpression translation(QStringLiteral("TranslationVector=\"([^\"]*)\""));
    QString moved;
    qsizetype done = 0;
    for (auto match = translation.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QStringList numbers = found.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (numbers.size() < 3)
            return false;
        ksr::Point3d centre;
        QString vector;
        for (int k = 0; k < 3; ++k) {
            const double value = numbers.at(k).toDouble() - offset[k]; // the translation is -centre
            vector += QString::number(value, 'g', 17) + QLatin1Char(' ');
            centre[k] = -QString::number(value, 'g', 17).toDouble();
        }
        truth.append(centre);
        moved += text.mid(done, found.capturedStart() - done) +
                 QStringLiteral("TranslationVector=\"%1\"").arg(vector + QStringLiteral("1 "));
        done = found.capturedEnd();
    }
    moved += text.mid(done);
    return !truth.isEmpty() && writeFile(to, moved.toUtf8());
}

// A copy of the dataset folder (photographs included) with its project renamed to dataset.pfp:
// moved, its meshes and cameras moved by offset.
bool copyDataset(const QString &from, const QString &project, const QString &to, const ksr::Point3d &offset,
                 QVector<ksr::Point3d> &truth)
{
    QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            QVector<ksr::Point3d> none;
            if (!copyDataset(entry.filePath(), QString(), target, offset, none))
                return false;
        } else if (entry.fileName() == project) {
            if (!writeMovedProject(entry.filePath(), to + QStringLiteral("/dataset.pfp"), offset, truth))
                return false;
        } else if (entry.suffix() == QLatin1String("ply")) {
            if (!writeMovedPly(entry.filePath(), target, offset))
                return false;
        } else if (!QDir().mkpath(to) || !QFile::copy(entry.filePath(), target)) {
            return false;
        }
    }
    return true;
}

struct Scene {
    QString folder;  // the dataset, unmoved
    QString project; // its project's file name
};

} // namespace

class TestGeoreferenced : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;
    Scene m_sample, m_real;
    int m_movedCount = 0;

    // Per photograph (by file name): its depth and camera centre in the index written as output.
    static bool readIndex(const QString &path, QHash<QString, std::pair<double, ksr::Point3d>> &shots)
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

    // Writes folder/<output> from folder/<project>; false (and the tool's words) when it fails.
    bool generate(const QString &folder, const QString &project, const QString &output)
    {
        const ToolRun run = runTool(
            {"generate", folder + "/" + project, "-o", folder + "/" + output, "--thumbnails", "none"});
        if (run.crashed || run.exitCode != 0)
            qWarning().noquote() << run.err;
        return !run.crashed && run.exitCode == 0;
    }

    void addRows()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<ksr::Point3d>("offset");
        const ksr::Point3d utm(500000, 4500000, 0), geocentric(4201000, 177000, 4779000);
        QTest::newRow("sample, projected") << "sample" << utm;
        QTest::newRow("sample, geocentric") << "sample" << geocentric;
        QTest::newRow("real scene, projected") << "real" << utm;
        QTest::newRow("real scene, geocentric") << "real" << geocentric;
    }

    const Scene &scene(const QString &name) const
    {
        return name == QLatin1String("sample") ? m_sample : m_real;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(installedTool()).isExecutable(), "the tool has not been installed into the stage");
        m_sample = {m_temp.path() + "/sample", "sample.pfp"};
        QVERIFY(makeSample(m_sample.folder, 8, "320x240"));
        m_real = {m_temp.path() + "/real", "sceaux.pfp"};
        QVector<ksr::Point3d> unused;
        QVERIFY(
            copyDataset(QStringLiteral(ORVELLE_TEST_DATA "/sceaux"), QString(), m_real.folder, {}, unused));
        for (const Scene *unmoved : {&m_sample, &m_real})
            QVERIFY(generate(unmoved->folder, unmoved->project, "unmoved.orx"));
    }

    // The checksums of the indexes written before coordinates were kept in double.
    void ordinaryIndexesUnchanged_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QByteArray>("md5");
        QTest::newRow("sample") << "sample" << QByteArray("81c49963246fd62df549c630c9d13092");
        QTest::newRow("real scene") << "real" << QByteArray("4b8345ef4829e891f9533dfaa3cda330");
    }
    void ordinaryIndexesUnchanged()
    {
        QFETCH(QString, scene);
        QFETCH(QByteArray, md5);
        const QByteArray index = readFile(this->scene(scene).folder + "/unmoved.orx");
        QVERIFY(!index.isEmpty());
        QCOMPARE(QCryptographicHash::hash(index, QCryptographicHash::Md5).toHex(), md5);
    }

    void movedScenesKeepDepthsAndCentres_data() { addRows(); }
    void movedScenesKeepDepthsAndCentres()
    {
        QFETCH(QString, scene);
        QFETCH(ksr::Point3d, offset);
        const Scene &unmoved = this->scene(scene);
        const QString folder = m_temp.path() + "/moved-" + QString::number(++m_movedCount);
        QVector<ksr::Point3d> truth;
        QVERIFY(copyDataset(unmoved.folder, unmoved.project, folder, offset, truth));
        QVERIFY(generate(folder, "dataset.pfp", "moved.orx"));

        QVector<Camera> cameras;
        QStringList rasters, meshes;
        QVERIFY(PolyforgeProject::readProject(folder + "/dataset.pfp", cameras, rasters, meshes));
        QCOMPARE(rasters.size(), truth.size());
        // Shots are written in viewing order, which may differ: they are matched by photograph.
        QHash<QString, std::pair<double, ksr::Point3d>> before, after;
        QVERIFY(readIndex(unmoved.folder + "/unmoved.orx", before));
        QVERIFY(readIndex(folder + "/moved.orx", after));
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
    }
};

QTEST_GUILESS_MAIN(TestGeoreferenced)
#include "tst_georeferenced.moc"
