#include "exifreader.h"
#include "exiftestjpeg.h"
#include "shottime.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <functional>
#include <thread>
#include <unistd.h>

using namespace exiftest;

namespace
{

// Runs fn with the error stream sent to a temporary file and returns what was written.
QByteArray captureStderr(const std::function<void()> &fn)
{
    QTemporaryFile file;
    if (!file.open())
        return "<capture failed>";
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(file.handle(), 2);
    fn();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    file.seek(0);
    return file.readAll();
}

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

// A JPEG truncated a few bytes into the section that follows its EXIF block.
QByteArray truncatedAfterExif(const QByteArray &dated)
{
    const int exifEnd = 2 + ((uchar(dated[4]) << 8) | uchar(dated[5])) + 2;
    return dated.left(exifEnd + 10);
}

} // namespace

class TestExifReader : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString fileWith(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        if (!writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void shotTimeFromHeader_data();
    void shotTimeFromHeader();
    void currentTimeWhenNoDate();
    void parseDateText_data();
    void parseDateText();
    void fileNamesAndDownFolders_data();
    void fileNamesAndDownFolders();
    void damagedFilesEndOnlyTheirRead_data();
    void damagedFilesEndOnlyTheirRead();
    void messagesOnErrorStream();
    void hostileDirectoryLinks();
    void frameSizeAndComment();
    void concurrentReads();
    void realPhotographs();
};

void TestExifReader::shotTimeFromHeader_data()
{
    QTest::addColumn<QByteArray>("jpeg");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QDateTime>("expected"); // invalid: no date expected

    const QByteArray dt = "2008:01:01 10:00:00";
    const QByteArray dto = "2008:01:01 09:59:58";
    const QDateTime original = at(2008, 1, 1, 9, 59, 58);
    const QDateTime modified = at(2008, 1, 1, 10, 0, 0);

    QTest::newRow("little-endian, original in EXIF sub-directory")
        << datedJpeg(dt, dto, false) << "a.jpg" << original;
    QTest::newRow("big-endian, original in EXIF sub-directory")
        << datedJpeg(dt, dto, true) << "b.jpg" << original;

    for (bool big : {false, true}) {
        const char *order = big ? "big-endian" : "little-endian";
        TiffBuilder first(big), second(big), digitized(big), modifiedOnly(big);
        first.directories = {{ascii(0x0132, dt), ascii(0x9003, dto)}};
        second.directories = {{ascii(0x9003, dto), ascii(0x0132, dt)}};
        digitized.directories = {{ascii(0x9004, "2001:02:03 04:05:06"), ascii(0x0132, dt)}};
        modifiedOnly.directories = {{ascii(0x0132, dt)}};
        QTest::addRow("%s: DateTime before DateTimeOriginal", order)
            << withSections(plainJpeg(), app1(first.tiff())) << "c.jpg" << original;
        QTest::addRow("%s: DateTimeOriginal before DateTime", order)
            << withSections(plainJpeg(), app1(second.tiff())) << "d.jpg" << original;
        QTest::addRow("%s: first of DateTimeDigitized and DateTime", order)
            << withSections(plainJpeg(), app1(digitized.tiff())) << "e.jpg" << at(2001, 2, 3, 4, 5, 6);
        QTest::addRow("%s: DateTime alone", order)
            << withSections(plainJpeg(), app1(modifiedOnly.tiff())) << "f.jpg" << modified;
    }

    // Date in a directory reached through the link after IFD0 (the thumbnail directory).
    TiffBuilder linked(false);
    linked.directories = {{ascii(0x010F, "Maker")}, {ascii(0x0132, dt)}};
    linked.nextDirectory = {1};
    QTest::newRow("date in linked directory")
        << withSections(plainJpeg(), app1(linked.tiff())) << "g.jpg" << modified;

    QTest::newRow("dashes between date parts") << datedJpeg(dt, "2008-01-01 09:59:58") << "h.jpg" << original;
    QTest::newRow("upper-case .JPG") << datedJpeg(dt, dto) << "IMG_0001.JPG" << original;
    QTest::newRow(".jpeg") << datedJpeg(dt, dto) << "i.jpeg" << original;
    const QString deep = QString(120, 'a') + "/" + QString(120, 'b') + "/" + QString(40, 'c') + ".jpg";
    QTest::newRow("path over 258 characters") << datedJpeg(dt, dto) << deep << original;
    QTest::newRow("mixed-case .JpEg") << datedJpeg(dt, dto) << "j.JpEg" << original;
    QTest::newRow("EXIF block after a comment")
        << withSections(plainJpeg(), QByteArray("\xFF\xFE\x00\x05hi\0", 7) + app1(TiffBuilder(false).tiff()))
        << "k.jpg" << QDateTime();

    QTest::newRow("not named as JPEG") << datedJpeg(dt, dto) << "l.png" << QDateTime();
    QTest::newRow("no EXIF block") << plainJpeg() << "m.jpg" << QDateTime();
    QTest::newRow("zero date") << datedJpeg("0000:00:00 00:00:00", "0000:00:00 00:00:00") << "n.jpg"
                               << QDateTime();
    QTest::newRow("blank date") << datedJpeg("                   ", "    :  :     :  :  ") << "o.jpg"
                                << QDateTime();

    TiffBuilder good(false);
    good.directories = {{ascii(0x0132, dt)}};
    QByteArray badHeader = app1(good.tiff(), QByteArray("Exif\0X", 6));
    QTest::newRow("incorrect EXIF header") << withSections(plainJpeg(), badHeader) << "p.jpg" << QDateTime();
    QByteArray badAlignment = good.tiff();
    badAlignment[0] = 'X';
    QTest::newRow("invalid alignment marker")
        << withSections(plainJpeg(), app1(badAlignment)) << "q.jpg" << QDateTime();
    QByteArray badStart = good.tiff();
    badStart[2] = 43;
    QTest::newRow("invalid start") << withSections(plainJpeg(), app1(badStart)) << "r.jpg" << QDateTime();
}

void TestExifReader::shotTimeFromHeader()
{
    QFETCH(QByteArray, jpeg);
    QFETCH(QString, fileName);
    QFETCH(QDateTime, expected);
    const QString path = fileWith(fileName, jpeg);
    const std::optional<QDateTime> found = readExifShotTime(path);
    if (expected.isValid()) {
        QVERIFY(found.has_value());
        QCOMPARE(*found, expected);
        QCOMPARE(readShotTime(path), expected);
    } else {
        QVERIFY2(!found.has_value(), qPrintable(found ? found->toString(Qt::ISODate) : QString()));
    }
}

void TestExifReader::currentTimeWhenNoDate()
{
    const QString path = fileWith("plain.jpg", plainJpeg());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const QDateTime shot = readShotTime(path);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    QVERIFY(shot >= before && shot <= after);
    QVERIFY(readShotTime(m_dir.filePath("missing.jpg")) >= before);
}

void TestExifReader::parseDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("EXIF form") << "2008:01:01 09:59:58" << at(2008, 1, 1, 9, 59, 58);
    QTest::newRow("other single separators") << "2008/01.01T09:59:58" << at(2008, 1, 1, 9, 59, 58);
    QTest::newRow("no leading zeros") << "2008:1:2 3:4:5" << at(2008, 1, 2, 3, 4, 5);
    QTest::newRow("trailing text ignored") << "2008:01:01 09:59:58+02:00" << at(2008, 1, 1, 9, 59, 58);
    QTest::newRow("dot between hour and minute") << "2008:01:01 09.59.58" << QDateTime();
    QTest::newRow("two separators") << "2008::01:01 09:59:58" << QDateTime();
    QTest::newRow("month 13") << "2008:13:01 09:59:58" << QDateTime();
    QTest::newRow("hour 25") << "2008:01:01 25:00:00" << QDateTime();
    QTest::newRow("huge number") << "99999999999999999999:01:01 00:00:00" << QDateTime();
    QTest::newRow("empty") << "" << QDateTime();
    QTest::newRow("cut short") << "2008:01:01 09:59" << QDateTime();
}

