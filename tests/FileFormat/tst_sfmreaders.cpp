// The COLMAP, NVM and Bundler readers on small hand-made files (what they refuse and what they
// warn about) and on cut and byte-flipped copies of the committed fixtures (never a crash).
#include "bundlerfile.h"
#include "colmapmodel.h"
#include "nvmfile.h"
#include "sfmtestutil.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>

using Files = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(Files)

namespace
{

const QByteArray goodCameras = "# id model w h params\n1 PINHOLE 800 600 700 710 400 300\n";
const QByteArray goodImages = "1 1 0 0 0 0 0 5 1 a.jpg\n10 20 1\n2 1 0 0 0 1 0 5 1 b.jpg\n\n";

SfmReconstruction readAny(const QString &path)
{
    if (path.endsWith(QLatin1String(".nvm"), Qt::CaseInsensitive))
        return NvmFile::read(path);
    if (path.endsWith(QLatin1String(".out"), Qt::CaseInsensitive))
        return BundlerFile::read(path);
    return ColmapModel::readModel(path);
}

QByteArray littleEndian(quint64 value, int bytes)
{
    QByteArray data(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        data[i] = char((value >> (8 * i)) & 0xff);
    return data;
}

QByteArray doubles(std::initializer_list<double> values)
{
    QByteArray data;
    for (double v : values) {
        char bytes[8];
        qToLittleEndian(v, bytes);
        data.append(bytes, 8);
    }
    return data;
}

// A binary camera record: id 1, model, 800 x 600, then the parameters.
QByteArray binaryCamera(int model, std::initializer_list<double> params)
{
    return littleEndian(1, 4) + littleEndian(quint64(model), 4) + littleEndian(800, 8) +
           littleEndian(600, 8) + doubles(params);
}

QByteArray binaryImage(quint64 pointCount)
{
    return littleEndian(1, 4) + doubles({1, 0, 0, 0, 0, 0, 5}) + littleEndian(1, 4) + "a.jpg" +
           QByteArray(1, '\0') + littleEndian(pointCount, 8);
}

// NVM_V3, the camera count as given, that many camera lines, then the rest.
QByteArray nvmFile(const QByteArray &cameraCount, int cameraLines, const QByteArray &rest = QByteArray())
{
    QByteArray text = "NVM_V3\n" + cameraCount + '\n';
    for (int i = 0; i < cameraLines; ++i)
        text += "c" + QByteArray::number(i) + ".jpg 700 1 0 0 0 0 0 0 0 0\n";
    return text + rest;
}

// A Bundler file with the counts line as given, that many cameras, then the point blocks.
QByteArray bundlerFile(const QByteArray &counts, int cameras, const QByteArray &points)
{
    QByteArray text = "# Bundle file v0.3\n" + counts + '\n';
    for (int i = 0; i < cameras; ++i)
        text += "700 0 0\n1 0 0\n0 1 0\n0 0 1\n0 0 0\n";
    return text + points;
}

// A Bundler point with the view list as given.
QByteArray bundlerPoint(const QByteArray &views = "1 0 0 1.5 2.5")
{
    return "1 2 3\n10 20 30\n" + views + '\n';
}

QString fixture(const QString &name)
{
    return QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sfm/") + name;
}

} // namespace

class TestSfmReaders : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
    void warnings_data();
    void warnings();
    void countBoundaries_data();
    void countBoundaries();
    void damagedFixturesNeverCrash_data();
    void damagedFixturesNeverCrash();
    void specialFilesAreRefused();

private:
    QTemporaryDir dir;
    int folders = 0;
    QString writeFiles(const Files &files);
};

QString TestSfmReaders::writeFiles(const Files &files)
{
    const QString folder = dir.filePath(QString::number(++folders));
    for (auto it = files.begin(); it != files.end(); ++it)
        writeFile(folder + QLatin1Char('/') + it.key(), it.value());
    return folder;
}

