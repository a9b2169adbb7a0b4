#include "gldownsampler.h"
#include "photodecoding.h"
#include "testimages.h"
#include "testsupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace testimages;

namespace
{

// Reads the JFIF density: units (1 = dots per inch) and horizontal/vertical density.
bool jfifDensity(const QString &path, int *units, int *x, int *y)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(64);
    const int at = head.indexOf(QByteArray("JFIF\0", 5));
    if (at < 0 || at + 12 > head.size())
        return false;
    const auto byte = [&](int i) { return int(uchar(head[at + i])); };
    *units = byte(7);
    *x = byte(8) * 256 + byte(9);
    *y = byte(10) * 256 + byte(11);
    return true;
}

} // namespace

class TestGLDownsampler : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_downsampler; }

    void outputSizes_data();
    void outputSizes();
    void outputSizeWithoutSeparateOrientations();
    void outputScale();
    void patternSurvives_data();
    void patternSurvives();
    void alternatingOrientationsKeepBothTargets();
    void onePixelOutputOnAFreshDownsampler();
    void deepReductionAveragesEveryTexel();
    void savesWithDotsPerMetre();
    void failedSaveLeavesNoFile();
    void unreadableImageIsRefused();
    void oversizedPhotographIsScaledToFit();
    void reducedDecodingStaysSharp();
    void capabilityReport();
    void saveBeforeOutputSizeStopsTheProgram();

private:
    QString writeImage(const QImage &image, const QString &name);

    GLDownsampler *m_downsampler = nullptr;
    QTemporaryDir m_dir;
};

QString TestGLDownsampler::writeImage(const QImage &image, const QString &name)
{
    const QString path = m_dir.filePath(name);
    if (!image.save(path, nullptr, 95))
        return QString();
    return path;
}

void TestGLDownsampler::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_downsampler = new GLDownsampler;
    QVERIFY2(m_downsampler->isValid(), qPrintable(m_downsampler->errorString()));
    QVERIFY2(m_downsampler->updateGL(), qPrintable(m_downsampler->errorString()));
}

void TestGLDownsampler::outputSizes_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QSize>("thumbnail");
    QTest::newRow("landscape") << QSize(4000, 3000) << QSize(256, 192);
    QTest::newRow("portrait") << QSize(3000, 4000) << QSize(192, 256);
    QTest::newRow("square") << QSize(1000, 1000) << QSize(256, 256);
    QTest::newRow("sliver") << QSize(1000, 3) << QSize(256, 1);
    QTest::newRow("upright sliver") << QSize(3, 1000) << QSize(1, 256);
    QTest::newRow("small") << QSize(100, 50) << QSize(256, 128);
}

void TestGLDownsampler::outputSizes()
{
    QFETCH(QSize, photo);
    QFETCH(QSize, thumbnail);
    const QString path = writeImage(quadrants(photo.width(), photo.height()), "sizes.png");
    QVERIFY(!path.isEmpty());
    m_downsampler->setSeparateOrientations(true);
    QVERIFY2(m_downsampler->loadImage(path), qPrintable(m_downsampler->errorString()));
    m_downsampler->setOutputSize(256, 0);
    QVERIFY(m_downsampler->updateGL());
    QCOMPARE(m_downsampler->outputSize(), thumbnail);
    QCOMPARE(m_downsampler->outputImage().size(), thumbnail);
}

void TestGLDownsampler::outputSizeWithoutSeparateOrientations()
{
    const QString path = writeImage(quadrants(300, 400), "portrait.png");
    m_downsampler->setSeparateOrientations(false);
    QVERIFY(m_downsampler->loadImage(path));
    QVERIFY(!m_downsampler->isLandscape());
    m_downsampler->setOutputSize(256, 0);
    QCOMPARE(m_downsampler->outputSize(), QSize(256, 341));
    m_downsampler->setOutputSize(0, 100);
    QCOMPARE(m_downsampler->outputSize(), QSize(75, 100));
    // Both zero stay zero, and a zero side becomes one pixel.
    m_downsampler->setOutputSize(0, 0);
    QCOMPARE(m_downsampler->outputSize(), QSize(1, 1));
    m_downsampler->setSeparateOrientations(true);
}