void TestExifReader::parseDateText()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const std::optional<QDateTime> parsed = parseExifDateTime(text.toStdString());
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed)
        QCOMPARE(*parsed, expected);
}

void TestExifReader::fileNamesAndDownFolders_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isJpeg");
    QTest::addColumn<QString>("readFrom");
    QTest::newRow("down folder") << "photos/down/img.jpg" << true << "photos/img.jpg";
    QTest::newRow("leading down folder") << "down/img.jpg" << true << "img.jpg";
    QTest::newRow("absolute, twice") << "/a/down/b/down/img.JPG" << true << "/a/b/img.JPG";
    QTest::newRow("countdown stays") << "/photos/countdown/x.jpg" << true << "/photos/countdown/x.jpg";
    QTest::newRow("downtown stays") << "/photos/downtown/x.jpeg" << true << "/photos/downtown/x.jpeg";
    QTest::newRow("Down is another folder") << "/photos/Down/x.jpg" << true << "/photos/Down/x.jpg";
    QTest::newRow("file named down.jpg") << "/photos/down.jpg" << true << "/photos/down.jpg";
    QTest::newRow("png") << "/photos/x.png" << false << "/photos/x.png";
    QTest::newRow("jpg inside name") << "/photos/x.jpg.txt" << false << "/photos/x.jpg.txt";
}

