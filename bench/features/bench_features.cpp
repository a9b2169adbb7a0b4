// Feature extraction (time of shot and both colour features, one decode) against a plain decode
// of the same files: 20 generated 4000 x 3000 JPEGs and the real photographs of the shared data.
// Run: bench_features [--benchmark_filter=...]

#include "orderandsemanticthread.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{

// Photograph-like content: smooth gradients, a few shapes and sensor-like noise, so that the
// JPEG data is neither trivial nor pure noise.
QImage syntheticPhoto(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 28) - 8;
            const double u = double(x) / width, v = double(y) / height;
            const bool disc = std::hypot(u - 0.3 - 0.02 * seed, v - 0.5) < 0.15;
            int r = int(255 * u) + noise, g = int(200 * v + 30 * std::sin(20 * u)) + noise,
                b = disc ? 220 + noise : int(120 + 100 * u * v) + noise;
            line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    return image;
}

struct Corpus {
    QTemporaryDir dir;
    QStringList files;
};

const QStringList &generatedPhotos()
{
    static Corpus corpus;
    if (corpus.files.isEmpty()) {
        for (int i = 0; i < 20; ++i) {
            const QString path =
                corpus.dir.filePath(QStringLiteral("gen%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
            syntheticPhoto(4000, 3000, unsigned(i)).save(path, "JPEG", 90);
            corpus.files << path;
        }
    }
    return corpus.files;
}

const QStringList &realPhotos()
{
    static QStringList files;
    if (files.isEmpty()) {
        const QDir dir(QStringLiteral(ORVELLE_SHARED_DATA "/sceaux/images"));
        for (const QString &name : dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
            files << dir.filePath(name);
    }
    return files;
}

const QStringList &corpus(int which)
{
    return which == 0 ? generatedPhotos() : realPhotos();
}

void label(benchmark::State &state, const QStringList &files)
{
    state.SetLabel(state.range(0) == 0 ? "generated 4000x3000" : "sceaux photographs");
    state.SetItemsProcessed(qint64(state.iterations()) * files.size());
}

// What any viewer does: decode each file once, nothing else.
void BM_PlainDecode(benchmark::State &state)
{
    const QStringList &files = corpus(int(state.range(0)));
    for (auto _ : state)
        for (const QString &file : files) {
            QImageReader reader(file);
            const QImage image = reader.read();
            benchmark::DoNotOptimize(image.constBits());
        }
    label(state, files);
}

// Time of shot, one decode and one scan for both colour features, one file after the other.
void BM_ImageFeatures(benchmark::State &state)
{
    const QStringList &files = corpus(int(state.range(0)));
    for (auto _ : state)
        for (const QString &file : files) {
            const ShotFeatures features = computeImageFeatures(file);
            benchmark::DoNotOptimize(features.colorDistr.data());
        }
    label(state, files);
}

// The whole ordering job with an empty cache: decoders on both cores, then the ordering.
// range(1): 0 every weight at 1 (every photograph decoded, as every run did before, the default
// weights included), 1 the window's default weights (direction and position only: no decode).
void BM_JobWithEmptyCache(benchmark::State &state)
{
    const QStringList &files = corpus(int(state.range(0)));
    const QVector<Camera> cameras(files.size());
    const QVector<float> depths(files.size(), 1.0f);
    const FeatureWeightSet all{1, 1, 1, 1, 1, 1}, defaults{0, 0.5f, 0.5f, 0, 0, 0};
    const bool allWeights = state.range(1) == 0;
    const OrderingWeights weights =
        allWeights ? OrderingWeights{all, all} : OrderingWeights{defaults, defaults};
    for (auto _ : state) {
        OrderAndSemanticThread job(files, cameras, depths, weights, std::make_shared<FeatureStore>(),
                                   FeatureDecoding::FullSize);
        job.start();
        job.wait();
    }
    state.SetLabel(std::string(state.range(0) == 0 ? "generated 4000x3000" : "sceaux photographs") +
                   (allWeights ? ", all weights" : ", default weights"));
    state.SetItemsProcessed(qint64(state.iterations()) * files.size());
}

} // namespace

BENCHMARK(BM_PlainDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ImageFeatures)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_JobWithEmptyCache)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    generatedPhotos(); // made once, before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