void TestSfmReaders::refused_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("entry");        // read this (the folder itself when empty)
    QTest::addColumn<QStringList>("expected"); // in the error
    const QByteArray points = "";
    QTest::newRow("COLMAP model not accepted")
        << Files{{"cameras.txt", "1 OPENCV_FISHEYE 800 600 1 2 3 4 5 6 7 8\n"}, {"images.txt", goodImages}}
        << "" << QStringList{"cameras.txt, line 1", "OPENCV_FISHEYE"};
    QTest::newRow("COLMAP parameter count")
        << Files{{"cameras.txt", "1 PINHOLE 800 600 700 400 300\n"}, {"images.txt", goodImages}} << ""
        << QStringList{"cameras.txt, line 1", "PINHOLE"};
    QTest::newRow("COLMAP image refers to a missing camera")
        << Files{{"cameras.txt", goodCameras}, {"images.txt", "# x\n1 1 0 0 0 0 0 5 7 a.jpg\n\n"}} << ""
        << QStringList{"images.txt, line 2", "camera 7"};
    // Names from the file are quoted as they are, placeholders and all.
    QTest::newRow("COLMAP image name holding placeholders")
        << Files{{"cameras.txt", goodCameras}, {"images.txt", "1 1 0 0 0 0 0 5 7 %2%3.jpg\n\n"}} << ""
        << QStringList{"image \"%2%3.jpg\" refers to camera 7, which"};
    QTest::newRow("COLMAP NaN in a pose")
        << Files{{"cameras.txt", goodCameras}, {"images.txt", "1 nan 0 0 0 0 0 5 1 a.jpg\n\n"}} << ""
        << QStringList{"images.txt, line 1"};
    QTest::newRow("COLMAP zero quaternion")
        << Files{{"cameras.txt", goodCameras}, {"images.txt", "1 0 0 0 0 0 0 5 1 a.jpg\n\n"}} << ""
        << QStringList{"images.txt, line 1", "rotation"};
    QTest::newRow("COLMAP point seen by a missing image")
        << Files{{"cameras.txt", goodCameras},
                 {"images.txt", goodImages},
                 {"points3D.txt", "1 0 0 0 1 2 3 0.5 1 0 9 0\n"}}
        << "" << QStringList{"points3D.txt, line 1", "image 9"};
    QTest::newRow("COLMAP odd track") << Files{{"cameras.txt", goodCameras},
                                               {"images.txt", goodImages},
                                               {"points3D.txt", "1 0 0 0 1 2 3 0.5 1\n"}}
                                      << "" << QStringList{"points3D.txt, line 1"};
    QTest::newRow("COLMAP binary absurd camera count")
        << Files{{"cameras.bin", littleEndian(quint64(1) << 60, 8) + binaryCamera(1, {700, 710, 400, 300})},
                 {"images.bin", littleEndian(0, 8)},
                 {"points3D.bin", littleEndian(0, 8)}}
        << "" << QStringList{"cameras.bin, header"};
    QTest::newRow("COLMAP binary model not accepted")
        << Files{{"cameras.bin", littleEndian(1, 8) + binaryCamera(5, {1, 2, 3, 4, 5, 6, 7, 8})},
                 {"images.bin", littleEndian(0, 8)},
                 {"points3D.bin", littleEndian(0, 8)}}
        << "" << QStringList{"cameras.bin, record 1", "OPENCV_FISHEYE"};
    QTest::newRow("COLMAP binary unknown model id")
        << Files{{"cameras.bin", littleEndian(1, 8) + binaryCamera(77, {1, 2, 3})},
                 {"images.bin", littleEndian(0, 8)},
                 {"points3D.bin", littleEndian(0, 8)}}
        << "" << QStringList{"cameras.bin, record 1", "model id 77"};
    QTest::newRow("COLMAP binary absurd 2D point count")
        << Files{{"cameras.bin", littleEndian(1, 8) + binaryCamera(1, {700, 710, 400, 300})},
                 {"images.bin", littleEndian(1, 8) + binaryImage(quint64(1) << 50)},
                 {"points3D.bin", littleEndian(0, 8)}}
        << "" << QStringList{"images.bin, record 1"};
    QTest::newRow("COLMAP binary NaN parameter")
        << Files{{"cameras.bin", littleEndian(1, 8) + binaryCamera(1, {700, qQNaN(), 400, 300})},
                 {"images.bin", littleEndian(0, 8)},
                 {"points3D.bin", littleEndian(0, 8)}}
        << "" << QStringList{"cameras.bin, record 1"};
    QTest::newRow("NVM measurement field holding a placeholder")
        << Files{{"s.nvm", "NVM_V3\n1\na.jpg 700 1 0 0 0 0 0 0 0 0\n1\n0 0 5 1 2 3 1 %2 0 1.5 2.5\n"}}
        << "s.nvm" << QStringList{"camera \"%2\"; the model has 1 cameras"};
    QTest::newRow("NVM huge focal length")
        << Files{{"s.nvm", "NVM_V3\n1\na.jpg 1e300 1 0 0 0 0 0 0 0 0\n0\n"}} << "s.nvm"
        << QStringList{"s.nvm, line 3"};
    QTest::newRow("NVM other version")
        << Files{{"s.nvm", "NVM_V2\n"}} << "s.nvm" << QStringList{"s.nvm, line 1"};
    QTest::newRow("Bundler without image list")
        << Files{{"b.out", "# Bundle file v0.3\n0 0\n"}} << "b.out" << QStringList{"b.out", "list.txt"};
    QTest::newRow("Bundler rotation that is no rotation")
        << Files{{"b.out", "# Bundle file v0.3\n1 0\n700 0 0\n2 0 0\n0 1 0\n0 0 1\n0 0 0\n"},
                 {"list.txt", "a.jpg\n"}}
        << "b.out" << QStringList{"b.out, line 7", "rotation"};
}

