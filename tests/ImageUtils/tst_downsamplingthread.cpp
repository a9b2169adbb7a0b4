#include "downsamplingthread.h"
#include "failingsync.h"
#include "gldownsampler.h"
#include "imagequality.h"
#include "photodecoding.h"
#include "testimages.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace testimages;

namespace
{

// Least quality of a thumbnail of a real photograph against the whole photograph reduced by area
// averaging; the JPEG encode of the thumbnail itself costs part of it (measured worst: 30.3 dB, 0.956).
constexpr double MinimumPsnr = 29.0;
constexpr double MinimumSsim = 0.95;

QString checkQuality(const QString &photo, const QString &thumbnailPath, double minimumPsnr = MinimumPsnr,
                     double minimumSsim = MinimumSsim)
{
    const QImage thumbnail(thumbnailPath);
    const ImageQuality quality = compareImages(thumbnail, referenceThumbnail(photo, thumbnail.size()));
    const QString figures = QStringLiteral("%1: PSNR %2 dB, SSIM %3")
                                .arg(QFileInfo(photo).fileName())
                                .arg(quality.psnr, 0, 'f', 2)
                                .arg(quality.ssim, 0, 'f', 4);
    qInfo().noquote() << figures;
    return quality.valid && quality.psnr >= minimumPsnr && quality.ssim >= minimumSsim ? QString() : figures;
}

QByteArray fileHash(const QString &path)
{
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha1);
}

// Runs a job to its end and keeps what it said.
struct JobRun {
    QList<QPair<int, QString>> thumbnails;
    QList<int> progress;
    QList<QPair<int, QString>> failures;
    bool finished = false;
};

JobRun runJob(const QStringList &inputs, const QStringList &outputs)
{
    JobRun result;
    auto *job = new DownsamplingThread(inputs, outputs);
    QObject::connect(job, &DownsamplingThread::newThumbnail, [&](int i, const QString &name) {
        result.thumbnails.append({i, name});
    });
    QObject::connect(job, &DownsamplingThread::progress, [&](int perc) { result.progress.append(perc); });
    QObject::connect(job, &DownsamplingThread::failed, [&](int i, const QString &reason) {
        result.failures.append({i, reason});
    });
    job->start();
    // Polled: a job with nothing to do may end before a signal spy would start waiting.
    result.finished = QTest::qWaitFor([job] { return job->isFinished(); }, 120000);
    QCoreApplication::processEvents(); // deliver the last queued signals
    delete job;
    return result;
}

} // namespace

class TestDownsamplingThread : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void thumbnailSizes_data();
    void thumbnailSizes();
    void patternAndDensitySurvive();
    void closeToTheWholeDecode_data();
    void closeToTheWholeDecode();
    void existingThumbnailUntouchedButReported();
    void brokenThumbnailIsMadeAgain_data();
    void brokenThumbnailIsMadeAgain();
    void noSignalForBadLists_data();
    void noSignalForBadLists();
    void unreadableInputsAreReportedAndJobGoesOn();
    void unwritableFolderIsReported();
    void failedDiskSyncReportsTheThumbnails();
    void missingPhotographsSayNotFound();
    void stopRequestEndsBeforeTheNextPhotograph();
    void neverStartedJobCanBeDeleted();
    void thumbnailPathBesideThePhotograph();
    void realPhotographs();

private:
    QTemporaryDir m_dir;
};

void TestDownsamplingThread::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The job needs GL: fail here rather than report every image as failed.
    GLDownsampler probe;
    QVERIFY2(probe.updateGL(), qPrintable(probe.errorString()));
}

void TestDownsamplingThread::thumbnailSizes_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QSize>("thumbnail");
    QTest::newRow("4000x3000") << QSize(4000, 3000) << QSize(256, 192);
    QTest::newRow("3000x4000") << QSize(3000, 4000) << QSize(192, 256);
    QTest::newRow("square") << QSize(1200, 1200) << QSize(256, 256);
    QTest::newRow("1000x3") << QSize(1000, 3) << QSize(256, 1);
}

