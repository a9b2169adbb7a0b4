// Every program that writes files, run against a full disk: the old files stay as they were, the
// program fails with the system's reason, and no empty or cut file is left behind.
//
// As root (as in CI) the test mounts a small tmpfs and fills it, so the writes meet a real
// "No space left on device". Otherwise, or when mounting is not allowed, the programs run under a
// file-size limit (RLIMIT_FSIZE, SIGXFSZ ignored) and meet "File too large" instead.

#include "clitestutil.h"
#include "downsamplingthread.h"
#include "orvelleindex.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace
{

const QByteArray OldIndex = "<?xml version=\"1.0\"?>\n<scene updirection=\"0 0 1\"/>\n";
const QByteArray OldTessel = "an earlier multiresolution model";
const rlim_t ChildFileLimit = 1000; // below any thumbnail, index or model the programs write

struct Run {
    int exitCode = -1;
    bool crashed = false;
    QString err;
};

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;  // the sample dataset and the inputs, on the ordinary disk
    QTemporaryDir m_small; // mount point of the small file system, or the folder under the limit
    bool m_mounted = false;
    QString m_dataset; // the sample dataset copied onto the small file system
    QString m_reason;  // the system's words the programs must pass on

    // underLimit: a file-size limit as `ulimit -f` sets it, the signal left to its default, which
    // ends a program that does not ignore it; otherwise the limit only when no disk was mounted.
    Run runProgram(const QString &program, const QStringList &arguments, bool underLimit = false)
    {
        QProcess process;
        if (underLimit)
            process.setChildProcessModifier([] {
                std::signal(SIGXFSZ, SIG_DFL);
                rlimit limit{ChildFileLimit, ChildFileLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        else if (!m_mounted)
            process.setChildProcessModifier([] {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{ChildFileLimit, ChildFileLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        process.start(program, arguments);
        Run run;
        if (!process.waitForFinished(300000)) {
            process.kill();
            process.waitForFinished();
        }
        run.crashed = process.exitStatus() != QProcess::NormalExit;
        run.exitCode = process.exitCode();
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // Writes until the file system refuses: afterwards not even a page is free.
    bool fill()
    {
        if (!m_mounted)
            return true;
        const int fd = ::open(QFile::encodeName(m_small.filePath("filler")).constData(),
                              O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        while (::write(fd, block.constData(), 1) > 0) {
        }
        ::close(fd);
        return true;
    }

    void unfill() { QFile::remove(m_small.filePath("filler")); }

    // Files the failed programs left: temporary parts, or empty ones.
    QStringList debris() const
    {
        QStringList found;
        QDirIterator it(m_small.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            if (info.fileName().contains(".part-") || info.size() == 0)
                found << info.filePath();
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid() && m_small.isValid());
        const QString sample = m_work.filePath("sample");
        QString why;
        QVERIFY2(makeSample(sample, 4, "320x240", why, 2000), qPrintable(why));

        if (::geteuid() == 0)
            m_mounted = ::mount("tmpfs", QFile::encodeName(m_small.path()).constData(), "tmpfs", 0,
                                "size=1m,mode=0700") == 0;
        m_reason = QString::fromLocal8Bit(std::strerror(m_mounted ? ENOSPC : EFBIG));
        qInfo("writing into %s, expecting \"%s\"", m_mounted ? "a full tmpfs" : "a file-size limit",
              qPrintable(m_reason));

        m_dataset = m_small.filePath("dataset");
        QVERIFY(QDir().mkpath(m_dataset + "/photos"));
        QVERIFY(QFile::copy(sample + "/sample.pfp", m_dataset + "/sample.pfp"));
        for (const QString &photo : QDir(sample + "/photos").entryList(QDir::Files))
            QVERIFY(QFile::copy(sample + "/photos/" + photo, m_dataset + "/photos/" + photo));
        // The models stay on the ordinary disk: the project names them, they are only read.
        QVERIFY(QFile::link(sample + "/model", m_dataset + "/model"));
        QVERIFY(writeFile(m_dataset + "/out.orx", OldIndex));
        // A reconstruction without a mesh, on the ordinary disk: its 3D points become a point cloud
        // written beside the index.
        const QString reconstruction = m_work.filePath("reconstruction");
        QVERIFY(QDir().mkpath(reconstruction + "/sparse") && QDir().mkpath(reconstruction + "/images"));
        QVERIFY(QFile::copy(sample + "/photos/img_0001.jpg", reconstruction + "/images/a.jpg"));
        QByteArray points;
        for (int i = 0; i < 200; ++i)
            points += QByteArray::number(i + 1) + " " + QByteArray::number(i) + " 0 0 128 128 128 0.5\n";
        QVERIFY(writeFile(reconstruction + "/sparse/cameras.txt", "1 PINHOLE 320 240 300 300 160 120\n"));
        QVERIFY(writeFile(reconstruction + "/sparse/images.txt", "1 1 0 0 0 0 0 5 1 a.jpg\n\n"));
        QVERIFY(writeFile(reconstruction + "/sparse/points3D.txt", points));
        QVERIFY(writeFile(m_small.filePath("old.tsl"), OldTessel));
    }

    void cleanupTestCase()
    {
        if (m_mounted)
            ::umount(QFile::encodeName(m_small.path()).constData());
    }

    void init() { QVERIFY(fill()); }
    void cleanup() { unfill(); }

    void indexWriterKeepsTheOldIndex()
    {
        if (!m_mounted)
            QSKIP("the writer runs in this process, which has no file-size limit; the tool runs below");
        OrvelleIndex index;
        ShotCollection shots;
        shots.setImagePaths(QStringList(400, m_dataset + "/photos/img_0001.jpg"));
        shots.setCameras(QVector<Camera>(400));
        index.addCollection(shots);
        QVERIFY(!index.save(m_dataset + "/out.orx", true));
        QVERIFY2(index.errorString().contains(m_reason), qPrintable(index.errorString()));
        QCOMPARE(readFile(m_dataset + "/out.orx"), OldIndex);
        QVERIFY2(debris().isEmpty(), qPrintable(debris().join(", ")));
    }

    void generateFails_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("mentioned"); // empty: the system's reason
        QTest::newRow("thumbnails on the full disk") << QStringList() << QString();
        // The index write fails at its very end, and still says why.
        QTest::newRow("only the index on the full disk") << QStringList{"--thumbnails", "hires"} << QString();
    }
    void generateFails()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, mentioned);
        const Run run = runProgram(
            installedTool(),
            QStringList{"generate", m_dataset + "/sample.pfp", "-o", m_dataset + "/out.orx"} + options);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(mentioned.isEmpty() ? m_reason : mentioned), qPrintable(run.err));
        QCOMPARE(readFile(m_dataset + "/out.orx"), OldIndex);
        QVERIFY2(debris().isEmpty(), qPrintable(debris().join(", ")));
        // Whatever thumbnail was made is whole, so a later run may keep it.
        QDirIterator thumbnails(m_dataset + "/photos/thumbnails", QDir::Files);
        while (thumbnails.hasNext()) {
            const QString thumbnail = thumbnails.next();
            QVERIFY2(DownsamplingThread::isUsableThumbnail(thumbnail), qPrintable(thumbnail));
        }
    }

    // Under `ulimit -f` the tool is not killed by the signal: it says why, exits 1, and the old
    // index on the ordinary disk stays, with no part of the new one beside it.
    void fileSizeLimitIsReported()
    {
        const QString folder = m_work.filePath("limited");
        QVERIFY(QDir().mkpath(folder));
        const QString index = folder + "/out.orx";
        QVERIFY(writeFile(index, OldIndex));
        const Run run =
            runProgram(installedTool(),
                       {"generate", m_dataset + "/sample.pfp", "-o", index, "--thumbnails", "hires"}, true);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("out.orx") &&
                     run.err.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
                 qPrintable(run.err));
        QCOMPARE(readFile(index), OldIndex);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"out.orx"});
    }

    // The point cloud goes through the checked writer: the system's reason, no cut file.
    void pointCloudFails()
    {
        const Run run = runProgram(installedTool(), {"generate", m_work.filePath("reconstruction/sparse"),
                                                     "-o", m_dataset + "/reconstruction.orx"});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("reconstruction_points.ply") && run.err.contains(m_reason) &&
                     !run.err.contains("Unknown error"),
                 qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(m_dataset + "/reconstruction_points.ply"));
        QVERIFY2(debris().isEmpty(), qPrintable(debris().join(", ")));
    }

    // A folder that takes no new file, holding a writable old index, is refused before any step.
    // As root, whom permissions do not bind, the file system runs out of files (inodes) instead.
    void lockedFolderIsRefusedBeforeAnyWork()
    {
        const QByteArray mountPoint = QFile::encodeName(m_small.path());
        auto limitFiles = [&](quint64 files) {
            const QByteArray options = "nr_inodes=" + QByteArray::number(files);
            return ::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT, options.constData()) == 0;
        };
        struct statvfs usage;
        if (m_mounted) {
            QVERIFY(::statvfs(mountPoint.constData(), &usage) == 0);
            QVERIFY(limitFiles(usage.f_files - usage.f_ffree));
        } else {
            QVERIFY(QFile::setPermissions(m_dataset, QFile::ReadOwner | QFile::ExeOwner));
        }
        const Run run = runProgram(installedTool(),
                                   {"generate", m_dataset + "/sample.pfp", "-o", m_dataset + "/out.orx"});
        if (m_mounted)
            QVERIFY(limitFiles(usage.f_files));
        else
            QFile::setPermissions(m_dataset, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(run.exitCode, 1);
        const QString reason = m_mounted ? m_reason : QString::fromLocal8Bit(std::strerror(EACCES));
        QVERIFY2(run.err.contains("out.orx") && run.err.contains(reason), qPrintable(run.err));
        QVERIFY2(!run.err.contains("thumbnails:"), "a step ran before the check");
        QCOMPARE(readFile(m_dataset + "/out.orx"), OldIndex);
    }

    void tslbuilderKeepsTheOldModel()
    {
        const QString output = m_small.filePath("old.tsl");
        const Run run = runProgram(QStringLiteral(ORVELLE_BIN_DIR "/tessel/tslbuilder"),
                                   {"-o", output, m_work.filePath("sample/model/scene_lowres.ply")});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(m_reason) && !run.err.contains("Unknown error"), qPrintable(run.err));
        QCOMPARE(readFile(output), OldTessel);
        QVERIFY2(debris().isEmpty(), qPrintable(debris().join(", ")));
    }

    void sampleGeneratorFails()
    {
        const Run run = runProgram(QStringLiteral(ORVELLE_BIN_DIR "/make-sample-dataset"),
                                   {m_small.filePath("sample2"), "--views", "2", "--size", "320x240"});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(m_reason), qPrintable(run.err));
        QVERIFY2(debris().isEmpty(), qPrintable(debris().join(", ")));
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
