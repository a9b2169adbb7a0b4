// Measures thumbnails per second of the graphics-card thumbnail job and, on the
// same photographs in the same run, of vipsthumbnail and ImageMagick's convert.
// Then the quality of ours and of vipsthumbnail's thumbnails: PSNR and SSIM against a reference made
// from the whole decode, reduced by area averaging.
// Usage: thumbnail-bench [--repeat N] [--images folder]
// Run under a display (xvfb-run -a) like everything that needs GL.

#include "downsamplingthread.h"
#include "imagequality.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace
{

struct Timing {
    bool ran = false;
    double seconds = 0;
    double cpuSeconds = 0; // user + system, all threads (or the child processes)
    int made = 0;
    QString note;
};

// Processor time used so far by this process or by its waited-for children.
double cpuTime(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// A photograph-like picture: smooth light, texture and fine detail, so the
// JPEG is about as large and as slow to decode as a camera's.
QImage syntheticPhoto(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    const int hue = int(random.bounded(360));
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(48));
            const int r = (x * 160 / width + noise + hue / 3) & 0xff;
            const int g = (y * 160 / height + noise) & 0xff;
            const int b = ((x + y) * 100 / (width + height) + noise + 60) & 0xff;
            line[x] = qRgb(r, g, b);
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 60; ++i) {
        painter.setPen(QPen(QColor::fromHsv(int(random.bounded(360)), 200, 200), 2 + random.bounded(20)));
        painter.drawEllipse(QPointF(random.bounded(width), random.bounded(height)), random.bounded(width / 3),
                            random.bounded(height / 3));
    }
    return image;
}

Timing runOurs(const QStringList &inputs, const QString &outputFolder)
{
    Timing timing;
    QDir(outputFolder).removeRecursively();
    QStringList outputs;
    for (const QString &input : inputs)
        outputs << outputFolder + "/thumbnails/" + QFileInfo(input).fileName();
    const double cpuBefore = cpuTime(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    // Construction is timed too: it makes the GL context.
    DownsamplingThread job(inputs, outputs);
    QEventLoop loop;
    QObject::connect(&job, &DownsamplingThread::newThumbnail, [&](int, const QString &) { ++timing.made; });
    QObject::connect(&job, &DownsamplingThread::failed, [&](int i, const QString &reason) {
        timing.note += QString("%1: %2; ").arg(i).arg(reason);
    });
    QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    QCoreApplication::processEvents();
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = cpuTime(RUSAGE_SELF) - cpuBefore;
    timing.ran = true;
    return timing;
}

Timing runProcess(const QString &program, const QStringList &arguments, const QString &outputFolder,
                  int expected)
{
    Timing timing;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const double cpuBefore = cpuTime(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(600000)) {
        timing.note = process.errorString();
        return timing;
    }
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = cpuTime(RUSAGE_CHILDREN) - cpuBefore;
    timing.ran = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!timing.ran)
        timing.note = QString::fromLocal8Bit(process.readAll()).left(200);
    timing.made = int(QDir(outputFolder).entryList(QDir::Files).size());
    if (timing.made != expected)
        timing.note += QString(" (%1 of %2 thumbnails)").arg(timing.made).arg(expected);
    return timing;
}

Timing runVips(const QString &vips, const QStringList &inputs, const QString &outputFolder)
{
    QDir(outputFolder).removeRecursively();
    QDir().mkpath(outputFolder);
    QStringList arguments = {"--size", "256", "-o", outputFolder + "/%s.jpg"};
    arguments += inputs;
    return runProcess(vips, arguments, outputFolder, int(inputs.size()));
}