void TestDownsamplingThread::thumbnailSizes()
{
    QFETCH(QSize, photo);
    QFETCH(QSize, thumbnail);
    const QString folder = m_dir.filePath(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    const QString input = folder + "/photo.jpg";
    QVERIFY(quadrants(photo.width(), photo.height()).save(input, "JPEG", 90));
    const QString output = DownsamplingThread::thumbnailPath(input);

    const JobRun run = runJob({input}, {output});
    QVERIFY(run.finished);
    QVERIFY2(run.failures.isEmpty(), run.failures.isEmpty() ? "" : qPrintable(run.failures[0].second));
    QCOMPARE(run.thumbnails.size(), 1);
    QCOMPARE(run.thumbnails[0].first, 0);
    QCOMPARE(run.thumbnails[0].second, output);
    QCOMPARE(run.progress, QList<int>{100});
    QCOMPARE(QImageReader(output).size(), thumbnail);
}

void TestDownsamplingThread::patternAndDensitySurvive()
{
    const QString folder = m_dir.filePath("pattern");
    QVERIFY(QDir().mkpath(folder));
    QStringList inputs, outputs;
    const QList<QSize> sizes = {QSize(2400, 1800), QSize(1800, 2400), QSize(900, 600)};
    for (int i = 0; i < sizes.size(); ++i) {
        inputs << folder + QString("/photo%1.png").arg(i);
        QVERIFY(quadrants(sizes[i].width(), sizes[i].height()).save(inputs.last()));
        outputs << DownsamplingThread::thumbnailPath(inputs.last());
    }
    const JobRun run = runJob(inputs, outputs);
    QVERIFY(run.finished);
    QVERIFY(run.failures.isEmpty());
    QCOMPARE(run.thumbnails.size(), 3);
    QCOMPARE(run.progress, (QList<int>{33, 66, 100}));
    for (const QString &output : outputs) {
        const QImage thumb(output);
        QVERIFY2(!thumb.isNull(), qPrintable(output));
        QCOMPARE(thumb.dotsPerMeterX(), 2952);
        QCOMPARE(thumb.dotsPerMeterY(), 2952);
        const int w = thumb.width(), h = thumb.height();
        QVERIFY2(near(thumb.pixel(3, 3), Qt::red), qPrintable(describe(thumb.pixel(3, 3))));
        QVERIFY2(near(thumb.pixel(w - 4, 3), Qt::green), qPrintable(describe(thumb.pixel(w - 4, 3))));
        QVERIFY2(near(thumb.pixel(3, h - 4), Qt::blue), qPrintable(describe(thumb.pixel(3, h - 4))));
        QVERIFY2(near(thumb.pixel(w - 4, h - 4), Qt::white), qPrintable(describe(thumb.pixel(w - 4, h - 4))));
    }
}

void TestDownsamplingThread::closeToTheWholeDecode_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QSize>("decoded"); // what the thumbnail's reduced decode gives
    // Sharp edges and lines alias more than a photograph: bounds measured on these pictures.
    QTest::addColumn<double>("minimumPsnr");
    QTest::addColumn<double>("minimumSsim");
    QTest::newRow("4000x3000 at 1/8") << QSize(4000, 3000) << QSize(500, 375) << 24.5 << 0.975;
    QTest::newRow("3000x4000 at 1/8") << QSize(3000, 4000) << QSize(375, 500) << 24.5 << 0.975;
    QTest::newRow("1500x1000 at 1/4") << QSize(1500, 1000) << QSize(375, 250) << 27.5 << 0.96;
}

