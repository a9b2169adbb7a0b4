// The depth job on a worker thread with real GL (run under xvfb; fails, never skips, without GL).

#include "depth.h"
#include "depthcomputationthread.h"
#include "polyforgeproject.h"
#include "testmodels.h"
#include "testsupport.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using ksr::Point3f;
using testmodels::camera;

class TestDepthJob : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString wallModel(const QString &name, const Camera &cam, float distance)
    {
        QVector<Point3f> points;
        QVector<testmodels::Triangle> faces;
        testmodels::wallFacing(cam, distance, 20.0f, points, faces);
        const QString path = m_dir.filePath(name);
        if (!testmodels::writePly(path, points, faces))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    struct Run {
        std::unique_ptr<DepthComputationThread> job;
        std::unique_ptr<QSignalSpy> depths, progress, problems, finished;
    };

    // Starts the job and waits for it; the thread object is kept for inspection.
    static Run runJob(const QString &model, const QVector<Camera> &shots, bool stopFirst = false)
    {
        Run run;
        run.job = std::make_unique<DepthComputationThread>(model, shots);
        run.depths = std::make_unique<QSignalSpy>(run.job.get(), &DepthComputationThread::newDepth);
        run.progress = std::make_unique<QSignalSpy>(run.job.get(), &DepthComputationThread::progress);
        run.problems = std::make_unique<QSignalSpy>(run.job.get(), &DepthComputationThread::modelProblem);
        run.finished = std::make_unique<QSignalSpy>(run.job.get(), &QThread::finished);
        if (stopFirst)
            run.job->requestStop();
        run.job->start();
        // Polled: a job stopped before it starts may end before a signal spy would start waiting.
        (void)QTest::qWaitFor([&run] { return run.job->isFinished(); }, 60000); // callers check isFinished()
        QCoreApplication::processEvents();
        return run;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void depthsInOrderWithProgress()
    {
        const Camera near = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        Camera far = near;
        far.center = Point3f(0, 0, 5); // five units further back from the same wall
        Camera broken = near;
        broken.pixelSizeMm[1] = 0.0f;
        const QString model = wallModel("wall.ply", near, 10.0f);
        const Run run = runJob(model, {near, far, broken, near});
        QCOMPARE(run.finished->count(), 1);
        QVERIFY(run.job->isFinished());
        QCOMPARE(run.problems->count(), 0);
        QCOMPARE(run.depths->count(), 4);
        const float expected[4] = {10.0f, 15.0f, 0.0f, 10.0f};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(run.depths->at(i).at(0).toInt(), i);
            const float value = run.depths->at(i).at(1).toFloat();
            QVERIFY2(std::fabs(value - expected[i]) < 0.02f, qPrintable(QString("%1: %2").arg(i).arg(value)));
        }
        QCOMPARE(run.progress->count(), 4);
        QCOMPARE(run.progress->at(0).at(0).toInt(), 25);
        QCOMPARE(run.progress->last().at(0).toInt(), 100);
    }

    void thirdsStillEndAtHundred()
    {
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        const Run run = runJob(wallModel("thirds.ply", cam, 10.0f), {cam, cam, cam});
        QCOMPARE(run.progress->count(), 3);
        QCOMPARE(run.progress->at(0).at(0).toInt(), 33);
        QCOMPARE(run.progress->at(1).at(0).toInt(), 66);
        QCOMPARE(run.progress->last().at(0).toInt(), 100);
    }

    // Models that yield no depths tell the user once and the thread still finishes.
    void modelsWithoutDepths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("detail");
        QTest::addRow("missing") << "absent.ply" << QByteArray() << "Model not found"
                                 << "absent.ply";
        QTest::addRow("unknown type") << "model.xyz" << QByteArray("1 2 3\n") << "Model not loaded"
                                      << "Unknown type";
        QTest::addRow("vmi") << "model.vmi" << QByteArray("x") << "Model not loaded"
                             << "VMI files are not supported";
        QTest::addRow("no vertex") << "none.ply"
                                   << QByteArray("ply\nformat ascii 1.0\nelement vertex 0\nend_header\n")
                                   << "Model not loaded"
                                   << "no vertex";
        QTest::addRow("garbage") << "bad.stl" << QByteArray("xy") << "Model not loaded"
                                 << "STL";
    }
    void modelsWithoutDepths()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, detail);
        const QString path = m_dir.filePath(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        const Camera cam = camera(ksr::Matrix44f(), Point3f());
        const Run run = runJob(path, {cam, cam});
        QCOMPARE(run.finished->count(), 1);
        QCOMPARE(run.depths->count(), 0);
        QCOMPARE(run.progress->count(), 0);
        QCOMPARE(run.problems->count(), 1);
        QCOMPARE(run.problems->at(0).at(0).toString(), title);
        QVERIFY2(run.problems->at(0).at(1).toString().contains(detail),
                 qPrintable(run.problems->at(0).at(1).toString()));
    }

    // A model read only in part still gives depths, with one warning naming the importer's text.
    void partialModelWarnsAndComputes()
    {
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        const QString whole = wallModel("whole.ply", cam, 10.0f);
        QByteArray content = readFile(whole);
        content.chop(6); // cut into the last face: one triangle of the wall remains
        const QString path = m_dir.filePath("cut.ply");
        QVERIFY(writeFile(path, content));
        const Run run = runJob(path, {cam, cam});
        QCOMPARE(run.problems->count(), 1);
        QCOMPARE(run.problems->at(0).at(0).toString(), QString("Model read only in part"));
        QVERIFY(run.problems->at(0).at(1).toString().contains("cut.ply"));
        QVERIFY(run.problems->at(0).at(1).toString().contains("truncated"));
        QCOMPARE(run.depths->count(), 2);
        const float value = run.depths->at(0).at(1).toFloat();
        QVERIFY2(std::fabs(value - 10.0f) < 0.02f, qPrintable(QString::number(value)));
    }

    void stopRequestEndsBeforeTheNextShot()
    {
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        const Run run = runJob(wallModel("stop.ply", cam, 10.0f), QVector<Camera>(50, cam), true);
        QCOMPARE(run.finished->count(), 1);
        QCOMPARE(run.depths->count(), 0);
    }

    // A real photographed scene: every calibrated camera sees the model in front of it.
    void realSceneGivesDepthsInFront()
    {
        const QString folder = QStringLiteral(ORVELLE_TEST_DATA "/sceaux");
        QVector<Camera> cameras;
        QStringList rasters, meshes;
        QVERIFY(PolyforgeProject::readProject(folder + "/sceaux.pfp", cameras, rasters, meshes));
        QVERIFY(cameras.size() >= 10);
        const Run run = runJob(folder + "/scene_mesh.ply", cameras);
        QCOMPARE(run.problems->count(), 0);
        QCOMPARE(run.depths->count(), cameras.size());
        for (int i = 0; i < run.depths->count(); ++i) {
            const float value = run.depths->at(i).at(1).toFloat();
            // The model is about 10 units across; the photographs are taken from inside the scene.
            QVERIFY2(value > 0.1f && value < 20.0f, qPrintable(QString("%1: %2").arg(i).arg(value)));
        }
    }

    // The renderer lives as long as the thread object and goes with it, on the GUI thread.
    void rendererDeletedWithTheJob()
    {
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        Run run = runJob(wallModel("life.ply", cam, 10.0f), {cam});
        QPointer<Depth> renderer = run.job->depthRenderer();
        QVERIFY(!renderer.isNull());
        QCOMPARE(run.depths->count(), 1);
        run.job.reset();
        QVERIFY(renderer.isNull());
    }
};

QTEST_MAIN(TestDepthJob)
#include "tst_depthjob.moc"
