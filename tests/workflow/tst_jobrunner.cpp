// Running jobs to their end without a window: every result delivered before the call returns,
// and builders that fail or never start reported instead of waited for.

#include "jobrunner.h"
#include "tesselcomputationprocess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace
{

// Emits many results from its own thread, the last one just before it ends.
class CountingJob : public QThread
{
    Q_OBJECT
public:
    explicit CountingJob(int count) : m_count(count) {}
signals:
    void value(int i);

protected:
    void run() override
    {
        for (int i = 0; i < m_count; ++i)
            emit value(i);
    }

private:
    int m_count;
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

class TestJobRunner : public QObject
{
    Q_OBJECT

private slots:
    void everyResultArrivesBeforeReturn()
    {
        CountingJob job(5000);
        QVector<int> received;
        connect(&job, &CountingJob::value, this, [&](int i) { received.append(i); });
        JobRunner::runToEnd(job);
        QVERIFY(job.isFinished());
        QCOMPARE(received.size(), 5000);
        QCOMPARE(received.last(), 4999);
    }

    void emptyJobReturns()
    {
        CountingJob job(0);
        JobRunner::runToEnd(job);
        QVERIFY(job.isFinished());
    }

    void builderOutcomes_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no builder program at all
        QTest::addColumn<bool>("built");
        QTest::addColumn<QString>("message");
        QTest::newRow("clean exit") << QByteArray("echo 'Uniforming normals'\nexit 0\n") << true << QString();
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

        TesselComputationProcess builder;
        builder.setBuilderProgram(program);
        int lastProgress = -1;
        connect(&builder, &TesselComputationProcess::tesselProgress, this, [&](int p) { lastProgress = p; });
        QString title, text;
        QElapsedTimer clock;
        clock.start();
        const bool ok =
            JobRunner::runBuilder(builder, dir.path() + "/m.ply", false, dir.path() + "/m.tsl", title, text);
        QDir::setCurrent(current); // the builder runs in the temporary folder
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(ok, built);
        QCOMPARE(builder.state(), QProcess::NotRunning);
        if (built) {
            QVERIFY(title.isEmpty());
            QCOMPARE(lastProgress, 95);
        } else {
            QCOMPARE(title, QString("\"tesselbuilder\" error"));
            QVERIFY2(text.startsWith(message), qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestJobRunner)
#include "tst_jobrunner.moc"