void TestDownsamplingThread::closeToTheWholeDecode()
{
    QFETCH(QSize, photo);
    QFETCH(QSize, decoded);
    QFETCH(double, minimumPsnr);
    QFETCH(double, minimumSsim);
    const QString input = m_dir.filePath(QStringLiteral("quality/%1.jpg").arg(photo.width()));
    QVERIFY(QDir().mkpath(QFileInfo(input).absolutePath()));
    QVERIFY(detailed(photo.width(), photo.height()).save(input, "JPEG", 92));
    const int side = DownsamplingThread::decodeLongSide({}, false);
    QCOMPARE(decodePhoto(input, side, 0).glImage.size(), decoded);

    const QString output = DownsamplingThread::thumbnailPath(input);
    const JobRun run = runJob({input}, {output});
    QVERIFY(run.finished && run.failures.isEmpty());
    const QString problem = checkQuality(input, output, minimumPsnr, minimumSsim);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    // The bound sees blur: the reference softened by one more halving misses it.
    const QImage reference = referenceThumbnail(input, QImageReader(output).size());
    const QImage soft =
        reference.scaled(reference.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .scaled(reference.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const ImageQuality softQuality = compareImages(soft, reference);
    QVERIFY(softQuality.valid);
    QVERIFY2(softQuality.psnr < minimumPsnr || softQuality.ssim < minimumSsim,
             qPrintable(QStringLiteral("%1 dB, %2").arg(softQuality.psnr).arg(softQuality.ssim)));
}

void TestDownsamplingThread::existingThumbnailUntouchedButReported()
{
    const QString folder = m_dir.filePath("existing");
    QVERIFY(QDir().mkpath(folder + "/thumbnails"));
    const QString first = folder + "/a.png", second = folder + "/b.png";
    QVERIFY(quadrants(800, 600).save(first));
    QVERIFY(quadrants(800, 600).save(second));
    const QString kept = folder + "/thumbnails/a.png";
    QImage marker(10, 10, QImage::Format_RGB32);
    marker.fill(Qt::magenta);
    QVERIFY(marker.save(kept));
    const QByteArray before = fileHash(kept);
    const QDateTime modified = QFileInfo(kept).lastModified();

    const JobRun run = runJob({first, second}, {kept, folder + "/thumbnails/b.png"});
    QVERIFY(run.finished);
    QVERIFY(run.failures.isEmpty());
    QCOMPARE(run.thumbnails.size(), 2);
    QCOMPARE(run.thumbnails[0], qMakePair(0, kept));
    QCOMPARE(run.progress, (QList<int>{50, 100}));
    QCOMPARE(fileHash(kept), before);
    QCOMPARE(QFileInfo(kept).lastModified(), modified);
    QCOMPARE(QImageReader(folder + "/thumbnails/b.png").size(), QSize(256, 192));
}

// An empty or cut thumbnail (left by an older version on a full disk) is not taken as done.
void TestDownsamplingThread::brokenThumbnailIsMadeAgain_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("keptBytes"); // of a whole thumbnail; 0: an empty file
    QTest::newRow("empty jpeg") << "a.jpg" << 0;
    QTest::newRow("cut jpeg") << "b.jpg" << 600;
    QTest::newRow("cut png") << "c.png" << 300;
}
void TestDownsamplingThread::brokenThumbnailIsMadeAgain()
{
    QFETCH(QString, name);
    QFETCH(int, keptBytes);
    const QString folder = m_dir.filePath("broken");
    QVERIFY(QDir().mkpath(folder + "/thumbnails"));
    const QString photo = folder + "/" + name, thumbnail = folder + "/thumbnails/" + name;
    QVERIFY(quadrants(800, 600).save(photo));
    QVERIFY(quadrants(256, 192).save(thumbnail));
    QVERIFY(DownsamplingThread::isUsableThumbnail(thumbnail));
    QFile::resize(thumbnail, keptBytes);
    QVERIFY(!DownsamplingThread::isUsableThumbnail(thumbnail));

    const JobRun run = runJob({photo}, {thumbnail});
    QVERIFY(run.failures.isEmpty());
    QCOMPARE(run.thumbnails, (QList<QPair<int, QString>>{{0, thumbnail}}));
    QVERIFY(DownsamplingThread::isUsableThumbnail(thumbnail));
    QCOMPARE(QImageReader(thumbnail).size(), QSize(256, 192));
}

void TestDownsamplingThread::noSignalForBadLists_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("outputs");
    QTest::newRow("empty") << QStringList() << QStringList();
    QTest::newRow("more inputs") << QStringList{"a.jpg", "b.jpg"} << QStringList{"t/a.jpg"};
    QTest::newRow("more outputs") << QStringList{"a.jpg"} << QStringList{"t/a.jpg", "t/b.jpg"};
    QTest::newRow("no outputs") << QStringList{"a.jpg"} << QStringList();
}

void TestDownsamplingThread::noSignalForBadLists()
{
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, outputs);
    const JobRun run = runJob(inputs, outputs);
    QVERIFY(run.finished);
    QVERIFY(run.thumbnails.isEmpty());
    QVERIFY(run.progress.isEmpty());
    QVERIFY(run.failures.isEmpty());
}