void TestGLDownsampler::outputScale()
{
    const QString path = writeImage(quadrants(300, 400), "scale.png");
    m_downsampler->setSeparateOrientations(false);
    QVERIFY(m_downsampler->loadImage(path));
    m_downsampler->setOutputScale(0.5f, 0);
    QCOMPARE(m_downsampler->outputSize(), QSize(150, 200));
    m_downsampler->setOutputScale(0.1f, 0.5f);
    QCOMPARE(m_downsampler->outputSize(), QSize(30, 200));
    // Portrait with separate orientations swaps the two factors.
    m_downsampler->setSeparateOrientations(true);
    m_downsampler->setOutputScale(0.1f, 0.5f);
    QCOMPARE(m_downsampler->outputSize(), QSize(150, 40));
}

void TestGLDownsampler::patternSurvives_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("landscape png") << QSize(800, 600) << "png";
    QTest::newRow("portrait png") << QSize(600, 800) << "png";
    QTest::newRow("landscape jpeg") << QSize(2000, 1500) << "jpg";
}

void TestGLDownsampler::patternSurvives()
{
    QFETCH(QSize, photo);
    QFETCH(QString, suffix);
    const QString path = writeImage(quadrants(photo.width(), photo.height()), "pattern." + suffix);
    m_downsampler->setSeparateOrientations(true);
    QVERIFY(m_downsampler->loadImage(path));
    m_downsampler->setOutputSize(256, 0);
    QVERIFY(m_downsampler->updateGL());
    const QImage thumb = m_downsampler->outputImage().convertToFormat(QImage::Format_RGB32);
    const int w = thumb.width(), h = thumb.height();
    const QRgb topLeft = thumb.pixel(w / 8, h / 8), topRight = thumb.pixel(w - 1 - w / 8, h / 8);
    const QRgb bottomLeft = thumb.pixel(w / 8, h - 1 - h / 8);
    const QRgb bottomRight = thumb.pixel(w - 1 - w / 8, h - 1 - h / 8);
    QVERIFY2(near(topLeft, Qt::red), qPrintable(describe(topLeft)));
    QVERIFY2(near(topRight, Qt::green), qPrintable(describe(topRight)));
    QVERIFY2(near(bottomLeft, Qt::blue), qPrintable(describe(bottomLeft)));
    QVERIFY2(near(bottomRight, Qt::white), qPrintable(describe(bottomRight)));
    // Corners too: no white border, no wrapped edge.
    QVERIFY2(near(thumb.pixel(0, 0), Qt::red), qPrintable(describe(thumb.pixel(0, 0))));
    QVERIFY2(near(thumb.pixel(w - 1, h - 1), Qt::white), qPrintable(describe(thumb.pixel(w - 1, h - 1))));
}

void TestGLDownsampler::alternatingOrientationsKeepBothTargets()
{
    const QString landscape = writeImage(quadrants(400, 300), "l.png");
    const QString portrait = writeImage(quadrants(300, 400), "p.png");
    m_downsampler->setSeparateOrientations(true);
    for (int round = 0; round < 2; ++round) {
        QVERIFY(m_downsampler->loadImage(landscape));
        m_downsampler->setOutputSize(256, 0);
        QVERIFY(m_downsampler->updateGL());
        QCOMPARE(m_downsampler->outputImage().size(), QSize(256, 192));
        QVERIFY(m_downsampler->loadImage(portrait));
        m_downsampler->setOutputSize(256, 0);
        QVERIFY(m_downsampler->updateGL());
        const QImage thumb = m_downsampler->outputImage();
        QCOMPARE(thumb.size(), QSize(192, 256));
        QVERIFY(near(thumb.pixel(10, 10), Qt::red));
    }
}

void TestGLDownsampler::onePixelOutputOnAFreshDownsampler()
{
    // Same size as the 1 x 1 targets made at initialisation: the read-back
    // buffer must still be large enough.
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(qRgb(10, 200, 30));
    const QString path = writeImage(dot, "dot.png");
    GLDownsampler fresh;
    QVERIFY(fresh.loadImage(path));
    fresh.setExactOutputSize(1, 1);
    QVERIFY(fresh.updateGL());
    const QImage thumb = fresh.outputImage();
    QCOMPARE(thumb.size(), QSize(1, 1));
    QVERIFY2(near(thumb.pixel(0, 0), QColor(10, 200, 30), 2), qPrintable(describe(thumb.pixel(0, 0))));
    QVERIFY(m_downsampler->makeCurrent());
}

