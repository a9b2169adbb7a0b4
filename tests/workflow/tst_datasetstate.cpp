// The dataset state built from an import: what is refused and why, what a good import holds (an
// earlier index's own values included), and how step results merge into it.

#include "datasetstate.h"
#include "testsupport.h"

#include <QDir>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace
{

bool touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

} // namespace

class TestDatasetState : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder() const { return QFileInfo(m_dir.path()).canonicalFilePath(); }

    // Two photographs a and b (b on disk only when asked), two cameras, the model m.ply.
    ImportedDataset readData(bool withB)
    {
        touch(folder() + "/a.jpg");
        touch(folder() + "/m.ply");
        if (withB)
            touch(folder() + "/b.jpg");
        ImportedDataset data;
        data.recognised = data.readOk = true;
        data.folder = folder();
        data.imageNames = {"a.jpg", "b.jpg"};
        data.imagePaths = {folder() + "/a.jpg", withB ? folder() + "/b.jpg" : QString()};
        data.cameras = {cameraAt(1, 1, 2), cameraAt(2, 1, 2)};
        data.modelNames = {"m.ply"};
        return data;
    }

private slots:
    void refusals_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("said");
        QTest::newRow("unknown suffix") << "suffix"
                                        << "Wrong file format"
                                        << "neither a Polyforge project";
        QTest::newRow("reader problem") << "reader"
                                        << "Wrong file format"
                                        << "truncated";
        QTest::newRow("no model") << "model"
                                  << "Imported dataset error!"
                                  << "No model found";
        QTest::newRow("no photograph found") << "photos"
                                             << "Imported dataset error!"
                                             << "None of the 2";
        QTest::newRow("fewer cameras") << "cameras"
                                       << "Imported dataset error!"
                                       << "only 1 cameras";
    }
    void refusals()
    {
        QFETCH(QString, fault);
        QFETCH(QString, title);
        QFETCH(QString, said);
        ImportedDataset data = readData(true);
        QString model = folder() + "/m.ply";
        if (fault == "suffix")
            data.recognised = false;
        if (fault == "reader") {
            data.problemTitle = "Wrong file format";
            data.problems = {"truncated"};
        }
        if (fault == "model")
            model.clear();
        if (fault == "photos")
            data.imagePaths = {QString(), folder() + "/gone.jpg"};
        if (fault == "cameras")
            data.cameras.removeLast();
        const DatasetCandidate candidate = DatasetStates::fromImport(folder() + "/d.pfp", data, model);
        QVERIFY(!candidate.accepted);
        QCOMPARE(candidate.refusal.title, title);
        QVERIFY2(candidate.refusal.text.contains(said), qPrintable(candidate.refusal.text));
        QCOMPARE(candidate.state.id, quint64(0));
    }

    // An index written on another machine names photographs that are not here: its shots keep
    // their values (warned about), so that the index can be written again with other settings.
    void indexOfAnotherMachineKeepsItsShots()
    {
        ImportedDataset data;
        data.recognised = data.readOk = true;
        data.folder = folder();
        data.imageNames = {"/elsewhere/a.jpg", "/elsewhere/b.jpg"};
        data.imagePaths = data.imageNames; // absolute names stay as written
        data.cameras = {cameraAt(1, 1, 2), cameraAt(2, 1, 2)};
        data.thumbnailPaths = {"/elsewhere/thumbnails/a.jpg", "/elsewhere/thumbnails/b.jpg"};
        data.depths = {1.5f, 2.5f};
        data.orderPositions = {1, 0};
        data.clusterNumbers = {0, 5};
        const DatasetCandidate candidate =
            DatasetStates::fromImport(folder() + "/old.orx", data, folder() + "/m.ply");
        QVERIFY2(candidate.accepted, qPrintable(candidate.refusal.text));
        QCOMPARE(candidate.missingPhotographs.size(), 2);
        QVERIFY(candidate.state.isComplete());
        QCOMPARE(candidate.state.shots[0].imagePath, QString("/elsewhere/a.jpg"));
        QCOMPARE(candidate.state.shots[1].thumbnailPath, QString("/elsewhere/thumbnails/b.jpg"));
        OrvelleIndex index;
        QVERIFY(buildIndex(IndexSettings(), candidate.state.shots, index));

        // Without the values the import cannot stand on the photographs alone.
        data.depths.clear();
        QVERIFY(!DatasetStates::fromImport(folder() + "/old.orx", data, folder() + "/m.ply").accepted);
    }

    // The mean of the cameras' image-up axes, snapped to an axis within 10 degrees of it, or to a
    // level axis when the cameras only look up or down (pitch), never when they are rolled.
    void upFromCameras()
    {
        DatasetState state;
        QVERIFY(!DatasetStates::upFromCameras(state));
        // Image axes: right (1, 0, 0) and up leaning `pitch` degrees from +Z about it; or right and
        // up both turned `roll` degrees about the view direction (the Y axis).
        const auto shot = [](float pitch, float roll = 0.0f) {
            const float p = pitch * float(M_PI) / 180.0f, r = roll * float(M_PI) / 180.0f;
            Camera camera = cameraAt(0, 1, 2);
            const float right[3] = {std::cos(r), 0, -std::sin(r)};
            const float up[3] = {std::sin(r), std::sin(p), std::cos(p) * std::cos(r)};
            for (int k = 0; k < 3; ++k) {
                camera.rotation.m[0][k] = right[k];
                camera.rotation.m[1][k] = up[k];
            }
            ShotRecord record;
            record.camera = camera;
            return record;
        };
        const std::optional<ksr::Point3f> plusZ(ksr::Point3f(0, 0, 1));
        state.shots = {shot(8)};
        QCOMPARE(DatasetStates::upFromCameras(state), plusZ);
        state.shots = {shot(25), shot(15)}; // a facade from below
        QCOMPARE(DatasetStates::upFromCameras(state), plusZ);
        state.shots = {shot(0, 15)};
        const ksr::Point3f rolled = DatasetStates::upFromCameras(state).value();
        QVERIFY(std::abs(DatasetStates::angleDegrees(rolled, {0, 0, 1}) - 15.0) < 0.1);
        state.shots = {shot(60)}; // too far from any axis to be sure
        QVERIFY(DatasetStates::upFromCameras(state) != plusZ);
        state.shots = {shot(0), shot(180)};
        QVERIFY(!DatasetStates::upFromCameras(state)); // they disagree: no direction
    }

    void acceptedImport()
    {
        const DatasetCandidate first =
            DatasetStates::fromImport(folder() + "/site.old.pfp", readData(false), folder() + "/m.ply");
        QVERIFY(first.accepted);
        const DatasetState &state = first.state;
        QCOMPARE(state.shotCount(), 2);
        QCOMPARE(first.missingPhotographs, QStringList{"b.jpg"});
        QCOMPARE(DatasetStates::missingPhotographsNotice(first).text,
                 QString("1 photograph was not found:\nb.jpg"));
        QCOMPARE(state.shots[1].imagePath, QString());
        QVERIFY(state.shots[1].camera.has_value());
        QCOMPARE(first.names.tessel, folder() + "/m.tsl");
        QCOMPARE(first.names.scene, QString("m"));
        QCOMPARE(first.names.output, folder() + "/site_generated.orx");
        QCOMPARE(state.builderStatus, BuilderStatus::NotBuilt);
        QVERIFY(!state.hasAllDepths());
        QVERIFY(!state.unwrittenResults);
        // Every import is a dataset of its own.
        const DatasetCandidate second =
            DatasetStates::fromImport(folder() + "/d.pfp", readData(true), folder() + "/m.ply");
        QVERIFY(second.state.id != 0 && second.state.id != state.id);
        QVERIFY(state.features && second.state.features && second.state.features != state.features);
        QVERIFY(second.missingPhotographs.isEmpty());
    }

    // An earlier index brings its own thumbnails, depths, order and clusters; a thumbnail that is
    // gone or cut is left to the thumbnail step.
    void indexValuesAreKept()
    {
        const QString whole = folder() + "/whole.jpg", cut = folder() + "/cut.jpg";
        QImage picture(16, 12, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(whole));
        QFile wholeFile(whole), cutFile(cut);
        QVERIFY(wholeFile.open(QIODevice::ReadOnly) && cutFile.open(QIODevice::WriteOnly));
        QVERIFY(cutFile.write(wholeFile.readAll().chopped(20)) > 0);
        cutFile.close();

        ImportedDataset data = readData(true);
        data.thumbnailPaths = {whole, cut};
        data.depths = {0.123456789f, 2.0f};
        data.orderPositions = {0, 1};
        data.clusterNumbers = {4, 9};
        const DatasetState state =
            DatasetStates::fromImport(folder() + "/d.orx", data, folder() + "/m.ply").state;
        QCOMPARE(state.shots[0].thumbnailPath, whole);
        QCOMPARE(state.shots[1].thumbnailPath, QString());
        QCOMPARE(*state.shots[0].depth, 0.123457f);
        QCOMPARE(*state.shots[1].cluster, 9);
        QVERIFY(state.hasAllDepths());
        QVERIFY(!state.isComplete());
    }

    void stepResultsMerge()
    {
        DatasetState state =
            DatasetStates::fromImport(folder() + "/d.pfp", readData(true), folder() + "/m.ply").state;
        StepResult thumbnails;
        thumbnails.kind = StepKind::Thumbnails;
        thumbnails.thumbnails = {{0, "/t/a.jpg"}, {1, "/t/b.jpg"}, {5, "/t/none.jpg"}};
        state.apply(thumbnails);
        QVERIFY(state.unwrittenResults);
        StepResult depths;
        depths.kind = StepKind::Depths;
        depths.depths = {{0, 1.0f}, {1, 1536.25f}};
        state.apply(depths);
        QCOMPARE(*state.shots[1].depth, 1536.25f);
        StepResult ordering;
        ordering.kind = StepKind::Ordering;
        ordering.orderPositions = {1, 0, 2}; // one entry too many: not this dataset's
        ordering.clusterNumbers = {3};
        state.apply(ordering);
        QVERIFY(!state.shots[0].orderPosition && !state.shots[0].cluster);
        ordering.orderPositions = {1, 0};
        ordering.clusterNumbers = {3, 7};
        state.apply(ordering);
        QVERIFY(state.isComplete());
        QCOMPARE(state.shots[0].orderPosition, std::optional<int>(1));
        QCOMPARE(state.shots[1].thumbnailPath, QString("/t/b.jpg"));

        StepResult build;
        build.kind = StepKind::Multiresolution;
        state.apply(build);
        QCOMPARE(state.builderStatus, BuilderStatus::Failed);
        build.builtModel = folder() + "/m.tsl";
        state.apply(build);
        QCOMPARE(state.builderStatus, BuilderStatus::Ready);
        QCOMPARE(state.builtTesselPath, folder() + "/m.tsl");
    }

    // Leaving shots out keeps the viewing order of the others, numbered again from 0, and their
    // clusters; rows out of range and repeated rows change nothing more.
    void leaveOutKeepsTheOrder()
    {
        DatasetState state;
        const int positions[] = {3, 0, 4, 1, 2};
        for (int i = 0; i < 5; ++i) {
            ShotRecord shot;
            shot.imageName = QString("p%1.jpg").arg(i);
            shot.orderPosition = positions[i];
            shot.cluster = 10 + i;
            if (i == 1)
                shot.missingNote = shot.imageName;
            state.shots.append(shot);
        }
        QCOMPARE(state.missingPhotographs(), QStringList{"p1.jpg"});
        state.leaveOut({1, 3, 3, 7, -1});
        QCOMPARE(state.shotCount(), 3);
        QCOMPARE(state.shots.at(0).imageName, QString("p0.jpg"));
        QCOMPARE(state.shots.at(1).imageName, QString("p2.jpg"));
        QCOMPARE(state.shots.at(2).imageName, QString("p4.jpg"));
        // Positions were 3, 4, 2: the order p4, p0, p2 stays.
        QCOMPARE(*state.shots.at(0).orderPosition, 1);
        QCOMPARE(*state.shots.at(1).orderPosition, 2);
        QCOMPARE(*state.shots.at(2).orderPosition, 0);
        QCOMPARE(*state.shots.at(2).cluster, 14);
        QVERIFY(state.missingPhotographs().isEmpty());
        QVERIFY(state.unwrittenResults);
    }
};

QTEST_GUILESS_MAIN(TestDatasetState)
#include "tst_datasetstate.moc"