Timing runConvert(const QString &convert, const QStringList &inputs, const QString &outputFolder)
{
    QDir(outputFolder).removeRecursively();
    QDir().mkpath(outputFolder);
    Timing total;
    total.ran = true;
    // One process per photograph, the way it is usually called.
    for (const QString &input : inputs) {
        const QString output = outputFolder + "/" + QFileInfo(input).fileName();
        const Timing one = runProcess(convert, {input, "-thumbnail", "256x256", output}, outputFolder, -1);
        total.ran = total.ran && one.ran;
        total.seconds += one.seconds;
        total.cpuSeconds += one.cpuSeconds;
        if (!one.ran)
            total.note = one.note;
    }
    total.made = int(QDir(outputFolder).entryList(QDir::Files).size());
    return total;
}

// Returns the median processor seconds of a run; the ratios compare wall throughput and processor time.
double report(const char *tool, const QList<Timing> &runs, int images, double oursPerSecond, double oursCpu)
{
    if (runs.isEmpty() || !runs.first().ran) {
        std::printf("  %-14s failed: %s\n", tool, runs.isEmpty() ? "" : qPrintable(runs.first().note));
        return 0;
    }
    QList<double> seconds, cpu;
    for (const Timing &run : runs) {
        seconds << run.seconds;
        cpu << run.cpuSeconds;
    }
    const double s = median(seconds);
    const double perSecond = images / s;
    std::printf("  %-14s %7.2f images/s  %7.1f ms/image  %7.1f ms processor/image  (median of %lld, %d made)",
                tool, perSecond, 1000.0 * s / images, 1000.0 * median(cpu) / images,
                static_cast<long long>(runs.size()), runs.first().made);
    if (oursPerSecond > 0)
        std::printf("  ours/this = %.2f", oursPerSecond / perSecond);
    if (oursCpu > 0)
        std::printf("  processor this/ours = %.2f", median(cpu) / oursCpu);
    if (!runs.first().note.isEmpty())
        std::printf("  note: %s", qPrintable(runs.first().note));
    std::printf("\n");
    return median(cpu);
}

struct QualitySummary {
    double worstPsnr = 1e9, worstSsim = 1e9, psnrSum = 0, ssimSum = 0;
    int compared = 0;
    QString worstPsnrName, worstSsimName, note;

    void add(const ImageQuality &quality, const QString &name)
    {
        if (quality.psnr < worstPsnr)
            worstPsnrName = name;
        if (quality.ssim < worstSsim)
            worstSsimName = name;
        worstPsnr = std::min(worstPsnr, quality.psnr);
        worstSsim = std::min(worstSsim, quality.ssim);
        psnrSum += quality.psnr;
        ssimSum += quality.ssim;
        ++compared;
    }
};

// Each thumbnail against the reference of its own size (the references are cached per size).
QualitySummary measureQuality(const QStringList &inputs, const QStringList &thumbnails)
{
    QualitySummary summary;
    for (int i = 0; i < inputs.size(); ++i) {
        const QImage thumbnail(thumbnails[i]);
        QString error;
        const QImage reference = referenceThumbnail(inputs[i], thumbnail.size(), &error);
        const ImageQuality quality = compareImages(thumbnail, reference);
        if (!quality.valid) {
            summary.note += QString("%1 not compared: %2; ").arg(QFileInfo(inputs[i]).fileName(), error);
            continue;
        }
        summary.add(quality, QFileInfo(inputs[i]).fileName());
    }
    return summary;
}

void reportQuality(const char *tool, const QualitySummary &summary)
{
    if (summary.compared == 0) {
        std::printf("  %-14s quality not measured %s\n", tool, qPrintable(summary.note));
        return;
    }
    std::printf(
        "  %-14s PSNR worst %.2f dB (%s) mean %.2f dB, SSIM worst %.4f (%s) mean %.4f (%d thumbnails) %s\n",
        tool, summary.worstPsnr, qPrintable(summary.worstPsnrName), summary.psnrSum / summary.compared,
        summary.worstSsim, qPrintable(summary.worstSsimName), summary.ssimSum / summary.compared,
        summary.compared, qPrintable(summary.note));
}

