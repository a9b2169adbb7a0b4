// Runs the built orvelle-index on photographs written here and reads its JSON.

#include "inspectrun.h"

#include "../exif/exiftestjpeg.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace exiftest;

using Run = InspectRun;

class TestInspectPhoto : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void photographs_data();
    void photographs();
    void refusedPhotographs_data();
    void refusedPhotographs();
};

void TestInspectPhoto::photographs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QJsonValue>("shotTime");

    TiffBuilder big(true);
    big.directories = {{ascii(0x0132, "2008:01:01 10:00:00"), link(0x8769, 1)},
                       {ascii(0x9003, "2008:01:01 09:59:58")}};
    const QByteArray dated = withSections(plainJpeg(40, 30), app1(big.tiff()));
    QTest::newRow("dated, upper-case suffix")
        << "IMG_0001.JPG" << dated << 0 << 40 << 30 << QJsonValue("2008-01-01T09:59:58");
    QTest::newRow("dated, .jpeg") << "b.jpeg" << dated << 0 << 40 << 30 << QJsonValue("2008-01-01T09:59:58");
    QTest::newRow("no EXIF: null, not the current time")
        << "c.jpg" << plainJpeg(7, 5) << 0 << 7 << 5 << QJsonValue(QJsonValue::Null);
    QByteArray random(2048, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("random bytes") << "d.jpg" << random << 1 << 0 << 0 << QJsonValue(QJsonValue::Null);
    // Only the header survives: no image, but the date read before the cut is reported.
    const int exifEnd = 2 + ((uchar(dated[4]) << 8) | uchar(dated[5])) + 2;
    QTest::newRow("truncated after the EXIF block")
        << "e.jpg" << dated.left(exifEnd + 4) << 1 << 0 << 0 << QJsonValue("2008-01-01T09:59:58");
}

void TestInspectPhoto::photographs()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, exitCode);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QJsonValue, shotTime);
    const QString path = m_dir.filePath(name);
    QVERIFY(writeFile(path, bytes));
    const Run run = inspect(path);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.json.value("file").toString(), path);
    QCOMPARE(run.json.value("ok").toBool(), exitCode == 0);
    QCOMPARE(run.json.value("width").toInt(-1), width);
    QCOMPARE(run.json.value("height").toInt(-1), height);
    QVERIFY(run.json.contains("shotTime"));
    QCOMPARE(run.json.value("shotTime"), shotTime);
}

// Each refused with what it is, never as "not found", and never opened when it is no file.
void TestInspectPhoto::refusedPhotographs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mentioned");
    QTest::newRow("folder") << "folder.jpg"
                            << "is a folder";
    QTest::newRow("fifo") << "fifo.jpg"
                          << "is a FIFO";
    QTest::newRow("link loop") << "loop.jpg"
                               << "is a link loop";
    QTest::newRow("beyond the pixel budget") << "huge.jpg"
                                             << "30000 x 30000";
}

void TestInspectPhoto::refusedPhotographs()
{
    QFETCH(QString, name);
    QFETCH(QString, mentioned);
    QDir(m_dir.path()).mkdir("folder.jpg");
    ::mkfifo(QFile::encodeName(m_dir.filePath("fifo.jpg")).constData(), 0600);
    QFile::link(m_dir.filePath("loop.jpg"), m_dir.filePath("loop.jpg"));
    // A 40 x 30 picture whose frame header declares 30000 x 30000.
    QByteArray huge = plainJpeg(40, 30);
    const int frame = huge.indexOf("\xff\xc0");
    QVERIFY(frame > 0);
    for (int at : {frame + 5, frame + 7}) {
        huge[at] = char(30000 >> 8);
        huge[at + 1] = char(30000 & 0xff);
    }
    QVERIFY(writeFile(m_dir.filePath("huge.jpg"), huge));

    const Run run = inspect(m_dir.filePath(name));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(mentioned), run.err.constData());
}

QTEST_GUILESS_MAIN(TestInspectPhoto)
#include "tst_inspectphoto.moc"
