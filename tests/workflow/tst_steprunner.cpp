// The engine's runner and steps without a window: results tagged with their dataset, results of a
// replaced dataset dropped, one step of a kind at a time, steps that need no job, the thumbnail
// step's decodes handed to the ordering through the dataset's feature store, and the builder
// step's outcomes (which leave the program's current folder where it was).

#include "featurestore.h"
#include "steprunner.h"
#include "steps.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// What a step saw, kept beyond the step's life (the runner deletes its steps).
struct Trace {
    bool started = false;
    bool stopRequested = false;
    bool waited = false;
};

// A step that ends when the test says so.
class ManualStep : public Step
{
    Q_OBJECT
public:
    ManualStep(StepKind kind, Trace &trace) : Step(kind), m_trace(trace) {}
    void start() override { m_trace.started = true; }
    void requestStop() override
    {
        m_trace.stopRequested = true;
        m_result.stopped = true;
    }
    void stopAndWait() override { m_trace.waited = true; }
    void report(int shot, float depth)
    {
        emit progress(50);
        StepResult part = partOf();
        part.depths.insert(shot, depth);
        m_result.depths.insert(shot, depth);
        emit updated(part);
    }
    void end() { finish(); }

private:
    Trace &m_trace;
};

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + body) < 0)
        return false;
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class TestStepRunner : public QObject
{
    Q_OBJECT

private slots:
    void resultsCarryTheirDataset()
    {
        StepRunner runner;
        runner.setDataset(7);
        QSignalSpy progress(&runner, &StepRunner::progress);
        QSignalSpy updated(&runner, &StepRunner::updated);
        QSignalSpy finished(&runner, &StepRunner::finished);
        Trace trace;
        auto *step = new ManualStep(StepKind::Depths, trace);
        QVERIFY(runner.start(step));
        QVERIFY(trace.started);
        QVERIFY(runner.isRunning(StepKind::Depths));
        step->report(2, 1.5f);
        step->end();
        QVERIFY(!runner.isAnyRunning());
        QCOMPARE(progress.size(), 1);
        QCOMPARE(updated.size(), 1);
        QCOMPARE(finished.size(), 1);
        const StepResult result = finished.first().first().value<StepResult>();
        QCOMPARE(result.dataset, quint64(7));
        QCOMPARE(result.depths.value(2), 1.5f);
        QCOMPARE(updated.first().first().value<StepResult>().dataset, quint64(7));
    }

    // A new dataset stops the steps of the old one; whatever they say afterwards goes nowhere.
    void resultsOfAReplacedDatasetAreDropped()
    {
        StepRunner runner;
        runner.setDataset(1);
        QSignalSpy progress(&runner, &StepRunner::progress);
        QSignalSpy updated(&runner, &StepRunner::updated);
        QSignalSpy finished(&runner, &StepRunner::finished);
        Trace trace;
        QPointer<ManualStep> step = new ManualStep(StepKind::Thumbnails, trace);
        QVERIFY(runner.start(step));
        runner.setDataset(2);
        QVERIFY(trace.stopRequested);
        QVERIFY(!runner.isRunning(StepKind::Thumbnails));
        step->report(0, 1.0f);
        step->end();
        QCOMPARE(progress.size() + updated.size() + finished.size(), 0);
        QTRY_VERIFY(step.isNull()); // reclaimed all the same
    }

    void oneStepOfAKindPerDataset()
    {
        StepRunner runner;
        runner.setDataset(1);
        Trace first, second, third, other;
        QPointer<ManualStep> running = new ManualStep(StepKind::Ordering, first);
        QVERIFY(runner.start(running));
        QPointer<ManualStep> refused = new ManualStep(StepKind::Ordering, second);
        QVERIFY(!runner.start(refused));
        QVERIFY(refused.isNull());
        QVERIFY(!second.started);
        // Another kind runs beside it.
        QVERIFY(runner.start(new ManualStep(StepKind::Depths, other)));

        // A step of the replaced dataset is stopped and waited for before the new one starts.
        runner.setDataset(2);
        QVERIFY(runner.start(new ManualStep(StepKind::Ordering, third)));
        QVERIFY(first.waited);
        QVERIFY(running.isNull());
        QVERIFY(third.started);

        runner.stopAll();
        QVERIFY(third.stopRequested && third.waited);
        QVERIFY(other.waited);
        QVERIFY(!runner.isAnyRunning());
    }

    // Thumbnails that need no graphics card are checked, not made: an unusable one is left empty.
    void thumbnailsWithoutJob()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid() && QDir(dir.path()).mkdir("thumbnails"));
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        const QStringList images{dir.filePath("a.jpg"), dir.filePath("b.jpg"), ""};
        QVERIFY(picture.save(images[0]) && picture.save(dir.filePath("thumbnails/b.jpg")));
        QFile broken(images[1]);
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a picture") > 0);
        broken.close();
        ThumbnailStep hires(images, ThumbnailSource::Hires);
        StepResult result = StepRunner::runToEnd(hires);
        QCOMPARE(result.thumbnails.values(), (QStringList{images[0], "", ""}));
        ThumbnailStep existing(images, ThumbnailSource::Existing);
        result = StepRunner::runToEnd(existing);
        QCOMPARE(result.thumbnails.value(0), QString()); // no thumbnail there
        QCOMPARE(result.thumbnails.value(1), dir.filePath("thumbnails/b.jpg"));
        QCOMPARE(result.thumbnails.value(2), QString()); // a photograph that was never found
    }

    // With colour weights and colours from the reduced decode (the tool's --reduced-decode), the
    // thumbnail step's decodes fill the dataset's store: the ordering step that follows reads no
    // pixel again.
    void thumbnailDecodesServeTheOrdering()
    {
        QTemporaryDir dir;
        const QString data = QStringLiteral(ORVELLE_TEST_DATA "/sceaux/images/");
        QStringList paths;
        for (const QString &name : QDir(data).entryList({"*.jpg"}, QDir::Files, QDir::Name)) {
            paths << dir.filePath(name);
            QVERIFY(QFile::copy(data + name, paths.last()));
        }
        QVERIFY(paths.size() > 2);
        const FeatureWeightSet colours{0, 0, 0, 0, 1, 1};
        const OrderingWeights weights{colours, colours};
        const auto store = std::make_shared<FeatureStore>();
        ThumbnailStep thumbnails(paths, ThumbnailSource::Downsample, weights, store,
                                 FeatureDecoding::Reduced);
        QVERIFY(StepRunner::runToEnd(thumbnails).problems.isEmpty());
        const ImageFeatureNeeds reduced{true, true, FeatureDecoding::Reduced};
        for (const QString &path : paths) {
            const auto record = store->find(path, reduced);
            QVERIFY2(record, qPrintable(path));
            QVERIFY(record->colorDistr == computeImageFeatures(path, reduced).colorDistr);
            // Zeros in place, size and time kept: a second decode would find no photograph.
            const QDateTime modified = QFileInfo(path).lastModified();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.write(QByteArray(file.size(), '\0')) == file.size());
            file.close();
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        OrderingStep ordering(paths, QVector<Camera>(paths.size()), QVector<float>(paths.size(), 1.0f),
                              weights, store, FeatureDecoding::Reduced);
        const StepResult result = StepRunner::runToEnd(ordering);
        QVERIFY(result.problems.isEmpty());
        QCOMPARE(result.orderPositions.size(), paths.size());
    }

    void builderOutcomes_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no builder program at all
        QTest::addColumn<bool>("built");
        QTest::addColumn<QString>("message");
        QTest::newRow("clean exit") << QByteArray("pwd -P > \"$0.cwd\"\necho 'Uniforming normals'\nexit 0\n")
                                    << true << QString();
        QTest::newRow("missing program") << QByteArray() << false << "Failed to start";
        QTest::newRow("failure exit")
            << QByteArray("echo 'bad input' >&2\nexit 3\n") << false << "Exited with code 3";
        QTest::newRow("crash") << QByteArray("kill -SEGV $$\n") << false << "Crashed";
    }
    void builderOutcomes()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, built);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString program = dir.path() + "/tslbuilder";
        if (!script.isEmpty())
            QVERIFY(writeScript(program, script));
        const QString current = QDir::currentPath();

        MultiresolutionStep step(dir.path() + "/m.ply", false, dir.path() + "/m.tsl", program);
        QList<int> progress;
        connect(&step, &Step::progress, this, [&](int p) { progress.append(p); });
        QElapsedTimer clock;
        clock.start();
        const StepResult result = StepRunner::runToEnd(step);
        QVERIFY(clock.elapsed() < 10000);
        // The builder ran in the temporary folder; the program stayed where it was.
        QCOMPARE(QDir::currentPath(), current);
        QCOMPARE(!result.builtModel.isEmpty(), built);
        if (built) {
            QCOMPARE(result.builtModel, dir.path() + "/m.tsl");
            QVERIFY(result.problems.isEmpty());
            QCOMPARE(progress, QList<int>({95, 100}));
            QFile cwd(program + ".cwd");
            QVERIFY(cwd.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(cwd.readAll()).trimmed(), QDir(QDir::tempPath()).canonicalPath());
        } else {
            QCOMPARE(result.problems.size(), 1);
            QCOMPARE(result.problems[0].title, QString("\"tesselbuilder\" error"));
            QVERIFY2(result.problems[0].text.startsWith(message), qPrintable(result.problems[0].text));
        }
    }

    void builderNeverWritesOverItsInput()
    {
        QTemporaryDir dir;
        QFile model(dir.path() + "/m.tsl");
        QVERIFY(model.open(QIODevice::WriteOnly));
        model.close();
        QVERIFY(MultiresolutionStep::refusal(dir.path() + "/m.tsl", dir.path() + "/./m.tsl").has_value());
        QVERIFY(!MultiresolutionStep::refusal(dir.path() + "/m.ply", dir.path() + "/m.tsl").has_value());
    }
};

// The thumbnail step draws with OpenGL, which needs a GUI application.
QTEST_MAIN(TestStepRunner)
#include "tst_steprunner.moc"
