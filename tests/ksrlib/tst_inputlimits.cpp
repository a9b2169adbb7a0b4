// Bounds of the readers: endless special files, files that are not files, oversized photographs.
#include <ksr/decodebudget.h>
#include <ksr/inputlimits.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>

class TestInputLimits : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile regular(m_dir.filePath("photo.jpg"));
        QVERIFY(regular.open(QIODevice::WriteOnly) && regular.write("x") == 1);
        regular.close();
        QVERIFY(QDir(m_dir.path()).mkdir("folder.jpg"));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath("fifo.jpg")).constData(), 0600) == 0);
        QVERIFY(QFile::link(m_dir.filePath("loop-b.jpg"), m_dir.filePath("loop-a.jpg")));
        QVERIFY(QFile::link(m_dir.filePath("loop-a.jpg"), m_dir.filePath("loop-b.jpg")));
        QVERIFY(QFile::link(m_dir.filePath("gone.jpg"), m_dir.filePath("dangling.jpg")));
        QVERIFY(QFile::link("/dev/zero", m_dir.filePath("zero.ply")));
    }

    void fileProblemsAreNamed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // empty: readable
        QTest::newRow("regular") << "photo.jpg"
                                 << "";
        QTest::newRow("folder") << "folder.jpg"
                                << "is a folder";
        QTest::newRow("fifo") << "fifo.jpg"
                              << "is a FIFO";
        QTest::newRow("link loop") << "loop-a.jpg"
                                   << "is a link loop";
        QTest::newRow("dangling link") << "dangling.jpg"
                                       << "is a link to a file that does not exist";
        QTest::newRow("missing") << "absent.jpg"
                                 << "does not exist";
        QTest::newRow("device") << "zero.ply"
                                << "is a device";
    }
    void fileProblemsAreNamed()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString problem = ksr::inputFileProblem(m_dir.filePath(name));
        if (expected.isEmpty())
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        else
            QVERIFY2(problem.startsWith(expected), qPrintable(problem));
    }

    // Only regular files are read: a FIFO does not block, a device is not read at all.
    void specialFilesAreRefusedUnread_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fifo") << "fifo.jpg"
                              << "is a FIFO";
        QTest::newRow("link to /dev/zero") << "zero.ply"
                                           << "is a device";
        QTest::newRow("folder") << "folder.jpg"
                                << "is a folder";
    }
    void specialFilesAreRefusedUnread()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QByteArray data;
        QString why;
        QCOMPARE(ksr::readBoundedFile(m_dir.filePath(name), data, &why), ksr::ReadResult::NotAFile);
        QVERIFY(data.isEmpty());
        QVERIFY2(why.contains(name) && why.contains(expected), qPrintable(why));
    }

    void regularFileBound()
    {
        QByteArray data;
        QString why;
        // A regular file over the bound is refused without reading it.
        QCOMPARE(ksr::readBoundedFile(m_dir.filePath("photo.jpg"), data, &why, 0), ksr::ReadResult::TooLarge);
        QCOMPARE(ksr::readBoundedFile(m_dir.filePath("photo.jpg"), data, &why), ksr::ReadResult::Ok);
        QCOMPARE(data, QByteArray("x"));
        QCOMPARE(ksr::readBoundedFile(m_dir.filePath("absent.jpg"), data, &why), ksr::ReadResult::CannotOpen);
    }

    // Decodes share one budget: while a 16000 x 16000 photograph (2 GB with its copy, held as the
    // whole budget) is decoded, the next one waits.
    void decodesWaitForTheirBudget()
    {
        const qint64 huge = ksr::DecodeBudget::bytesFor(QSize(16000, 16000));
        QCOMPARE(huge, qint64(2) * 4 * 16000 * 16000);
        auto holder = std::make_unique<ksr::DecodeBudget>(huge);
        std::atomic<bool> decoded{false};
        std::thread next([&] {
            const ksr::DecodeBudget small(ksr::DecodeBudget::bytesFor(QSize(512, 384)));
            decoded = true;
        });
        QTest::qWait(300);
        QVERIFY(!decoded);
        holder.reset();
        next.join();
        QVERIFY(decoded);
    }

    void pixelBudget_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("camera photograph") << QSize(6000, 4000) << true;
        QTest::newRow("at the side limit") << QSize(20000, 20000) << true;
        QTest::newRow("too wide") << QSize(20001, 10) << false;
        QTest::newRow("too tall") << QSize(10, 65000) << false;
        QTest::newRow("both sides over") << QSize(30000, 30000) << false;
        QTest::newRow("size unknown") << QSize() << true;
    }
    void pixelBudget()
    {
        QFETCH(QSize, size);
        QFETCH(bool, accepted);
        QString why;
        QCOMPARE(ksr::withinPixelBudget(size, &why), accepted);
        if (!accepted)
            QVERIFY2(why.contains(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())),
                     qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestInputLimits)
#include "tst_inputlimits.moc"