void TestSfmReaders::refused()
{
    QFETCH(Files, files);
    QFETCH(QString, entry);
    QFETCH(QStringList, expected);
    const QString folder = writeFiles(files);
    const SfmReconstruction result = readAny(entry.isEmpty() ? folder : folder + QLatin1Char('/') + entry);
    QVERIFY(!result.ok());
    for (const QString &text : expected)
        QVERIFY2(result.error.contains(text), qPrintable(result.error));
}

void TestSfmReaders::warnings_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("images");
    QTest::addColumn<QString>("warning"); // the one warning expected
    QTest::newRow("OPENCV tangential distortion, named once")
        << Files{{"cameras.txt", "1 OPENCV 800 600 700 700 400 300 0.1 0.01 0.001 0\n"
                                 "2 OPENCV 800 600 700 700 400 300 0.1 0.01 0 0.002\n"},
                 {"images.txt", "1 1 0 0 0 0 0 5 1 a.jpg\n\n2 1 0 0 0 0 0 5 2 b.jpg\n\n"},
                 {"points3D.txt", ""}}
        << "" << 2 << "OPENCV";
    QTest::newRow("COLMAP without points")
        << Files{{"cameras.txt", goodCameras}, {"images.txt", goodImages}} << "" << 2 << "points3D.txt";
    QTest::newRow("NVM with two further models")
        << Files{{"s.nvm",
                  "NVM_V3\n\n1\na.jpg 700 1 0 0 0 0 0 0 0 0\n0\n\n1\nb.jpg 700 1 0 0 0 0 0 0 0 0\n0\n"
                  "2\nc.jpg 700 1 0 0 0 0 0 0 0 0\nd.jpg 700 1 0 0 0 0 0 0 0 0\n1\n0 0 1 1 2 3 0\n0\n"}}
        << "s.nvm" << 1 << "2 more models";
    QTest::newRow("NVM distortion") << Files{{"s.nvm", "NVM_V3\n1\na.jpg 700 1 0 0 0 0 0 0 -0.05 0\n"}}
                                    << "s.nvm" << 1 << "1 NVM cameras";
    QTest::newRow("Bundler camera not reconstructed")
        << Files{{"scene.bundle.out", "# Bundle file v0.3\n2 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n"
                                      "700 -0.1 0.01\n1 0 0\n0 1 0\n0 0 1\n0 0 0\n"},
                 {"scene.list.txt", "left out.jpg\nb.jpg 0 700\n"},
                 {"list.txt", "wrong.jpg\n"}}
        << "scene.bundle.out" << 1 << "left out.jpg";
}