void benchSet(const char *name, const QStringList &inputs, const QString &work, int repeat,
              const QString &vips, const QString &convert)
{
    std::printf("%s: %lld photographs\n", name, static_cast<long long>(inputs.size()));
    std::fflush(stdout);
    QList<Timing> ours, vipsRuns, convertRuns;
    for (int r = 0; r < repeat; ++r) {
        ours << runOurs(inputs, work + "/ours");
        if (!vips.isEmpty())
            vipsRuns << runVips(vips, inputs, work + "/vips");
        if (!convert.isEmpty())
            convertRuns << runConvert(convert, inputs, work + "/convert");
    }
    QList<double> oursSeconds;
    for (const Timing &run : ours)
        oursSeconds << run.seconds;
    const double oursPerSecond = inputs.size() / median(oursSeconds);
    const double oursCpu = report("graphics card", ours, int(inputs.size()), 0, 0);
    if (vips.isEmpty())
        std::printf("  %-14s not installed, skipped\n", "vipsthumbnail");
    else
        report("vipsthumbnail", vipsRuns, int(inputs.size()), oursPerSecond, oursCpu);
    if (convert.isEmpty())
        std::printf("  %-14s not installed, skipped\n", "convert");
    else
        report("convert", convertRuns, int(inputs.size()), oursPerSecond, oursCpu);

    std::printf("  quality against the whole decode reduced by area averaging:\n");
    QStringList oursOutputs, vipsOutputs;
    for (const QString &input : inputs) {
        oursOutputs << work + "/ours/thumbnails/" + QFileInfo(input).fileName();
        vipsOutputs << work + "/vips/" + QFileInfo(input).completeBaseName() + ".jpg";
    }
    reportQuality("graphics card", measureQuality(inputs, oursOutputs));
    if (!vips.isEmpty())
        reportQuality("vipsthumbnail", measureQuality(inputs, vipsOutputs));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    int repeat = 3;
    QString realFolder = QStringLiteral(ORVELLE_SHARED_DATA) + "/sceaux/images";
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--repeat")
            repeat = std::max(1, args[i + 1].toInt());
        else if (args[i] == "--images")
            realFolder = args[i + 1];
    }

    const QString vips = QStandardPaths::findExecutable("vipsthumbnail");
    const QString convert = QStandardPaths::findExecutable("convert");
    std::printf("vipsthumbnail: %s\nconvert: %s\n", vips.isEmpty() ? "not installed" : qPrintable(vips),
                convert.isEmpty() ? "not installed" : qPrintable(convert));

    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "Cannot create a temporary folder\n");
        return 1;
    }
    std::printf("Generating 20 JPEGs of 4000 x 3000 (landscape and portrait mixed)...\n");
    std::fflush(stdout);
    QStringList generated;
    QDir().mkpath(work.filePath("generated"));
    for (int i = 0; i < 20; ++i) {
        const bool portrait = i % 3 == 1;
        const QString path = work.filePath(QString("generated/photo%1.jpg").arg(i, 2, 10, QChar('0')));
        if (!syntheticPhoto(portrait ? 3000 : 4000, portrait ? 4000 : 3000, quint32(i + 1))
                 .save(path, "JPEG", 92)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
            return 1;
        }
        generated << path;
    }
    benchSet("generated", generated, work.filePath("out-generated"), repeat, vips, convert);

    // Subfolders too (the real JPEG collections keep one per source); thumbnails folders left aside.
    QDir real(realFolder);
    QStringList photos;
    QDirIterator found(realFolder, {"*.jpg", "*.JPG", "*.jpeg", "*.JPEG"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (found.hasNext()) {
        const QString path = found.next();
        if (!path.contains("/thumbnails/"))
            photos << path;
    }
    std::sort(photos.begin(), photos.end());
    if (photos.isEmpty())
        std::printf("no photographs in %s, skipped\n", qPrintable(realFolder));
    else
        benchSet(qPrintable(real.path()), photos, work.filePath("out-real"), repeat, vips, convert);
    return 0;
}