void TestGLDownsampler::deepReductionAveragesEveryTexel()
{
    // Stripes 8 pixels wide, 8 stripes under each output pixel: grey when the reduction reads the
    // levels as deep as it needs, stripes of black or white from a chain cut short.
    QImage stripes(1024, 64, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, ((x + 3) / 8) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString path = writeImage(stripes, "stripes.png");
    m_downsampler->setSeparateOrientations(false);
    QVERIFY(m_downsampler->loadImage(path));
    m_downsampler->setExactOutputSize(16, 1);
    QVERIFY(m_downsampler->updateGL());
    const QImage thumb = m_downsampler->outputImage();
    QCOMPARE(thumb.size(), QSize(16, 1));
    for (int x = 0; x < thumb.width(); ++x)
        QVERIFY2(near(thumb.pixel(x, 0), QColor(128, 128, 128), 40), qPrintable(describe(thumb.pixel(x, 0))));
}

void TestGLDownsampler::savesWithDotsPerMetre()
{
    const QString path = writeImage(quadrants(400, 300), "dpi-source.png");
    QVERIFY(m_downsampler->loadImage(path));
    m_downsampler->setOutputSize(256, 0);
    QVERIFY(m_downsampler->updateGL());

    const QString png = m_dir.filePath("dpi.png");
    QString error;
    QVERIFY2(m_downsampler->save(png, 75, &error), qPrintable(error));
    const QImage saved(png);
    QCOMPARE(saved.size(), QSize(256, 192));
    QCOMPARE(saved.dotsPerMeterX(), 2952);
    QCOMPARE(saved.dotsPerMeterY(), 2952);
    QVERIFY(near(saved.pixel(5, 5), Qt::red));

    // JPEG stores the density in dots per inch.
    const QString jpeg = m_dir.filePath("dpi.jpg");
    QVERIFY2(m_downsampler->save(jpeg, 75, &error), qPrintable(error));
    int units = 0, x = 0, y = 0;
    QVERIFY(jfifDensity(jpeg, &units, &x, &y));
    QCOMPARE(units, 1);
    QCOMPARE(x, 75);
    QCOMPARE(y, 75);
    QCOMPARE(QImageReader(jpeg).size(), QSize(256, 192));
}

void TestGLDownsampler::failedSaveLeavesNoFile()
{
    const QString path = writeImage(quadrants(400, 300), "save-source.png");
    QVERIFY(m_downsampler->loadImage(path));
    m_downsampler->setOutputSize(256, 0);
    QVERIFY(m_downsampler->updateGL());
    QString error;
    // A file where the folder should be.
    QVERIFY(!m_downsampler->save(path + "/thumb.png", 75, &error));
    QVERIFY(!error.isEmpty());
    // A suffix no writer knows.
    const QString unknown = m_dir.filePath("thumb.unknownformat");
    error.clear();
    QVERIFY(!m_downsampler->save(unknown, 75, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(unknown));
}

void TestGLDownsampler::unreadableImageIsRefused()
{
    const QString junk = m_dir.filePath("junk.jpg");
    QVERIFY(writeFile(junk, "\xff\xd8\xff\xe0 not really a jpeg"));
    QVERIFY(!m_downsampler->loadImage(junk));
    QVERIFY(!m_downsampler->errorString().isEmpty());
    QVERIFY(!m_downsampler->loadImage(m_dir.filePath("missing.png")));
    // No division by a zero size.
    m_downsampler->setOutputSize(256, 0);
    QCOMPARE(m_downsampler->outputSize(), QSize(256, 1));
}

void TestGLDownsampler::oversizedPhotographIsScaledToFit()
{
    const int maxSize = m_downsampler->maxTextureSize();
    QVERIFY(maxSize > 0);
    const int width = maxSize + 1000;
    QImage wide(width, 8, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < width / 2; ++x)
            wide.setPixel(x, y, qRgb(255, 0, 0));
    const QString path = writeImage(wide, "wide.png");
    QVERIFY(!path.isEmpty());

    const DecodedPhoto decoded = decodePhoto(path, 0, maxSize);
    QVERIFY(decoded.isValid());
    QVERIFY(decoded.glImage.width() <= maxSize);
    QCOMPARE(decoded.photoSize, QSize(width, 8));

    // Fitted when decoding (loadImage) or, for a picture decoded whole
    // elsewhere, when uploading.
    const DecodedPhoto whole = decodePhoto(path, 0, 0);
    QCOMPARE(whole.glImage.width(), width);
    m_downsampler->setSeparateOrientations(true);
    for (int way = 0; way < 2; ++way) {
        QVERIFY(way == 0 ? m_downsampler->loadImage(path) : m_downsampler->loadDecodedImage(whole));
        m_downsampler->setOutputSize(256, 0);
        QVERIFY(m_downsampler->updateGL());
        const QImage thumb = m_downsampler->outputImage();
        QCOMPARE(thumb.size(), QSize(256, 1));
        QVERIFY2(near(thumb.pixel(10, 0), Qt::red), qPrintable(describe(thumb.pixel(10, 0))));
        QVERIFY2(near(thumb.pixel(245, 0), Qt::blue), qPrintable(describe(thumb.pixel(245, 0))));
    }
}

void TestGLDownsampler::reducedDecodingStaysSharp()
{
    const QImage source = detailed(4000, 3000);
    const QString path = writeImage(source, "detailed.jpg");
    QVERIFY(!path.isEmpty());
    // Reference: the whole photograph decoded and reduced on the processor.
    const QImage reference = QImage(path).scaled(256, 192, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const DecodedPhoto reduced = decodePhoto(path, 512, m_downsampler->maxTextureSize());
    QVERIFY(reduced.isValid());
    QCOMPARE(reduced.photoSize, QSize(4000, 3000));
    QCOMPARE(reduced.glImage.size(), QSize(1000, 750)); // 1/4, not 1/8 (500 < 512)
    m_downsampler->setSeparateOrientations(true);
    QVERIFY(m_downsampler->loadDecodedImage(reduced));
    m_downsampler->setOutputSize(256, 0);
    QVERIFY(m_downsampler->updateGL());
    const QImage fast = m_downsampler->outputImage();

    QVERIFY(m_downsampler->loadImage(path));
    m_downsampler->setOutputSize(256, 0);
    QVERIFY(m_downsampler->updateGL());
    const QImage full = m_downsampler->outputImage();

    const double fastSharpness = sharpness(fast), fullSharpness = sharpness(full);
    const double referenceSharpness = sharpness(reference);
    const double fastError = meanDifference(fast, reference), fullError = meanDifference(full, reference);
    const QString figures =
        QStringLiteral("sharpness fast %1 full %2 reference %3; difference to reference fast "
                       "%4 full %5; fast to full %6")
            .arg(fastSharpness)
            .arg(fullSharpness)
            .arg(referenceSharpness)
            .arg(fastError)
            .arg(fullError)
            .arg(meanDifference(fast, full));
    qInfo().noquote() << figures;
    // As close to the reference as the whole-photograph reduction, and as sharp.
    QVERIFY2(fastError <= fullError + 1.0, qPrintable(figures));
    QVERIFY2(meanDifference(fast, full) < 4.0, qPrintable(figures));
    QVERIFY2(fastSharpness >= 0.95 * fullSharpness, qPrintable(figures));
    QVERIFY2(fastSharpness >= 0.8 * referenceSharpness, qPrintable(figures));

    // The measure does see blur: a softened reference fails it.
    const QImage soft = reference.scaled(96, 72, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .scaled(256, 192, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY2(sharpness(soft) < 0.8 * referenceSharpness, qPrintable(QString::number(sharpness(soft))));
}

void TestGLDownsampler::capabilityReport()
{
    QString text = "Before\n";
    const bool usable = m_downsampler->capabilityReport(text);
    QVERIFY2(usable, qPrintable(text));
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QString("Before"));
    QVERIFY(lines[1].startsWith("Glew version: 2."));
    QCOMPARE(lines[2], QString("Max supported texture size: %1").arg(m_downsampler->maxTextureSize()));
    QCOMPARE(lines[3], QString("Framebuffer object: supported"));
    QCOMPARE(lines[4], QString("glGenerateMipmap: supported"));
}

void TestGLDownsampler::saveBeforeOutputSizeStopsTheProgram()
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVELLE_SAVE_UNSIZED", "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray errors = child.readAllStandardError();
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY2(errors.contains("((outCurr == outL) && (ramCurr == ramL) && (fboCurr == fboL)) || ((outCurr == "
                             "outP) && (ramCurr == ramP) && (fboCurr == fboP))"),
             errors.constData());
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("ORVELLE_SAVE_UNSIZED")) {
        GLDownsampler downsampler;
        if (!downsampler.updateGL())
            return 2;
        downsampler.save(QDir::temp().filePath("never-written.png"), 75);
        return 0;
    }
    TestGLDownsampler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gldownsampler.moc"