void TestExifReader::fileNamesAndDownFolders()
{
    QFETCH(QString, path);
    QFETCH(bool, isJpeg);
    QFETCH(QString, readFrom);
    QCOMPARE(isJpegFileName(path), isJpeg);
    QCOMPARE(withoutDownFolders(path), readFrom);

    // The file itself: a dated photo in photos/, the same name under photos/down/ absent.
    const QString photo = fileWith("photos/img.jpg", datedJpeg("2008:01:01 10:00:00", "2008:01:01 09:59:58"));
    const QString viaDown = m_dir.filePath("photos/down/img.jpg");
    QVERIFY(!QFile::exists(viaDown));
    QCOMPARE(readExifShotTime(viaDown).value_or(QDateTime()), at(2008, 1, 1, 9, 59, 58));
    // A folder merely ending in "down" is read as it stands.
    const QString countdown =
        fileWith("countdown/img.jpg", datedJpeg("2001:01:01 01:01:01", "2001:01:01 01:01:01"));
    QCOMPARE(readExifShotTime(countdown).value_or(QDateTime()), at(2001, 1, 1, 1, 1, 1));
    QVERIFY(photo != countdown);
}

void TestExifReader::damagedFilesEndOnlyTheirRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QDateTime>("expected");

    const QByteArray dated = datedJpeg("2008:01:01 10:00:00", "2008:01:01 09:59:58");
    const QDateTime original = at(2008, 1, 1, 9, 59, 58);
    const int fatal = int(ExifReader::Outcome::Fatal);
    const int notRead = int(ExifReader::Outcome::NotRead);

    QTest::newRow("truncated after EXIF block keeps its date")
        << truncatedAfterExif(dated) << fatal << original;
    QTest::newRow("truncated inside EXIF block") << dated.left(40) << fatal << QDateTime();
    QTest::newRow("truncated in a length") << dated.left(5) << fatal << QDateTime();
    QTest::newRow("only start of image") << QByteArray("\xFF\xD8", 2) << fatal << QDateTime();
    QTest::newRow("invalid marker after EXIF keeps date")
        << truncatedAfterExif(dated).left(truncatedAfterExif(dated).size() - 10) +
               QByteArray("\xFF\xDB\x00\x01", 4)
        << fatal << original;
    QTest::newRow("end of image before scan")
        << datedJpeg("2008:01:01 10:00:00", "2008:01:01 09:59:58").left(2) + QByteArray("\xFF\xD9", 2)
        << notRead << QDateTime();
    QTest::newRow("too many padding bytes")
        << QByteArray("\xFF\xD8", 2) + QByteArray(40, '\xFF') + "\xDA" << notRead << QDateTime();
    QTest::newRow("empty file") << QByteArray() << notRead << QDateTime();
    QByteArray random(4096, '\0');
    QRandomGenerator generator(42);
    for (char &c : random)
        c = char(generator.bounded(256));
    QTest::newRow("random bytes") << random << notRead << QDateTime();
    random[0] = char(0xFF);
    random[1] = char(0xD8);
    QTest::newRow("random bytes after start of image") << random << -1 << QDateTime();
}

void TestExifReader::damagedFilesEndOnlyTheirRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, outcome);
    QFETCH(QDateTime, expected);
    const QString path = fileWith(QString("damaged/%1.jpg").arg(QTest::currentDataTag()), bytes);

    ExifReader reader;
    ExifReader::Outcome result = ExifReader::Outcome::Read;
    captureStderr([&] { result = reader.readFile(QFile::encodeName(path).toStdString()); });
    if (outcome >= 0)
        QCOMPARE(int(result), outcome);
    QCOMPARE(result == ExifReader::Outcome::Fatal, !reader.fatalMessage().empty());

    std::optional<QDateTime> found;
    captureStderr([&] { found = readExifShotTime(path); });
    QCOMPARE(found.value_or(QDateTime()), expected);
    // The process is still here and the next good file reads normally.
    const QString good =
        fileWith("damaged/good.jpg", datedJpeg("2001:01:01 01:01:01", "2001:01:01 01:01:01"));
    QCOMPARE(readExifShotTime(good).value_or(QDateTime()), at(2001, 1, 1, 1, 1, 1));
}