void TestSfmReaders::warnings()
{
    QFETCH(Files, files);
    QFETCH(QString, entry);
    QFETCH(int, images);
    QFETCH(QString, warning);
    const QString folder = writeFiles(files);
    const SfmReconstruction result = readAny(entry.isEmpty() ? folder : folder + QLatin1Char('/') + entry);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.images.size(), images);
    QCOMPARE(result.warnings.size(), 1);
    QVERIFY2(result.warnings.first().contains(warning), qPrintable(result.warnings.first()));
    // Radial distortion that our cameras hold is kept.
    if (QByteArray(QTest::currentDataTag()).startsWith("OPENCV") ||
        QByteArray(QTest::currentDataTag()).startsWith("Bundler"))
        QCOMPARE(result.images.last().camera.distortion[0],
                 -0.1f * (result.format == QLatin1String("Bundler") ? 1 : -1));
}

// Every count a reader checks, at what the file holds, one less and one more.
void TestSfmReaders::countBoundaries_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("images"); // -1: refused
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("message"); // in the error when refused, else in the warnings (or none)

    const QByteArray point = "0 0 5 1 2 3 0\n"; // no measurements
    const QByteArray seenOnce = "0 0 5 1 2 3 1 0 0 1.5 2.5\n";
    const auto nvm = [](const QByteArray &text) { return Files{{"s.nvm", text}}; };
    QTest::newRow("NVM cameras: as many as lines") << nvm(nvmFile("2", 2)) << "s.nvm" << 2 << 0 << QString();
    QTest::newRow("NVM cameras: one more than lines")
        << nvm(nvmFile("3", 2)) << "s.nvm" << -1 << 0 << "s.nvm, line 2: 3 cameras are announced but only 2";
    QTest::newRow("NVM cameras: one less than lines")
        << nvm(nvmFile("1", 2)) << "s.nvm" << -1 << 0 << "s.nvm, line 4: expected the number of points";
    QTest::newRow("NVM points: as many as lines")
        << nvm(nvmFile("1", 1, "2\n" + point + point)) << "s.nvm" << 1 << 2 << QString();
    QTest::newRow("NVM points: one more than lines")
        << nvm(nvmFile("1", 1, "3\n" + point + point)) << "s.nvm" << -1 << 0
        << "s.nvm, line 4: 3 points are announced but only 2";
    // The line after the announced points is no model count: nothing more is read.
    QTest::newRow("NVM points: one less than lines")
        << nvm(nvmFile("1", 1, "1\n" + point + point)) << "s.nvm" << 1 << 1 << QString();
    const QString measurements = "s.nvm, line 5: expected X Y Z R G B COUNT and COUNT measurements";
    QTest::newRow("NVM measurements: as many as given")
        << nvm(nvmFile("1", 1, "1\n" + seenOnce)) << "s.nvm" << 1 << 1 << QString();
    QTest::newRow("NVM measurements: one more than given")
        << nvm(nvmFile("1", 1, "1\n0 0 5 1 2 3 2 0 0 1.5 2.5\n")) << "s.nvm" << -1 << 0 << measurements;
    QTest::newRow("NVM measurements: one less than given")
        << nvm(nvmFile("1", 1, "1\n0 0 5 1 2 3 0 0 0 1.5 2.5\n")) << "s.nvm" << -1 << 0 << measurements;
    QTest::newRow("NVM measurement of the last camera")
        << nvm(nvmFile("2", 2, "1\n0 0 5 1 2 3 1 1 0 1.5 2.5\n")) << "s.nvm" << 2 << 1 << QString();
    QTest::newRow("NVM measurement of one camera past the last")
        << nvm(nvmFile("2", 2, "1\n0 0 5 1 2 3 1 2 0 1.5 2.5\n")) << "s.nvm" << -1 << 0
        << "s.nvm, line 6: a measurement refers to camera \"2\"; the model has 2 cameras";
    // A second model (one camera, then its point count and one point line) is counted when whole.
    const QByteArray secondModel = "0\n1\nd.jpg 700 1 0 0 0 0 0 0 0 0\n";
    QTest::newRow("NVM further model: points as many as lines")
        << nvm(nvmFile("1", 1, secondModel + "1\n" + point)) << "s.nvm" << 1 << 0 << "1 more models";
    QTest::newRow("NVM further model: one point more than lines")
        << nvm(nvmFile("1", 1, secondModel + "2\n" + point)) << "s.nvm" << 1 << 0 << QString();

    const auto bundler = [](const QByteArray &text, const QByteArray &list) {
        return Files{{"b.out", text}, {"list.txt", list}};
    };
    // Five lines per camera and three per point must follow the counts.
    QTest::newRow("Bundler lines: as many as announced")
        << bundler(bundlerFile("2 1", 2, bundlerPoint()), "a\nb\n") << "b.out" << 2 << 1 << QString();
    QTest::newRow("Bundler lines: one short of the announced")
        << bundler(bundlerFile("2 2", 2, bundlerPoint() + "\n\n"), "a\nb\n") << "b.out" << -1 << 0
        << "b.out, line 2: 2 cameras and 2 points are announced but only 15 lines follow";
    QTest::newRow("Bundler lines: one more than announced")
        << bundler(bundlerFile("2 1", 2, bundlerPoint() + "\n"), "a\nb\n") << "b.out" << 2 << 1 << QString();
    QTest::newRow("Bundler list: as many photographs as cameras")
        << bundler(bundlerFile("2 0", 2, ""), "a\nb\n") << "b.out" << 2 << 0 << QString();
    QTest::newRow("Bundler list: one photograph less")
        << bundler(bundlerFile("2 0", 2, ""), "a\n") << "b.out" << -1 << 0
        << "list.txt lists 1 photographs, b.out holds 2 cameras";
    QTest::newRow("Bundler list: one photograph more")
        << bundler(bundlerFile("2 0", 2, ""), "a\nb\nc\n") << "b.out" << -1 << 0
        << "list.txt lists 3 photographs, b.out holds 2 cameras";
    const QString views = "b.out, line 15: point 0: the view list or colour does not match the 2 cameras";
    QTest::newRow("Bundler views: one more than given")
        << bundler(bundlerFile("2 1", 2, bundlerPoint("2 0 0 1.5 2.5")), "a\nb\n") << "b.out" << -1 << 0
        << views;
    QTest::newRow("Bundler views: one less than given")
        << bundler(bundlerFile("2 1", 2, bundlerPoint("0 0 0 1.5 2.5")), "a\nb\n") << "b.out" << -1 << 0
        << views;
    QTest::newRow("Bundler view of the last camera")
        << bundler(bundlerFile("2 1", 2, bundlerPoint("1 1 0 1.5 2.5")), "a\nb\n") << "b.out" << 2 << 1
        << QString();
    QTest::newRow("Bundler view of one camera past the last")
        << bundler(bundlerFile("2 1", 2, bundlerPoint("1 2 0 1.5 2.5")), "a\nb\n") << "b.out" << -1 << 0
        << views;
}

