// Whole and cut JPEGs told apart by their structure: trailing data after the end marker is
// accepted, a photograph cut short is refused by name by the decoder and as a thumbnail.
#include "downsamplingthread.h"
#include "jpegcompleteness.h"
#include "photodecoding.h"
#include "testimages.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

QByteArray jpeg(bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(testimages::detailed(640, 480));
    return bytes;
}

// An EXIF segment that carries a whole preview picture (with its own end marker) after the start.
QByteArray withEmbeddedPreview(const QByteArray &photo)
{
    QByteArray preview;
    QBuffer buffer(&preview);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(testimages::quadrants(32, 24));
    const QByteArray payload = QByteArray("Exif\0\0", 6) + preview;
    QByteArray segment("\xff\xe1", 2);
    segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xff)).append(payload);
    return photo.left(2) + segment + photo.mid(2);
}

} // namespace

class TestJpegCompleteness : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void structure_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("expected");
        using R = JpegCompleteness::Result;
        for (const bool progressive : {false, true}) {
            const QByteArray whole = jpeg(progressive);
            const char *kind = progressive ? "progressive" : "baseline";
            QTest::addRow("%s whole", kind) << whole << int(R::Complete);
            QTest::addRow("%s with a camera's 17 KB after the end", kind)
                << whole + QByteArray(17 * 1024, '\x5a') << int(R::Complete);
            QTest::addRow("%s with a 38-byte tail", kind)
                << whole + QByteArray(38, '\xff') << int(R::Complete);
            QTest::addRow("%s cut to two thirds", kind) << whole.left(whole.size() * 2 / 3) << int(R::Cut);
            QTest::addRow("%s without its end marker", kind) << whole.chopped(2) << int(R::Cut);
            const QByteArray previewed = withEmbeddedPreview(whole);
            QTest::addRow("%s with an EXIF preview", kind) << previewed << int(R::Complete);
            QTest::addRow("%s with an EXIF preview, cut", kind)
                << previewed.left(previewed.size() * 2 / 3) << int(R::Cut);
        }
        QTest::newRow("not a JPEG") << QByteArray("\x89PNG\r\n\x1a\n") << int(R::NotJpeg);
        QTest::newRow("only the start marker") << QByteArray("\xff\xd8\xff\xe0", 4) << int(R::Cut);
    }
    void structure()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, expected);
        QCOMPARE(int(JpegCompleteness::check(bytes)), expected);
    }

    // The thumbnail job's reader and the check of photographs used as thumbnails ("hires").
    void cutPhotographRefusedTailAccepted()
    {
        const QByteArray whole = jpeg(false);
        const QString tail = m_dir.filePath("tail.jpg");
        const QString cut = m_dir.filePath("cut.jpg");
        for (const auto &[path, bytes] : {std::pair{tail, whole + QByteArray(17 * 1024, '\0')},
                                          std::pair{cut, whole.left(whole.size() * 2 / 3)}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        QVERIFY(DownsamplingThread::isUsableThumbnail(tail));
        QVERIFY(!DownsamplingThread::isUsableThumbnail(cut));
        const DecodedPhoto decoded = decodePhoto(tail, 512, 0);
        QVERIFY2(decoded.isValid(), qPrintable(decoded.error));
        QCOMPARE(decoded.photoSize, QSize(640, 480));
        const DecodedPhoto refused = decodePhoto(cut, 512, 0);
        QVERIFY(!refused.isValid());
        QVERIFY2(refused.error.contains("cut short"), qPrintable(refused.error));
    }
};

QTEST_GUILESS_MAIN(TestJpegCompleteness)
#include "tst_jpegcompleteness.moc"