void TestExifReader::messagesOnErrorStream()
{
    const QString truncated = fileWith("msg/cut.jpg", datedJpeg("2008:01:01 10:00:00", "x").left(30));
    ExifReader reader;
    const QByteArray fatalText =
        captureStderr([&] { reader.readFile(QFile::encodeName(truncated).toStdString()); });
    QCOMPARE(fatalText, QByteArray("\nError : Premature end of file?\nin file '") +
                            QFile::encodeName(truncated) + "'\n");

    const QByteArray notJpeg =
        captureStderr([&] { reader.readFile(QFile::encodeName(m_dir.filePath("msg")).toStdString()); });
    QVERIFY2(notJpeg.startsWith("Not JPEG: ") || notJpeg.startsWith("can't open"), notJpeg.constData());

    const QString missing = m_dir.filePath("msg/none.jpg");
    QCOMPARE(captureStderr([&] { reader.readFile(QFile::encodeName(missing).toStdString()); }),
             QByteArray("\nError : No such file\nin file '") + QFile::encodeName(missing) + "'\n");

    const std::string longPath = "/" + std::string(200, 'a') + "/" + std::string(100, 'b') + ".jpg";
    captureStderr([&] { QCOMPARE(int(reader.readFile(longPath)), int(ExifReader::Outcome::Fatal)); });
    QCOMPARE(QByteArray::fromStdString(reader.fatalMessage()), QByteArray("No such file"));

    TiffBuilder badFormat(true);
    Entry odd = ascii(0x0132, "2001:01:01 01:01:01");
    odd.format = 13;
    badFormat.directories = {{odd, ascii(0x9003, "2002:02:02 02:02:02")}};
    const QString withBadEntry =
        fileWith("msg/badformat.jpg", withSections(plainJpeg(), app1(badFormat.tiff())));
    std::optional<QDateTime> found;
    const QByteArray nonfatal = captureStderr([&] { found = readExifShotTime(withBadEntry); });
    QCOMPARE(nonfatal, QByteArray("\nNonfatal Error : '") + QFile::encodeName(withBadEntry) +
                           "' Illegal number format 13 for tag 0132\n");
    QCOMPARE(found.value_or(QDateTime()),
             at(2002, 2, 2, 2, 2, 2)); // the bad entry is skipped, not the directory
}

void TestExifReader::hostileDirectoryLinks()
{
    // A directory whose many ExifOffset entries all point back at itself must not explode.
    TiffBuilder loop(false);
    QList<Entry> selfLinks;
    for (int i = 0; i < 2000; ++i)
        selfLinks.append(link(0x8769, 0));
    selfLinks.append(ascii(0x9003, "2003:03:03 03:03:03"));
    loop.directories = {selfLinks};
    loop.nextDirectory = {0};
    const QString loopPath = fileWith("hostile/loop.jpg", withSections(plainJpeg(), app1(loop.tiff())));
    QElapsedTimer timer;
    timer.start();
    std::optional<QDateTime> found;
    captureStderr([&] { found = readExifShotTime(loopPath); });
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(found.value_or(QDateTime()), at(2003, 3, 3, 3, 3, 3));

    // Nesting: the date four levels down is found, five levels down it is not.
    for (int depth : {4, 5}) {
        TiffBuilder nested(true);
        for (int d = 0; d < depth; ++d)
            nested.directories.append({link(0x8769, d + 1)});
        nested.directories.append({ascii(0x9003, "2004:04:04 04:04:04")});
        const QString path = fileWith(QString("hostile/nested%1.jpg").arg(depth),
                                      withSections(plainJpeg(), app1(nested.tiff())));
        captureStderr([&] { found = readExifShotTime(path); });
        QCOMPARE(found.has_value(), depth == 4);
    }

    // Value and directory offsets pointing outside the block.
    TiffBuilder outside(false);
    Entry farValue = ascii(0x9003, "2005:05:05 05:05:05");
    outside.directories = {{farValue, link(0x8769, 0), ascii(0x9004, "2006:06:06 06:06:06")}};
    QByteArray tiff = outside.tiff();
    // Entry 0's value offset (at 8 + 2 + 8) and entry 1's directory offset (at 8 + 2 + 12 + 8).
    tiff.replace(18, 4, outside.put32(0x7FFFFFF0));
    tiff.replace(30, 4, outside.put32(0xFFFFFFFF));
    const QString outsidePath = fileWith("hostile/outside.jpg", withSections(plainJpeg(), app1(tiff)));
    captureStderr([&] { found = readExifShotTime(outsidePath); });
    QCOMPARE(found.value_or(QDateTime()), at(2006, 6, 6, 6, 6, 6));

    // An entry count far beyond the block.
    QByteArray oversized = TiffBuilder(false).tiff();
    oversized.replace(8, 2, QByteArray("\xFF\xFF", 2));
    const QString oversizedPath = fileWith("hostile/count.jpg", withSections(plainJpeg(), app1(oversized)));
    captureStderr([&] { found = readExifShotTime(oversizedPath); });
    QVERIFY(!found.has_value());
}

