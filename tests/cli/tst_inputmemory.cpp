// Reading an input costs memory in proportion to its size, whatever its shape: a line of millions
// of numbers in every text format and an XML attribute as long stay under eight times the file
// plus 300 MB at the reader's peak (the maximum resident size of `orvelle-index inspect`), and
// an element with a hundred thousand attributes is refused at once.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct Peak {
    bool finished = false;
    qint64 bytes = 0;
};

// Runs the tool on path in a child of its own and reads that child's maximum resident size.
Peak inspectPeak(const QString &path)
{
    const QByteArray tool = ORVELLE_BIN_DIR "/orvelle-index";
    const QByteArray file = QFile::encodeName(path);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(tool.constData(), tool.constData(), "inspect", file.constData(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    Peak peak;
    int status = 0;
    rusage usage{};
    if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
        peak.finished = WIFEXITED(status) && WEXITSTATUS(status) != 127;
        peak.bytes = qint64(usage.ru_maxrss) * 1024;
    }
    return peak;
}

bool writeFile(const QString &path, const QByteArray &head, const QByteArray &repeated, qint64 times,
               const QByteArray &tail = QByteArray())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(head) != head.size())
        return false;
    const QByteArray block = repeated.repeated(1 << 16);
    for (qint64 written = 0; written < times; written += 1 << 16)
        if (out.write(block) != block.size())
            return false;
    return out.write(tail) == tail.size();
}

const qint64 LineNumbers = qint64(10) << 20; // "1 " ten million times: a 20 MB line

} // namespace

class TestInputMemory : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void longLines_data()
    {
        QTest::addColumn<QString>("name"); // what is inspected, relative to the test folder
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("NVM") << "long.nvm" << QByteArray("NVM_V3\n\n") << QByteArray("\n");
        QTest::newRow("Bundler") << "long.out" << QByteArray("# Bundle file v0.3\n") << QByteArray("\n");
        QTest::newRow("COLMAP text") << "colmap/cameras.txt" << QByteArray("1 PINHOLE 64 48 ")
                                     << QByteArray("\n");
        QTest::newRow("project attribute")
            << "long.pfp"
            << QByteArray("<PolyforgeProject><RasterGroup><PFRaster><KSRCamera RotationMatrix=\"")
            << QByteArray("\"/><Plane semantic=\"1\" "
                          "fileName=\"a.jpg\"/></PFRaster></RasterGroup></PolyforgeProject>\n");
    }
    void longLines()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, tail);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, head, "1 ", LineNumbers, tail));
        if (name.startsWith("colmap/")) {
            QVERIFY(writeFile(m_dir.filePath("colmap/images.txt"), "", "", 0));
            QVERIFY(writeFile(m_dir.filePath("colmap/points3D.txt"), "", "", 0));
        }
        const qint64 size = QFileInfo(path).size();
        const Peak peak = inspectPeak(path);
        QVERIFY(peak.finished);
        qint64 bound = 8 * size + (qint64(300) << 20);
#if defined(__SANITIZE_ADDRESS__)
        bound *= 3; // the sanitizer's shadow memory and quarantine come on top
#endif
        QVERIFY2(peak.bytes < bound, qPrintable(QStringLiteral("peak %1 MB for a %2 MB file, bound %3 MB")
                                                    .arg(peak.bytes >> 20)
                                                    .arg(size >> 20)
                                                    .arg(bound >> 20)));
        QFile::remove(path);
    }

    void manyAttributesRefusedAtOnce()
    {
        const QString path = m_dir.filePath("attributes.pfp");
        QByteArray attributes;
        for (int i = 0; i < 100000; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"1\"";
        QVERIFY(writeFile(path, "<PolyforgeProject" + attributes + "/>\n", "", 0));
        QElapsedTimer timer;
        timer.start();
        QProcess tool;
        tool.start(QStringLiteral(ORVELLE_BIN_DIR "/orvelle-index"), {"inspect", path});
        QVERIFY(tool.waitForFinished(60000));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(tool.exitCode(), 1);
        const QByteArray said = tool.readAllStandardError();
        QVERIFY2(said.contains("more than 1024 attributes"), said.constData());
    }
};

QTEST_GUILESS_MAIN(TestInputMemory)
#include "tst_inputmemory.moc"
