// The ordering stage of the ordering job on synthetic records: n = 1,000 and 10,000.
// Run: bench_ordering [--benchmark_filter=...]

#include "ordering.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace
{

// Shots spread over a day and a site, with random colours.
QVector<ShotFeatures> syntheticRecords(int n)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    QVector<ShotFeatures> rows;
    rows.reserve(n);
    const QDateTime start(QDate(2010, 10, 12), QTime(8, 0), Qt::LocalTime);
    for (int i = 0; i < n; ++i) {
        ShotFeatures f;
        f.name = QStringLiteral("/photos/%1.jpg").arg(i);
        f.time = start.addSecs(qint64(random() % 36000));
        for (int k = 0; k < 64; ++k)
            f.colorDistr[k] = int(random() % 50000);
        for (int k = 0; k < 48; ++k)
            f.colorSpatialDistr[k] = int(random() % 256);
        f.dir = ksr::Point3f(unit(random), unit(random), unit(random)).normalized();
        f.pos = {200 * unit(random), 200 * unit(random), 20 * unit(random)};
        f.depth = 20 + 10 * unit(random);
        f.target = f.pos + f.dir * f.depth;
        updateDerivedFeatures(f);
        rows.append(f);
    }
    return rows;
}

const FeatureTable userWeights{0.5f, 0.3f, 0.6f, 0.4f, 1.0f, 0.8f, 0.0f};

// Everything the job does after the features: normalisation, order, semantic values.
void BM_OrderingStage(benchmark::State &state)
{
    const QVector<ShotFeatures> rows = syntheticRecords(int(state.range(0)));
    for (auto _ : state) {
        const FeatureTable factors = normalizationFor(rows);
        const FeatureTable weights = weightsFor(userWeights, factors);
        const QVector<int> order = ordering::computeOrder(rows, weights);
        const QVector<int> semantic = ordering::computeSemantic(rows, order, weights);
        benchmark::DoNotOptimize(semantic.data());
    }
}

// The n(n-1)/2 combined distances alone (both cores).
void BM_DistanceMatrix(benchmark::State &state)
{
    const QVector<ShotFeatures> rows = syntheticRecords(int(state.range(0)));
    const FeatureTable weights = weightsFor(userWeights, normalizationFor(rows));
    for (auto _ : state) {
        const auto matrix = ordering::distanceMatrix(rows, weights);
        benchmark::DoNotOptimize(matrix.total);
    }
    state.counters["pairs/s"] = benchmark::Counter(double(state.range(0)) * double(state.range(0) - 1) / 2.0,
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// Grouping and chaining on a ready matrix.
void BM_OrderFromMatrix(benchmark::State &state)
{
    const QVector<ShotFeatures> rows = syntheticRecords(int(state.range(0)));
    const auto matrix = ordering::distanceMatrix(rows, weightsFor(userWeights, normalizationFor(rows)));
    for (auto _ : state) {
        const QVector<int> order = ordering::orderFromMatrix(matrix);
        benchmark::DoNotOptimize(order.data());
    }
}

} // namespace

BENCHMARK(BM_OrderingStage)->Arg(1000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_OrderingStage)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_DistanceMatrix)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_OrderFromMatrix)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