void TestExifReader::frameSizeAndComment()
{
    const QString path =
        fileWith("frame.jpg", withSections(plainJpeg(37, 21), QByteArray("\xFF\xFE\x00\x06note", 8)));
    ExifReader reader;
    QCOMPARE(int(reader.readFile(QFile::encodeName(path).toStdString())), int(ExifReader::Outcome::Read));
    QCOMPARE(reader.info().width, 37);
    QCOMPARE(reader.info().height, 21);
    QCOMPARE(reader.info().numComponents, 3);
    QCOMPARE(QByteArray::fromStdString(reader.info().comment), QByteArray("note"));
    QVERIFY(reader.info().dateTime.empty());
    QCOMPARE(reader.sections().back().marker, 0xDA);

    // A second file read by the same reader starts from a clean result.
    const QString dated =
        fileWith("frame2.jpg", datedJpeg("2001:01:01 01:01:01", "2002:02:02 02:02:02", true));
    reader.readFile(QFile::encodeName(dated).toStdString());
    QCOMPARE(QByteArray::fromStdString(reader.info().dateTime), QByteArray("2002:02:02 02:02:02"));
    QVERIFY(reader.info().comment.empty());
    QCOMPARE(int(reader.info().dateFieldOffsets.size()), 2);
    QVERIFY(reader.info().hasExif);
}

void TestExifReader::concurrentReads()
{
    QStringList paths;
    for (int i = 0; i < 8; ++i) {
        const QByteArray date =
            QString("20%1:0%2:1%3 1%4:2%5:3%6").arg(10 + i).arg(1 + i).arg(i).arg(i).arg(i).arg(i).toLatin1();
        paths << fileWith(QString("threads/%1.jpg").arg(i), datedJpeg("1999:01:01 00:00:00", date, i % 2));
    }
    std::vector<QDateTime> results(8 * 50);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int k = t; k < int(results.size()); k += 4)
                results[k] = readShotTime(paths[k % 8]);
        });
    for (auto &thread : threads)
        thread.join();
    for (int k = 0; k < int(results.size()); ++k) {
        const int i = k % 8;
        QCOMPARE(results[k], at(2010 + i, 1 + i, 10 + i, 10 + i, 20 + i, 30 + i));
    }
}

void TestExifReader::realPhotographs()
{
    // Every real file is read without harm; where the EXIF sub-directory holds DateTimeOriginal,
    // that is the date, otherwise IFD0's DateTime when it is a valid date.
    const QString root = QStringLiteral(ORVELLE_TEST_DATA "/jpeg-real");
    QFile manifest(root + "/MANIFEST.tsv");
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    manifest.readLine();
    int files = 0, compared = 0;
    while (!manifest.atEnd()) {
        const QList<QByteArray> cols = manifest.readLine().trimmed().split('\t');
        if (cols.size() < 7)
            continue;
        const QString path = root + "/" + QString::fromUtf8(cols[0]);
        std::optional<QDateTime> found;
        captureStderr([&] { found = readExifShotTime(path); });
        ++files;
        const QByteArray order = cols[2], original = cols[3], modified = cols[4], groups = cols[6];
        std::optional<QDateTime> expected;
        if (order != "II" && order != "MM")
            expected.reset(); // no readable EXIF block
        else if (groups.contains("ExifIFD"))
            expected = parseExifDateTime(original.toStdString());
        else if (original == "-" && groups == "-")
            expected = parseExifDateTime(modified.toStdString());
        else
            continue; // the date sits in a place the reader does not look (XMP, maker blocks)
        ++compared;
        QVERIFY2(found.has_value() == expected.has_value(), qPrintable(path));
        if (found)
            QCOMPARE(*found, *expected);
    }
    QVERIFY(files >= 120);
    QVERIFY(compared >= 80);
}

QTEST_GUILESS_MAIN(TestExifReader)
#include "tst_exifreader.moc"