void TestDownsamplingThread::unreadableInputsAreReportedAndJobGoesOn()
{
    const QString folder = m_dir.filePath("unreadable");
    QVERIFY(QDir().mkpath(folder));
    QStringList inputs;
    inputs << folder + "/good1.jpg" << folder + "/missing.jpg" << folder + "/corrupt.jpg"
           << folder + "/notes.png" << folder + "/good2.jpg";
    QVERIFY(quadrants(1600, 1200).save(inputs[0]));
    QVERIFY(writeFile(inputs[2], QByteArray("\xff\xd8\xff\xdb", 4) + QByteArray(200, '\x13')));
    QVERIFY(writeFile(inputs[3], "shopping list, not a picture\n"));
    QVERIFY(quadrants(1200, 1600).save(inputs[4]));
    QStringList outputs;
    for (const QString &input : inputs)
        outputs << folder + "/thumbnails/" + QFileInfo(input).fileName();

    const JobRun run = runJob(inputs, outputs);
    QVERIFY(run.finished);
    QCOMPARE(run.progress, (QList<int>{20, 40, 60, 80, 100}));
    QCOMPARE(run.thumbnails.size(), 2);
    QCOMPARE(run.thumbnails[0].first, 0);
    QCOMPARE(run.thumbnails[1].first, 4);
    QCOMPARE(run.failures.size(), 3);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(run.failures[k].first, k + 1);
        QVERIFY2(run.failures[k].second.contains(QFileInfo(inputs[k + 1]).fileName()),
                 qPrintable(run.failures[k].second));
        QVERIFY(!QFile::exists(outputs[k + 1]));
    }
    QCOMPARE(QImageReader(outputs[4]).size(), QSize(192, 256));
}

void TestDownsamplingThread::missingPhotographsSayNotFound()
{
    // An empty path is what the import leaves for a photograph it did not find.
    const QString folder = m_dir.filePath("missing");
    QVERIFY(QDir().mkpath(folder));
    const QStringList inputs{QString(), folder + "/absent.jpg"};
    const QStringList outputs{DownsamplingThread::thumbnailPath(inputs[0]),
                              DownsamplingThread::thumbnailPath(inputs[1])};
    const JobRun run = runJob(inputs, outputs);
    QVERIFY(run.finished);
    QCOMPARE(run.failures.size(), 2);
    QCOMPARE(run.failures[0].second, QString("not found"));
    QCOMPARE(run.failures[1].second, QDir::toNativeSeparators(inputs[1]) + " not found");
    QVERIFY(!QFileInfo::exists(folder + "/thumbnails")); // no folder made for nothing
}

void TestDownsamplingThread::unwritableFolderIsReported()
{
    const QString folder = m_dir.filePath("unwritable");
    QVERIFY(QDir().mkpath(folder));
    const QString photo = folder + "/photo.png";
    QVERIFY(quadrants(400, 300).save(photo));
    // A plain file stands where the thumbnails folder should be created.
    QVERIFY(writeFile(folder + "/blocked", QByteArray()));
    const QStringList outputs = {folder + "/blocked/thumbnails/photo.png",
                                 folder + "/thumbnails/photo.unknownformat",
                                 folder + "/thumbnails/photo.png"};

    const JobRun run = runJob({photo, photo, photo}, outputs);
    QVERIFY(run.finished);
    QCOMPARE(run.failures.size(), 2);
    QCOMPARE(run.failures[0].first, 0);
    QVERIFY2(run.failures[0].second.contains("folder"), qPrintable(run.failures[0].second));
    QCOMPARE(run.failures[1].first, 1);
    QVERIFY(!QFile::exists(outputs[1]));
    QCOMPARE(run.thumbnails.size(), 1);
    QCOMPARE(run.thumbnails[0].first, 2);
    QCOMPARE(run.progress.last(), 100);
}

