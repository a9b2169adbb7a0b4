// The builder step stopped by the user, at every stage of the builder, driven by a stand-in
// builder: the result reads as stopped, never as a failed build.
#include "datasetstate.h"
#include "steps.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

class TestMultiresolutionStep : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void stoppedBuildReadsAsStopped_data()
    {
        QTest::addColumn<bool>("afterOutput"); // stopped once the builder has printed, else at once
        QTest::newRow("while starting") << false;
        QTest::newRow("while building") << true;
    }
    void stoppedBuildReadsAsStopped()
    {
        QFETCH(bool, afterOutput);
        const QString program = m_dir.filePath(QStringLiteral("tslbuilder%1").arg(afterOutput));
        const QString pidFile = program + ".pid";
        QVERIFY(writeFile(program, "#!/bin/sh\necho $$ > '" + QFile::encodeName(pidFile) +
                                       "'\necho 'Building multipartition'\nexec sleep 30\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        MultiresolutionStep step(m_dir.filePath("m.ply"), false, m_dir.filePath("m.tsl"), program);
        QSignalSpy progress(&step, &Step::progress);
        step.start();
        if (afterOutput)
            QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 10000);
        step.requestStop();
        QTRY_VERIFY_WITH_TIMEOUT(step.isFinished(), 10000);
        QTest::qWait(100); // anything the killed builder still reports

        const StepResult &result = step.result();
        QVERIFY(result.stopped);
        QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.value(0).text));
        QVERIFY(result.builtModel.isEmpty());
        DatasetState state;
        state.builderStatus = BuilderStatus::Building;
        state.apply(result);
        QVERIFY(state.builderStatus != BuilderStatus::Failed);
        if (afterOutput) {
            const pid_t pid = readFile(pidFile).trimmed().toInt();
            QVERIFY(pid > 0);
            QVERIFY2(::kill(pid, 0) != 0, "the stopped builder still runs");
        }
    }
};

QTEST_GUILESS_MAIN(TestMultiresolutionStep)
#include "tst_multiresolutionstep.moc"