void TestSfmReaders::countBoundaries()
{
    QFETCH(Files, files);
    QFETCH(QString, entry);
    QFETCH(int, images);
    QFETCH(int, points);
    QFETCH(QString, message);
    const SfmReconstruction result = readAny(writeFiles(files) + QLatin1Char('/') + entry);
    if (images < 0) {
        QVERIFY2(result.error.contains(message), qPrintable(result.error));
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.images.size(), images);
    QCOMPARE(result.points.size(), points);
    if (message.isEmpty())
        QCOMPARE(result.warnings, QStringList());
    else
        QVERIFY2(result.warnings.join('\n').contains(message), qPrintable(result.warnings.join('\n')));
}

void TestSfmReaders::damagedFixturesNeverCrash_data()
{
    QTest::addColumn<QString>("source");  // fixture folder
    QTest::addColumn<QString>("damaged"); // the file damaged in the copy
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("cut");        // cut at the position, or flip the byte there
    QTest::addColumn<double>("position"); // fraction of the file
    const struct {
        const char *source, *entry;
        QStringList files;
    } encodings[] = {
        {"txt", "", {"cameras.txt", "images.txt", "points3D.txt"}},
        {"bin", "", {"cameras.bin", "images.bin", "points3D.bin"}},
        {"nvm", "model.nvm", {"model.nvm"}},
        {"bundler", "model.bundle.out", {"model.bundle.out", "model.list.txt"}},
    };
    for (const auto &encoding : encodings) {
        for (const QString &file : encoding.files) {
            for (int i = 0; i < 24; ++i) {
                // Early positions densely (headers, counts), the rest spread out.
                const double position = i < 8 ? i / 400.0 : (i - 7) / 17.0 * 0.999;
                for (bool cut : {true, false})
                    QTest::addRow("%s %s %s %.4f", encoding.source, qPrintable(file), cut ? "cut" : "flip",
                                  position)
                        << encoding.source << file << encoding.entry << cut << position;
            }
        }
    }
}