// Thumbnails are synced to disk once at the end: a disk that then reports a failed write leaves
// every thumbnail of the run unsure, and each is reported.
void TestDownsamplingThread::failedDiskSyncReportsTheThumbnails()
{
    const QString folder = m_dir.filePath("unsynced");
    QVERIFY(QDir().mkpath(folder));
    const QStringList inputs{folder + "/a.png", folder + "/b.png"};
    for (const QString &input : inputs)
        QVERIFY(quadrants(400, 300).save(input));
    const QStringList outputs{folder + "/thumbnails/a.png", folder + "/thumbnails/b.png"};
    failingsync::fileSystemError = EIO;
    const JobRun run = runJob(inputs, outputs);
    failingsync::fileSystemError = 0;
    QVERIFY(run.finished);
    QCOMPARE(run.failures.size(), 2);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(run.failures[k].first, k);
        QVERIFY2(run.failures[k].second.contains("may not have reached the disk"),
                 qPrintable(run.failures[k].second));
    }
}

void TestDownsamplingThread::stopRequestEndsBeforeTheNextPhotograph()
{
    const QString folder = m_dir.filePath("stop");
    QVERIFY(QDir().mkpath(folder));
    QStringList inputs, outputs;
    for (int i = 0; i < 6; ++i) {
        inputs << folder + QString("/p%1.jpg").arg(i);
        QVERIFY(quadrants(1200, 900).save(inputs.last()));
        outputs << DownsamplingThread::thumbnailPath(inputs.last());
    }
    auto *job = new DownsamplingThread(inputs, outputs);
    int made = 0;
    // Direct: runs in the worker, as soon as the first thumbnail exists.
    connect(
        job, &DownsamplingThread::newThumbnail, job,
        [&](int, const QString &) {
            ++made;
            job->requestStop();
        },
        Qt::DirectConnection);
    job->start();
    QVERIFY(QTest::qWaitFor([job] { return job->isFinished(); }, 60000));
    delete job;
    QCOMPARE(made, 1);
    QVERIFY(QFile::exists(outputs[0]));
    QVERIFY(!QFile::exists(outputs[1]));
}

void TestDownsamplingThread::neverStartedJobCanBeDeleted()
{
    auto *job = new DownsamplingThread({"a.jpg"}, {"t/a.jpg"});
    QVERIFY(job->downsampler()->isValid());
    delete job; // the context was handed to a thread that never ran
}

void TestDownsamplingThread::thumbnailPathBesideThePhotograph()
{
    const QString folder = m_dir.filePath("paths/sub");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(quadrants(8, 8).save(folder + "/IMG_0042.JPG", "JPEG"));
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    QCOMPARE(DownsamplingThread::thumbnailPath(folder + "/../sub/IMG_0042.JPG"),
             canonical + "/thumbnails/IMG_0042.JPG");
    // A photograph that is gone keeps its folder; a folder that is gone stays absolute.
    QCOMPARE(DownsamplingThread::thumbnailPath(folder + "/../sub/gone.jpg"),
             canonical + "/thumbnails/gone.jpg");
    QCOMPARE(DownsamplingThread::thumbnailPath("/nowhere-at-all/x/IMG.JPG"),
             QStringLiteral("/nowhere-at-all/x/thumbnails/IMG.JPG"));
    QCOMPARE(DownsamplingThread::thumbnailPath(QString()), QString());
}

void TestDownsamplingThread::realPhotographs()
{
    const QDir images(QStringLiteral(ORVELLE_TEST_DATA) + "/sceaux/images");
    const QStringList names = images.entryList({"*.jpg"}, QDir::Files, QDir::Name);
    QVERIFY2(names.size() >= 2, qPrintable(images.path()));
    QStringList inputs, outputs;
    for (const QString &name : names.mid(0, 3)) {
        inputs << images.filePath(name);
        outputs << m_dir.filePath("real/thumbnails/" + name);
    }
    const JobRun run = runJob(inputs, outputs);
    QVERIFY(run.finished);
    QVERIFY(run.failures.isEmpty());
    QCOMPARE(run.thumbnails.size(), inputs.size());
    for (int i = 0; i < inputs.size(); ++i) {
        const QSize photo = QImageReader(inputs[i]).size();
        const QSize thumb = QImageReader(outputs[i]).size();
        QCOMPARE(std::max(thumb.width(), thumb.height()), 256);
        const int expectedShort =
            256 * std::min(photo.width(), photo.height()) / std::max(photo.width(), photo.height());
        QCOMPARE(std::min(thumb.width(), thumb.height()), expectedShort);
        const QString problem = checkQuality(inputs[i], outputs[i]);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
}

QTEST_MAIN(TestDownsamplingThread)
#include "tst_downsamplingthread.moc"
