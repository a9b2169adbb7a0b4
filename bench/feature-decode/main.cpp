// Colour features from the reduced decode (what the thumbnails decode) against the full-size
// decode, on a generated sample, the real scene and a folder of real JPEGs: how far the colour
// distances move, whether the order and clusters (all weights 1) stay the same, and the time of
// both decodes and of the whole ordering job.
// Usage: feature-decode-bench [--sample DIR] [--views N] [--size WxH] [--rounds R]
//                             [--scene FILE.pfp] [--jpegs DIR] [--steps]
// Without --sample a sample of N (24) photographs of WxH (4000x3000) is generated with
// make-sample-dataset in a temporary folder. --steps also times the thumbnail step followed by
// the ordering step, with and without the thumbnails' decodes handed to the ordering (needs a
// display: run under xvfb-run -a).

#include "datasetimport.h"
#include "jobinputs.h"
#include "orderandsemanticthread.h"
#include "ordering.h"
#include "steprunner.h"
#include "steps.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace
{

struct Dataset {
    QString label;
    QStringList paths;
    QVector<Camera> cameras; // empty: no order or clusters
    QVector<float> depths;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values[values.size() / 2];
}

QVector<ShotFeatures> features(const Dataset &data, FeatureDecoding decoding, double *seconds)
{
    QElapsedTimer timer;
    timer.start();
    QVector<ShotFeatures> records;
    for (int i = 0; i < data.paths.size(); ++i) {
        const bool time = !data.cameras.isEmpty(); // the order uses it; a folder of files has none
        records.append(computeImageFeatures(data.paths.at(i), ImageFeatureNeeds{time, true, decoding}));
        applyCameraFeatures(records.last(), i < data.cameras.size() ? data.cameras[i] : Camera(),
                            i < data.depths.size() ? data.depths[i] : 1.0f);
    }
    *seconds = timer.nsecsElapsed() / 1e9;
    return records;
}

// The ordering job as the window runs it, from an empty cache, in seconds of wall and processor time.
std::pair<double, double> orderingJob(const Dataset &data, FeatureDecoding decoding)
{
    const FeatureWeightSet ones{1, 1, 1, 1, 1, 1};
    OrderAndSemanticThread job(data.paths, data.cameras, data.depths, OrderingWeights{ones, ones},
                               std::make_shared<FeatureStore>(), decoding);
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    job.start();
    job.wait();
    return {timer.nsecsElapsed() / 1e9, cpuSeconds() - cpu};
}

void compare(const Dataset &data, int rounds)
{
    std::printf("== %s: %lld photographs\n", qPrintable(data.label), static_cast<long long>(data.paths.size()));
    if (data.paths.isEmpty())
        return;
    QVector<double> fullTimes, reducedTimes;
    QVector<ShotFeatures> full, reduced;
    for (int round = 0; round < rounds; ++round) { // alternated, so drift hits both sides
        double seconds = 0;
        full = features(data, FeatureDecoding::FullSize, &seconds);
        fullTimes.append(seconds);
        reduced = features(data, FeatureDecoding::Reduced, &seconds);
        reducedTimes.append(seconds);
    }
    const int n = full.size();
    const FeatureTable fullFactors = normalizationFor(full);
    const FeatureTable reducedFactors = normalizationFor(reduced);
    struct Slot {
        const char *name;
        int slot;
    };
    for (const Slot &s : {Slot{"colour distribution", colorDistributionSlot}, Slot{"colour spatial", colorSpatialSlot}}) {
        double pairDiff = 0, selfDist = 0, normalisedDiff = 0, largest = 0;
        QString farthest;
        for (int i = 0; i < n; ++i) {
            const double self = slotDistance(s.slot, full[i], reduced[i]);
            if (self > selfDist) {
                selfDist = self;
                farthest = QFileInfo(full[i].name).fileName();
            }
            for (int j = i + 1; j < n; ++j) {
                const double f = slotDistance(s.slot, full[i], full[j]);
                const double r = slotDistance(s.slot, reduced[i], reduced[j]);
                largest = std::max(largest, f);
                pairDiff = std::max(pairDiff, std::fabs(f - r));
                normalisedDiff =
                    std::max(normalisedDiff, std::fabs(f * fullFactors[s.slot] - r * reducedFactors[s.slot]));
            }
        }
        std::printf("  %-20s max |d(full i,j) - d(reduced i,j)| %.5f (normalised %.5f; largest pair "
                    "distance %.4f), max d(full i, reduced i) %.5f (%s)\n",
                    s.name, pairDiff, normalisedDiff, largest, selfDist, qPrintable(farthest));
    }
    if (!data.cameras.isEmpty()) {
        FeatureTable ones{};
        for (int slot = 0; slot < constantSlot; ++slot)
            ones[slot] = 1.0f;
        const FeatureTable fullWeights = weightsFor(ones, fullFactors);
        const FeatureTable reducedWeights = weightsFor(ones, reducedFactors);
        const QVector<int> fullOrder = ordering::computeOrder(full, fullWeights);
        const QVector<int> reducedOrder = ordering::computeOrder(reduced, reducedWeights);
        const QVector<int> fullClusters = ordering::computeSemantic(full, fullOrder, fullWeights);
        const QVector<int> reducedClusters = ordering::computeSemantic(reduced, reducedOrder, reducedWeights);
        int movedPositions = 0, clusterDiff = 0;
        for (int k = 0; k < n; ++k) {
            movedPositions += fullOrder[k] != reducedOrder[k];
            clusterDiff = std::max(clusterDiff, std::abs(fullClusters[k] - reducedClusters[k]));
        }
        std::printf("  all weights 1: order %s (%d of %d places differ), clusters %s (largest difference %d, "
                    "last value %d)\n",
                    fullOrder == reducedOrder ? "identical" : "DIFFERENT", movedPositions, n,
                    fullClusters == reducedClusters ? "identical" : "DIFFERENT", clusterDiff,
                    fullClusters.isEmpty() ? 0 : *std::max_element(fullClusters.begin(), fullClusters.end()));
    }
    const double fullTime = median(fullTimes), reducedTime = median(reducedTimes);
    std::printf("  features (decode + colours), median of %d: full size %.3f s, reduced %.3f s, ratio %.2fx\n",
                rounds, fullTime, reducedTime, reducedTime > 0 ? fullTime / reducedTime : 0.0);
    if (data.cameras.isEmpty())
        return;
    QVector<double> fullJob, reducedJob, fullCpu, reducedCpu, ratios;
    for (int round = 0; round < rounds; ++round) {
        const auto before = orderingJob(data, FeatureDecoding::FullSize);
        const auto after = orderingJob(data, FeatureDecoding::Reduced);
        fullJob.append(before.first);
        fullCpu.append(before.second);
        reducedJob.append(after.first);
        reducedCpu.append(after.second);
        ratios.append(after.first > 0 ? before.first / after.first : 0.0);
    }
    std::printf("  ordering job (colour weights on, empty cache), median of %d paired runs: full size %.3f s "
                "(cpu %.3f s), reduced %.3f s (cpu %.3f s), paired ratio %.2fx\n",
                rounds, median(fullJob), median(fullCpu), median(reducedJob), median(reducedCpu), median(ratios));
}

// Thumbnails (made afresh) then ordering with colour weights on, through the engine's steps, as the
// window and the tool run them; `handOver` gives the thumbnail step the weights.
std::pair<double, double> thumbnailsThenOrdering(const Dataset &data, bool handOver)
{
    const auto store = std::make_shared<FeatureStore>();
    for (const QString &thumbnail : JobInputs::thumbnailPaths(data.paths))
        QFile::remove(thumbnail);
    const FeatureWeightSet ones{1, 1, 1, 1, 1, 1};
    const OrderingWeights weights{ones, ones};
    QElapsedTimer timer;
    timer.start();
    ThumbnailStep thumbnails(data.paths, ThumbnailSource::Downsample, handOver ? weights : OrderingWeights(),
                             store, FeatureDecoding::Reduced);
    StepRunner::runToEnd(thumbnails);
    const double thumbnailSeconds = timer.nsecsElapsed() / 1e9;
    OrderingStep ordering(data.paths, data.cameras, data.depths, weights, store, FeatureDecoding::Reduced);
    StepRunner::runToEnd(ordering);
    return {thumbnailSeconds, timer.nsecsElapsed() / 1e9 - thumbnailSeconds};
}

void compareSteps(const Dataset &data, int rounds)
{
    QVector<double> separateThumbs, separateOrder, onceThumbs, onceOrder, ratios;
    for (int round = 0; round < rounds; ++round) {
        const auto separate = thumbnailsThenOrdering(data, false);
        const auto once = thumbnailsThenOrdering(data, true);
        separateThumbs.append(separate.first);
        separateOrder.append(separate.second);
        onceThumbs.append(once.first);
        onceOrder.append(once.second);
        ratios.append((separate.first + separate.second) / (once.first + once.second));
    }
    std::printf("  thumbnail step + ordering step, median of %d paired runs: decoded twice %.3f + %.3f s, "
                "decoded once %.3f + %.3f s, paired ratio of the sums %.2fx\n",
                rounds, median(separateThumbs), median(separateOrder), median(onceThumbs), median(onceOrder),
                median(ratios));
}

Dataset project(const QString &label, const QString &file)
{
    Dataset data;
    data.label = label + QStringLiteral(" (") + file + QLatin1Char(')');
    const ImportedDataset imported = DatasetImport::read(file);
    if (!imported.readOk)
        std::fprintf(stderr, "feature-decode-bench: %s: %s\n", qPrintable(file), qPrintable(imported.problemText()));
    data.paths = imported.imagePaths;
    data.cameras = imported.cameras;
    data.cameras.resize(data.paths.size());
    data.depths = imported.depths.size() == data.paths.size() ? imported.depths : QVector<float>(data.paths.size(), 1.0f);
    return data;
}

Dataset folder(const QString &label, const QString &path)
{
    Dataset data;
    data.label = label + QStringLiteral(" (") + path + QLatin1Char(')');
    QDirIterator it(path, {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"), QStringLiteral("*.JPG")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        data.paths.append(it.next());
    data.paths.sort();
    return data;
}

} // namespace

int main(int argc, char *argv[])
{
    bool steps = false;
    for (int i = 1; i < argc; ++i)
        steps = steps || QByteArray(argv[i]) == "--steps";
    // The thumbnail step needs a display; the rest does not.
    std::unique_ptr<QCoreApplication> application =
        steps ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    const QStringList args = app.arguments();
    auto option = [&](const QString &name, const QString &fallback) {
        const int at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const QString shared = QStringLiteral(ORVELLE_SHARED_DATA);
    const int rounds = std::max(1, option(QStringLiteral("--rounds"), QStringLiteral("3")).toInt());
    QString sample = option(QStringLiteral("--sample"), QString());
    QTemporaryDir temporary;
    if (sample.isEmpty()) {
        sample = temporary.filePath(QStringLiteral("sample"));
        const QString generator = app.applicationDirPath() + QStringLiteral("/make-sample-dataset");
        const int status = QProcess::execute(
            generator, {sample, QStringLiteral("--views"), option(QStringLiteral("--views"), QStringLiteral("24")),
                        QStringLiteral("--size"), option(QStringLiteral("--size"), QStringLiteral("4000x3000"))});
        if (status != 0) {
            std::fprintf(stderr, "feature-decode-bench: %s failed\n", qPrintable(generator));
            return 1;
        }
    }
    const Dataset generated = project(QStringLiteral("generated sample"), sample + QStringLiteral("/sample.pfp"));
    compare(generated, rounds);
    if (steps)
        compareSteps(generated, rounds);
    const QString scene = option(QStringLiteral("--scene"), shared + QStringLiteral("/sceaux/sceaux.pfp"));
    if (QFileInfo::exists(scene))
        compare(project(QStringLiteral("real scene"), scene), rounds);
    else
        std::printf("== real scene: %s not found, skipped\n", qPrintable(scene));
    const QString jpegs = option(QStringLiteral("--jpegs"), shared + QStringLiteral("/jpeg-real"));
    if (QFileInfo(jpegs).isDir())
        compare(folder(QStringLiteral("real JPEGs"), jpegs), rounds);
    else
        std::printf("== real JPEGs: %s not found, skipped\n", qPrintable(jpegs));
    return 0;
}