void TestSfmReaders::damagedFixturesNeverCrash()
{
    QFETCH(QString, source);
    QFETCH(QString, damaged);
    QFETCH(QString, entry);
    QFETCH(bool, cut);
    QFETCH(double, position);
    const QString folder = dir.filePath(QString::number(++folders));
    QVERIFY(copyFolder(fixture(source), folder));
    QFile file(folder + QLatin1Char('/') + damaged);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    QVERIFY(!bytes.isEmpty());
    const int at = qMin(int(position * bytes.size()), int(bytes.size()) - 1);
    if (cut)
        bytes.truncate(at);
    else
        bytes[at] = char(bytes.at(at) ^ 0xA5);
    file.resize(0);
    file.write(bytes);
    file.close();

    const SfmReconstruction result = readAny(entry.isEmpty() ? folder : folder + QLatin1Char('/') + entry);
    if (!result.ok()) {
        // The message names one of the encoding's files.
        const QStringList names = QDir(folder).entryList(QDir::Files);
        QVERIFY2(std::any_of(names.begin(), names.end(),
                             [&](const QString &n) { return result.error.contains(n); }),
                 qPrintable(result.error));
        return;
    }
    for (const SfmImage &image : result.images) {
        const Camera &c = image.camera;
        QVERIFY(std::isfinite(c.focalMm) && std::isfinite(c.center.x) && std::isfinite(c.center.y) &&
                std::isfinite(c.center.z) && std::isfinite(c.rotation.m[2][2]));
    }
}

// Opening a FIFO would wait for a writer, a device would be read without end.
void TestSfmReaders::specialFilesAreRefused()
{
    const QString fifo = dir.filePath("fifo.nvm"), device = dir.filePath("zero.nvm");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/zero", device));
    for (const auto &[path, problem] : {std::pair{fifo, "FIFO"}, std::pair{device, "device"}}) {
        const SfmReconstruction result = NvmFile::read(path);
        QVERIFY2(result.error.contains(QFileInfo(path).fileName()) &&
                     result.error.contains(QLatin1String(problem)),
                 qPrintable(result.error));
    }
}

QTEST_GUILESS_MAIN(TestSfmReaders)
#include "tst_sfmreaders.moc"
