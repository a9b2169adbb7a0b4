// Bounds of the readers: endless special files, files that are not files, oversized photographs.
#include <ksr/inputlimits.h>
#include <ksr/meshio.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

    void endlessFileStopsAtTheBound()
    {
        QByteArray data;
        QString why;
        const QString zero = m_dir.filePath("zero.ply");
        QCOMPARE(ksr::readBoundedFile(zero, data, &why, 1 << 20), ksr::ReadResult::TooLarge);
        QVERIFY(data.isEmpty());
        QVERIFY2(why.contains("not a regular file"), qPrintable(why));
        // A regular file over the bound is refused without reading it.
        QCOMPARE(ksr::readBoundedFile(m_dir.filePath("photo.jpg"), data, &why, 0), ksr::ReadResult::TooLarge);
        QCOMPARE(ksr::readBoundedFile(m_dir.filePath("photo.jpg"), data, &why), ksr::ReadResult::Ok);
        QCOMPARE(data, QByteArray("x"));
    }

    // The whole road: a model that is a link to /dev/zero ends with a message, quickly.
    void modelLinkedToDevZeroIsRefused()
    {
        ksr::CMesh mesh;
        int mask = 0;
        QElapsedTimer timer;
        timer.start();
        const QString zero = m_dir.filePath("zero.ply");
        QCOMPARE(ksr::io::importMesh(mesh, zero, mask), int(ksr::io::ErrorFileTooLarge));
        QVERIFY(QFile::link("/dev/zero", m_dir.filePath("zero.obj")));
        QCOMPARE(ksr::io::importMesh(mesh, m_dir.filePath("zero.obj"), mask),
                 int(ksr::io::ErrorFileTooLarge));
        QVERIFY2(timer.elapsed() < 5000, "an endless file must end at the bound");
        QVERIFY(ksr::io::errorText(zero, ksr::io::ErrorFileTooLarge).contains("too large"));
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
