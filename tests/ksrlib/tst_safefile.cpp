// The checked writer: a failed write never replaces the old file and says why.
#include <ksr/safefile.h>

#include "failingsync.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Lowers the largest file this process may write; writes beyond it fail with EFBIG.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString oldFile(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        if (!writeFile(path, "old contents"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QStringList leftovers() const { return QDir(m_dir.path()).entryList({"*.part-*"}, QDir::Files); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void commitReplacesAndKeepsPermissions()
    {
        const QString path = oldFile("kept.orx");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        ksr::SafeFile file(path);
        QVERIFY(file.open());
        QCOMPARE(file.write(QByteArray(200000, 'n')), qint64(200000));
        QCOMPARE(readFile(path), QByteArray("old contents")); // nothing visible before commit
        QVERIFY2(file.commit(), qPrintable(file.errorString()));
        QCOMPARE(readFile(path), QByteArray(200000, 'n'));
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(leftovers().isEmpty());
    }

    // Every size: the failure may hit a buffered flush or the final one.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::newRow("small, fails at commit") << 5000;
        QTest::newRow("large, fails while writing") << 300000;
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(int, bytes);
        const QString path = oldFile("full.orx");
        ksr::SafeFile file(path);
        QVERIFY(file.open());
        {
            FileSizeLimit limit(4096);
            file.write(QByteArray(bytes, 'n'));
            QVERIFY(!file.commit());
        }
        QVERIFY2(file.errorString() == QString::fromLocal8Bit(std::strerror(EFBIG)),
                 qPrintable(file.errorString()));
        QCOMPARE(readFile(path), QByteArray("old contents"));
        QVERIFY(leftovers().isEmpty());
    }

    // Some file systems report a full disk or a lost write only when syncing; those that cannot
    // sync at all (EINVAL) are written without it.
    void failedSyncKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("committed");
        QTest::newRow("input/output error") << EIO << false;
        QTest::newRow("no space") << ENOSPC << false;
        QTest::newRow("sync not supported") << EINVAL << true;
    }
    void failedSyncKeepsTheOldFile()
    {
        QFETCH(int, error);
        QFETCH(bool, committed);
        const QString path = oldFile("synced.orx");
        ksr::SafeFile file(path);
        QVERIFY(file.open());
        QCOMPARE(file.write("new contents"), qint64(12));
        failingsync::fileError = error;
        const bool ok = file.commit();
        failingsync::fileError = 0;
        QCOMPARE(ok, committed);
        QCOMPARE(readFile(path), committed ? QByteArray("new contents") : QByteArray("old contents"));
        if (!committed)
            QCOMPARE(file.errorString(), QString::fromLocal8Bit(std::strerror(error)));
        QVERIFY(leftovers().isEmpty());
    }

    // Many small files: their commits leave the sync out (a failing one does not touch them), and
    // one sync of the file system covers them all and passes on what the disk says.
    void deferredSyncIsOneForMany()
    {
        failingsync::fileError = EIO;
        for (const char *name : {"a.jpg", "b.jpg"}) {
            ksr::SafeFile file(m_dir.filePath(name));
            file.deferSync();
            QVERIFY(file.open());
            QCOMPARE(file.write("thumbnail"), qint64(9));
            QVERIFY2(file.commit(), qPrintable(file.errorString()));
        }
        failingsync::fileError = 0;
        QCOMPARE(readFile(m_dir.filePath("b.jpg")), QByteArray("thumbnail"));
        QString why;
        QVERIFY2(ksr::SafeFile::syncFileSystem(m_dir.path(), &why), qPrintable(why));
        failingsync::fileSystemError = EIO;
        QVERIFY(!ksr::SafeFile::syncFileSystem(m_dir.path(), &why));
        failingsync::fileSystemError = 0;
        QCOMPARE(why, QString::fromLocal8Bit(std::strerror(EIO)));
        QVERIFY(!ksr::SafeFile::syncFileSystem(m_dir.filePath("missing"), &why));
        QCOMPARE(why, QString::fromLocal8Bit(std::strerror(ENOENT)));
        QVERIFY(leftovers().isEmpty());
    }

    void refusesWhatIsNotARegularFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << "folder.tsl"
                                << "not a regular file";
        QTest::newRow("fifo") << "fifo.tsl"
                              << "not a regular file";
        QTest::newRow("missing folder") << "no/such/out.tsl" << QString::fromLocal8Bit(std::strerror(ENOENT));
    }
    void refusesWhatIsNotARegularFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QDir(m_dir.path()).mkdir("folder.tsl");
        ::mkfifo(QFile::encodeName(m_dir.filePath("fifo.tsl")).constData(), 0600);
        QString why;
        QVERIFY(!ksr::SafeFile::canReplace(m_dir.filePath(name), &why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        ksr::SafeFile file(m_dir.filePath(name));
        QVERIFY(!file.open());
        QVERIFY(!file.commit());
        QVERIFY(QFileInfo(m_dir.filePath("fifo.tsl")).exists() &&
                !QFileInfo(m_dir.filePath("fifo.tsl")).isFile());
    }

    // A folder that takes no new file is refused up front, even when the old file is writable.
    void lockedFolderIsRefusedEarly()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not bind root; the read-only file system case is in tools/fulldisk");
        QTemporaryDir locked;
        const QString path = locked.filePath("old.orx");
        QVERIFY(writeFile(path, QByteArray()));
        QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
        QString why;
        const bool replaceable = ksr::SafeFile::canReplace(path, &why);
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!replaceable);
        QVERIFY2(why == QString::fromLocal8Bit(std::strerror(EACCES)), qPrintable(why));
    }

    // A writer killed between naming and renaming leaves a part file; the next writer removes it, and
    // only it: parts of live processes (ours, pid 1) stay. The name holds wildcard characters.
    void partsOfGoneWritersAreRemoved()
    {
        const QString path = oldFile("stale [1].orx");
        // Process ids stay below 2^22 on Linux: this one has no process.
        const QString stale = path + ".part-4194304-0";
        const QStringList live = {path + ".part-1-0", path + ".part-" + QString::number(::getpid()) + "-999"};
        for (const QString &name : live + QStringList{stale})
            QVERIFY(writeFile(name, QByteArray()));
        ksr::SafeFile file(path);
        QVERIFY(file.open());
        file.write("new");
        QVERIFY(file.commit());
        QCOMPARE(readFile(path), QByteArray("new"));
        QVERIFY2(!QFileInfo::exists(stale), "a part of a gone writer stays");
        for (const QString &name : live)
            QVERIFY2(QFile::remove(name), qPrintable(name + " of a live writer was removed"));
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
