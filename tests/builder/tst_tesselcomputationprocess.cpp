// The builder wrapper driven by small shell scripts standing in for the builder.
#include "tesselcomputationprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>

namespace
{
const char *const errorTitle = "\"tesselbuilder\" error";
const char *const parentModeVariable = "TST_TESSEL_PARENT_BUILDER";

// Whether the process is gone (or a zombie nobody has collected yet).
bool processGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const qsizetype state = text.lastIndexOf(')') + 2;
    return state < 2 || state >= text.size() || text.at(state) == 'Z';
}
} // namespace

class TstTesselComputationProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_scriptCount = 0;

    // Writes an executable stand-in builder whose body is the given shell text.
    QString script(const QString &body)
    {
        const QString path = m_dir.filePath(QStringLiteral("builder%1.sh").arg(++m_scriptCount));
        if (!writeFile(path, "#!/bin/sh\n" + body.toUtf8() + "\n"))
            return QString();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    // A stand-in that prints the given lines one by one.
    QString printingScript(const QStringList &lines)
    {
        QString body;
        for (const QString &line : lines)
            body += QStringLiteral("echo '%1'\n").arg(line);
        return script(body);
    }

    struct Run {
        QList<int> progress;
        QList<QStringList> errors;
        int ready = 0;
    };
    // Starts `program`, waits for its end and collects every signal.
    Run run(const QString &program, bool pointCloud = false)
    {
        Run result;
        TesselComputationProcess process;
        process.setBuilderProgram(program);
        QSignalSpy progress(&process, &TesselComputationProcess::tesselProgress);
        QSignalSpy errors(&process, &TesselComputationProcess::error);
        QSignalSpy ready(&process, &TesselComputationProcess::tesselReady);
        process.startBuilder(m_dir.filePath(QStringLiteral("in.ply")), pointCloud,
                             m_dir.filePath(QStringLiteral("out.tsl")));
        process.waitForFinished(10000);
        // Let queued notifications arrive; a failed start never finishes.
        QTest::qWait(100);
        for (const QList<QVariant> &args : progress)
            result.progress << args.at(0).toInt();
        for (const QList<QVariant> &args : errors)
            result.errors << QStringList{args.at(0).toString(), args.at(1).toString()};
        result.ready = ready.count();
        return result;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A builder whose program is killed must not go on and replace the model file.
    void builderDiesWithItsParent()
    {
        const QString pidFile = m_dir.filePath(QStringLiteral("builder.pid"));
        const QString builder =
            script(QStringLiteral("echo $$ > '%1.part' && mv '%1.part' '%1'\nexec sleep 60").arg(pidFile));
        QProcess parent;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(parentModeVariable, builder);
        parent.setProcessEnvironment(environment);
        parent.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(parent.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(pidFile); }, 10000));
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const qint64 pid = file.readAll().trimmed().toLongLong();
        QVERIFY(pid > 0 && !processGone(pid));
        parent.kill();
        QVERIFY(parent.waitForFinished(5000));
        const bool gone = QTest::qWaitFor([pid] { return processGone(pid); }, 5000);
        if (!gone)
            ::kill(pid_t(pid), SIGKILL);
        QVERIFY2(gone, "the builder outlived its parent");
    }

    void arguments_data()
    {
        QTest::addColumn<bool>("pointCloud");
        QTest::addColumn<QStringList>("expectedTail");
        QTest::newRow("mesh") << false << QStringList{"-C", "-F", "10000", "-o"};
        QTest::newRow("point cloud") << true << QStringList{"-P", "-C", "-F", "10000", "-o"};
    }
    void arguments()
    {
        QFETCH(bool, pointCloud);
        QFETCH(QStringList, expectedTail);
        const QString record = m_dir.filePath(QStringLiteral("args%1.txt").arg(pointCloud));
        const QString program =
            script(QStringLiteral("for a in \"$@\"; do echo \"$a\"; done > '%1'").arg(record));
        const Run result = run(program, pointCloud);
        QCOMPARE(result.ready, 1);
        const QStringList received = QString::fromUtf8(readFile(record)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(received, (expectedTail + QStringList{m_dir.filePath("out.tsl"), m_dir.filePath("in.ply")}));
    }

    void relativePathsStayWithTheCaller()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const QString record = m_dir.filePath(QStringLiteral("relative.txt"));
        TesselComputationProcess process;
        process.setBuilderProgram(
            script(QStringLiteral("for a in \"$@\"; do echo \"$a\"; done > '%1'").arg(record)));
        process.startBuilder(QStringLiteral("models/in.ply"), false, QStringLiteral("out.tsl"));
        QVERIFY(process.waitForFinished(10000));
        const QStringList received = QString::fromUtf8(readFile(record)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(received.mid(4), (QStringList{m_dir.filePath("out.tsl"), m_dir.filePath("models/in.ply")}));
    }

    void progressSequence_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<int>>("expected");

        // The bar only grows during one build: no wrap to 0, no fall from 85 to 60.
        QStringList twentyOne;
        QList<int> rising;
        for (int i = 1; i <= 21; ++i) {
            twentyOne << QStringLiteral("Building multipartition level %1").arg(i);
            rising << std::min(5 * i, 95);
        }
        QTest::newRow("multipartition lines stop at 95") << twentyOne << rising;

        QStringList exporting{"N_triangles 50000"};
        for (int i = 0; i < 6; ++i)
            exporting << QStringLiteral("Exporting partition %1").arg(i);
        QTest::newRow("exporting capped at 85") << exporting << QList<int>{13, 26, 39, 52, 65, 78, 85};

        QTest::newRow("step from first count only")
            << QStringList{"N_triangles 15000", "N_triangles 50000", "N_triangles 1000000"}
            << QList<int>{40, 60, 60};
        QTest::newRow("count is the last token")
            << QStringList{"N_triangles level 3:   1000000  "} << QList<int>{5};
        QTest::newRow("unparsable count gives the largest step")
            << QStringList{"N_triangles many"} << QList<int>{40};
        QTest::newRow("count lines never lower a higher percentage")
            << QStringList{"Building multipartition", "Building multipartition", "Building multipartition",
                           "Building multipartition", "Building multipartition", "Building multipartition",
                           "Building multipartition", "Building multipartition", "Building multipartition",
                           "Building multipartition", "Building multipartition", "Building multipartition",
                           "Building multipartition", "N_triangles 15000"}
            << QList<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 65};
        QTest::newRow("count after exporting stays at 85")
            << QStringList{"N_triangles 15000", "Exporting partition 0", "Exporting partition 1",
                           "N_triangles 7000", "Building multipartition"}
            << QList<int>{40, 80, 85, 85, 90};
        QTest::newRow("uniforming normals sets 95, nothing after lowers it")
            << QStringList{"Building multipartition", "Uniforming normals", "Uniforming normals",
                           "Building multipartition", "N_triangles 15000",  "Exporting partition 0"}
            << QList<int>{5, 95, 95, 95, 95, 95};
        QTest::newRow("exporting before any count leaves the percentage")
            << QStringList{"Building multipartition", "Exporting partition 0", "N_triangles 15000",
                           "Exporting partition 1"}
            << QList<int>{5, 5, 45, 85};
        QTest::newRow("other lines and case re-emit the percentage")
            << QStringList{"Building multipartition", "loading model", "building multipartition",
                           " N_triangles 15000"}
            << QList<int>{5, 5, 5, 5};
    }
    void progressSequence()
    {
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, expected);
        const Run result = run(printingScript(lines));
        QCOMPARE(result.progress, expected);
        QCOMPARE(result.ready, 1);
        QVERIFY(result.errors.isEmpty());
    }

    void progressAcrossChunks()
    {
        // Lines that reach the wrapper in separate reads, with a NUL cutting one short.
        const QString program =
            script("echo 'N_triangles 50000'; sleep 0.3; printf 'Exporting partition\\0junk\\n'; "
                   "sleep 0.3; echo 'Uniforming normals'");
        const Run result = run(program);
        QCOMPARE(result.progress, (QList<int>{13, 26, 95}));
    }

    void levelStep_data()
    {
        QTest::addColumn<int>("triangles");
        QTest::addColumn<int>("faceLimit");
        QTest::addColumn<int>("step");
        QTest::newRow("15000") << 15000 << 10000 << 40;
        QTest::newRow("50000") << 50000 << 10000 << 13;
        QTest::newRow("1000000") << 1000000 << 10000 << 5;
        QTest::newRow("20001 halves to the limit") << 20001 << 10000 << 40;
        QTest::newRow("20002 needs two halvings") << 20002 << 10000 << 20;
        QTest::newRow("zero") << 0 << 10000 << 40;
        QTest::newRow("largest count, limit 0") << 2147483647 << 0 << 1;
        QTest::newRow("negative limit ends") << 5 << -5 << 1;
    }
    void levelStep()
    {
        QFETCH(int, triangles);
        QFETCH(int, faceLimit);
        QFETCH(int, step);
        QCOMPARE(TesselComputationProcess::levelStepFor(triangles, faceLimit), step);
    }

    void readyOnlyAfterCleanExit_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("ready");
        QTest::addColumn<QString>("message");
        QTest::newRow("exit 0") << "echo 'Uniforming normals'; exit 0" << 1 << QString();
        QTest::newRow("crash") << "echo 'Building multipartition'; kill -SEGV $$" << 0 << "Crashed";
        QTest::newRow("exit 3") << "exit 3" << 0 << "Exited with code 3";
        QTest::newRow("exit 3 with reason")
            << "echo 'first problem' >&2; echo 'cannot read model x.ply' >&2; echo >&2; exit 3" << 0
            << "Exited with code 3\ncannot read model x.ply";
    }
    void readyOnlyAfterCleanExit()
    {
        QFETCH(QString, body);
        QFETCH(int, ready);
        QFETCH(QString, message);
        const Run result = run(script(body));
        QCOMPARE(result.ready, ready);
        if (message.isEmpty()) {
            QVERIFY(result.errors.isEmpty());
        } else {
            QCOMPARE(result.errors.size(), 1);
            QCOMPARE(result.errors.first(), (QStringList{errorTitle, message}));
        }
    }

    void missingProgramFailsToStart()
    {
        const Run result = run(m_dir.filePath(QStringLiteral("tessel/tslbuilder")));
        QCOMPARE(result.errors.size(), 1);
        QCOMPARE(result.errors.first(), (QStringList{errorTitle, "Failed to start"}));
        QCOMPARE(result.ready, 0);
        QVERIFY(result.progress.isEmpty());
    }

    void defaultProgramBesideApplication()
    {
        TesselComputationProcess process;
        QCOMPARE(process.builderProgram(), QCoreApplication::applicationDirPath() + "/tessel/tslbuilder");
        QCOMPARE(process.faceLimit, 10000);
        QCOMPARE(process.levelStep, -1);
        QCOMPARE(process.percentDone, 0);
    }

    // Layouts of a prefix with the program in bin/: the build tree's tessel/ beside it, the
    // package's lib/orvelle-index-generator/tessel/ (only when executable), both or neither.
    void builderFoundBesideThenInstalled_data()
    {
        QTest::addColumn<QStringList>("present"); // "exec:" marks an executable file
        QTest::addColumn<QString>("expected");
        const QString beside = "bin/tessel/tslbuilder",
                      installed = "lib/orvelle-index-generator/tessel/tslbuilder";
        QTest::newRow("build tree") << QStringList{"exec:" + beside} << beside;
        QTest::newRow("installed") << QStringList{"exec:" + installed} << installed;
        QTest::newRow("both: build tree first")
            << QStringList{"exec:" + beside, "exec:" + installed} << beside;
        QTest::newRow("installed, not executable: the error names the build-tree place")
            << QStringList{installed} << beside;
    }
    void builderFoundBesideThenInstalled()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin"));
        for (QString relative : present) {
            const bool executable = relative.startsWith("exec:");
            relative.remove("exec:");
            QVERIFY(QDir(prefix.path()).mkpath(QFileInfo(relative).path()));
            QFile file(prefix.filePath(relative));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setPermissions(QFile::ReadOwner |
                                        (executable ? QFile::ExeOwner : QFile::Permissions())));
        }
        const QString found = TesselComputationProcess::builderProgramFor(prefix.filePath("bin"));
        QCOMPARE(QDir::cleanPath(found), prefix.filePath(expected));
    }

    void metaObjectMembersInOrder()
    {
        // Window code connects these by signature.
        const QMetaObject &meta = TesselComputationProcess::staticMetaObject;
        QStringList members;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
            members << QString::fromLatin1(meta.method(i).methodSignature());
        QCOMPARE(members, (QStringList{"error(QString,QString)", "tesselProgress(int)", "tesselReady()",
                                       "processError(QProcess::ProcessError)", "updateTslProgress()"}));
        QCOMPARE(meta.method(meta.methodOffset()).parameterNames(), (QList<QByteArray>{"title", "msg"}));
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("failed to start") << int(QProcess::FailedToStart) << "Failed to start";
        QTest::newRow("crashed") << int(QProcess::Crashed) << "Crashed";
        QTest::newRow("timed out") << int(QProcess::Timedout) << "Timedout";
        QTest::newRow("read") << int(QProcess::ReadError) << "Read error";
        QTest::newRow("write") << int(QProcess::WriteError) << "Write error";
        QTest::newRow("unknown") << int(QProcess::UnknownError) << "Unknown error";
        QTest::newRow("outside the enumeration") << 42 << "Unexpected error";
    }
    void errorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        TesselComputationProcess process;
        QSignalSpy errors(&process, &TesselComputationProcess::error);
        process.processError(static_cast<QProcess::ProcessError>(code));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().at(0).toString(), QString(errorTitle));
        QCOMPARE(errors.first().at(1).toString(), message);
    }

    // The builder starts in the temporary folder; the program's own current folder stays.
    void builderRunsInTemporaryFolder()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const QString before = QDir::currentPath();
        const QString record = m_dir.filePath(QStringLiteral("cwd.txt"));
        const Run result = run(script(QStringLiteral("pwd -P > '%1'").arg(record)));
        const QString temp = QDir(QDir::tempPath()).canonicalPath();
        QCOMPARE(QDir::currentPath(), before);
        QCOMPARE(QString::fromUtf8(readFile(record)).trimmed(), temp);
        QCOMPARE(result.ready, 1);
    }

    void startWritesNoDiagnostics()
    {
        // A build must not leave the temporary folder's path (or anything else) on the error stream.
        static QStringList messages;
        messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { messages << text; });
        const Run result = run(printingScript({"Uniforming normals"}));
        qInstallMessageHandler(previous);
        QCOMPARE(messages, QStringList());
        QCOMPARE(result.ready, 1);
    }

    void destructorKillsBuilder()
    {
        const QString pidFile = m_dir.filePath(QStringLiteral("pid.txt"));
        auto process = std::make_unique<TesselComputationProcess>();
        QSignalSpy errors(process.get(), &TesselComputationProcess::error);
        process->setBuilderProgram(script(QStringLiteral("echo $$ > '%1'; exec sleep 30").arg(pidFile)));
        process->startBuilder("in.ply", false, "out.tsl");
        QVERIFY(process->waitForStarted(5000));
        QTRY_VERIFY(QFile::exists(pidFile) && QFile(pidFile).size() > 0);
        const pid_t pid = readFile(pidFile).trimmed().toInt();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, 0), 0);
        process.reset();
        QVERIFY(::kill(pid, 0) != 0);
        QVERIFY(errors.isEmpty());
    }
};

// Run as "the program that started the builder" by builderDiesWithItsParent: starts the builder
// named in the environment and waits to be killed.
int runAsParent(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TesselComputationProcess process;
    process.setBuilderProgram(qEnvironmentVariable(parentModeVariable));
    process.startBuilder(QStringLiteral("in.ply"), false, QStringLiteral("out.tsl"));
    return app.exec();
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(parentModeVariable))
        return runAsParent(argc, argv);
    QCoreApplication app(argc, argv);
    TstTesselComputationProcess test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tesselcomputationprocess.moc"
