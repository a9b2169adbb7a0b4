// Reading an input costs memory in proportion to its size, whatever its shape: a line of millions
// of numbers in every text format and an XML attribute as long stay under eight times the file
// plus 300 MB at the reader's peak (the maximum resident size of `orvelle-index inspect`); a line
// beyond what any such file holds is refused by file and line within that bound; an index or project of
// tens of thousands of elements is read within it too, and XML whose structure would take a parser long
// is refused at once.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct Peak {
    bool finished = false;
    int exitCode = -1;
    qint64 bytes = 0;
    QByteArray err;
};

// Runs the tool on path in a child of its own and reads that child's maximum resident size.
Peak inspectPeak(const QString &path)
{
    const QByteArray tool = ORVELLE_BIN_DIR "/orvelle-index";
    const QByteArray file = QFile::encodeName(path);
    QTemporaryFile errFile;
    if (!errFile.open())
        return Peak();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(errFile.handle(), 2);
        ::execl(tool.constData(), tool.constData(), "inspect", file.constData(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    Peak peak;
    int status = 0;
    rusage usage{};
    if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
        peak.finished = WIFEXITED(status) && WEXITSTATUS(status) != 127;
        peak.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        peak.bytes = qint64(usage.ru_maxrss) * 1024;
    }
    errFile.seek(0);
    peak.err = errFile.readAll();
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

// The elements of an index shot or a project raster: 400 bytes each, as written by the tool.
const char *const CameraAttributes =
    "RotationMatrix=\"0.757012 -0.653198 -0.0163029 0 0.127784 0.123532 0.984079 0 -0.640784 "
    "-0.747043 0.176984 0 0 0 0 1 \" TranslationVector=\"40.3077 49.712 -15.3568 \" FocalMm=\"28\" "
    "CenterPx=\"800 600 \" LensDistortion=\"0 0 \" ViewportPx=\"1600 1200 \" PixelSizeMm=\"0.0225 0.0225 \"";

QByteArray manyShots(int count)
{
    QByteArray text = "<scene name=\"s\"><collection thumbnailBar=\"bottom\" shotColor=\"1 1 1 \">\n";
    for (int i = 0; i < count; ++i)
        text += "<shot id=\"" + QByteArray::number(i) +
                "\" sem=\"0\" colormap=\"./photos/img.jpg\" thumbnail=\"./photos/thumbnails/img.jpg\" "
                "projectable=\"true\" depth=\"33.1\">\n  <KSRCamera " +
                CameraAttributes + "/>\n</shot>\n";
    return text + "</collection><model filename=\"./model/scene.ply\"/></scene>\n";
}

QByteArray manyRasters(int count)
{
    const QByteArray raster = QByteArray("<PFRaster label=\"img\">\n  <KSRCamera ") + CameraAttributes +
                              "/>\n  <Plane fileName=\"photos/img.jpg\"/>\n</PFRaster>\n";
    return "<PolyforgeProject><RasterGroup>\n" + raster.repeated(count) +
           "</RasterGroup><MeshGroup><PFMesh filename=\"m.ply\"/></MeshGroup></PolyforgeProject>\n";
}

bool withinBound(const Peak &peak, qint64 size)
{
    qint64 bound = 8 * size + (qint64(300) << 20);
#if defined(__SANITIZE_ADDRESS__)
    bound *= 3; // the sanitizer's shadow memory and quarantine come on top
#endif
    if (peak.bytes < bound)
        return true;
    qWarning("peak %lld MB for a %lld MB file, bound %lld MB", peak.bytes >> 20, size >> 20, bound >> 20);
    return false;
}

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
        const Peak peak = inspectPeak(path);
        QVERIFY(peak.finished);
        QVERIFY(withinBound(peak, QFileInfo(path).size()));
        QFile::remove(path);
    }

    // 25 MB of XML elements: a document tree of them alone would take 800 MB.
    void manyElements_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("index of 60,000 shots") << "many.orx" << manyShots(60000);
        QTest::newRow("project of 60,000 rasters") << "many.pfp" << manyRasters(60000);
    }
    void manyElements()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, content, "", 0));
        const Peak peak = inspectPeak(path);
        QCOMPARE(peak.exitCode, 0);
        QVERIFY(withinBound(peak, content.size()));
        QFile::remove(path);
    }

    // Just over the bound of each reader: refused by file and line (models: by file), not parsed.
    void overlongLinesRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("numbers"); // "1 " this many times
        QTest::addColumn<QString>("said");
        const qint64 reconstruction = (qint64(64) << 19) + 1;
        QTest::newRow("NVM") << "over.nvm" << QByteArray("NVM_V3\n\n1\n") << reconstruction
                             << "over.nvm, line 4: the line is longer than 64 MB";
        QTest::newRow("Bundler") << "over.out" << QByteArray("# Bundle file v0.3\n1 0\n") << reconstruction
                                 << "over.out, line 3: the line is longer than 64 MB";
        QTest::newRow("COLMAP text") << "colmap/cameras.txt" << QByteArray("# c\n1 PINHOLE 64 48 ")
                                     << reconstruction
                                     << "cameras.txt, line 2: the line is longer than 64 MB";
        QTest::newRow("OFF") << "over.off" << QByteArray("OFF\n1 0 0\n") << (qint64(4) << 19) + 1
                             << "A line of the OFF file is longer than 4 MB";
        QTest::newRow("PLY header") << "over.ply" << QByteArray("ply\ncomment ") << (qint64(4) << 19) + 1
                                    << "A line of the PLY file is longer than 4 MB";
    }
    void overlongLinesRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, head);
        QFETCH(qint64, numbers);
        QFETCH(QString, said);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, head, "1 ", numbers, "\n"));
        if (name.startsWith("colmap/")) {
            QVERIFY(writeFile(m_dir.filePath("colmap/images.txt"), "", "", 0));
            QVERIFY(writeFile(m_dir.filePath("colmap/points3D.txt"), "", "", 0));
        }
        const Peak peak = inspectPeak(path);
        QCOMPARE(peak.exitCode, 1);
        QVERIFY2(QString::fromUtf8(peak.err).contains(said), peak.err.constData());
        QVERIFY(withinBound(peak, QFileInfo(path).size()));
        QFile::remove(path);
    }

    // Structure that would take the parser long (quadratic attribute checks, millions of nodes) is
    // refused before parsing.
    void hostileXmlRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("said");
        QByteArray attributes;
        for (int i = 0; i < 100000; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"1\"";
        QTest::newRow("100,000 attributes") << "attributes.pfp"
                                            << "<PolyforgeProject" + attributes + "/>\n"
                                            << "more than 128 attributes (line 1)";
        QTest::newRow("ten million elements")
            << "elements.orx"
            << "<scene>\n" + QByteArray("<a/>").repeated(10000000) + "</scene>\n"
            << "has more than 2000000 elements and attributes (line 2)";
    }
    void hostileXmlRefusedAtOnce()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, content, "", 0));
        QElapsedTimer timer;
        timer.start();
        QProcess tool;
        tool.start(QStringLiteral(ORVELLE_BIN_DIR "/orvelle-index"), {"inspect", path});
        QVERIFY(tool.waitForFinished(60000));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(tool.exitCode(), 1);
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(err.contains(said), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestInputMemory)
#include "tst_inputmemory.moc"
