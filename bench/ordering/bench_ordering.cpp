// The ordering stage of the ordering job on synthetic records: the order from a full distance
// matrix (the former way) against the order from distances computed when needed, paired, at
// n = 1,000 and 10,000; then the latter alone at 100,000 and, with the default weights, 1,000,000.
// Run: bench_ordering [--huge] [--benchmark_filter=...] [--benchmark_repetitions=N]
// --huge adds 100,000 shots with every weight and 1,000,000 with the default weights.
// Peak memory is the process's: run one large benchmark per process to read it (see README.md here).

#include "orderandsemanticthread.h"
#include "ordering.h"
#include "syntheticrecords.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <random>
#include <string>

namespace
{

// Slot order. The window's defaults: direction and position of shot at 50 of 100.
const FeatureTable defaultWeights{0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f};
const FeatureTable allWeights{0.5f, 0.3f, 0.6f, 0.4f, 1.0f, 0.8f, 0.0f};
const FeatureTable &userWeights(int which)
{
    return which == 0 ? defaultWeights : allWeights;
}

void label(benchmark::State &state)
{
    state.SetLabel(state.range(1) == 0 ? "default weights" : "all weights");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakMB"] = double(usage.ru_maxrss) / 1024.0;
}

// Before: the full matrix, then threshold, grouping and chaining on it; semantic values.
void BM_OrderWithMatrix(benchmark::State &state)
{
    const QVector<ShotFeatures> rows = syntheticRecords(int(state.range(0)));
    const FeatureTable weights = weightsFor(userWeights(int(state.range(1))), normalizationFor(rows));
    for (auto _ : state) {
        const QVector<int> order = ordering::orderFromMatrix(ordering::distanceMatrix(rows, weights));
        const QVector<int> semantic = ordering::computeSemantic(rows, order, weights);
        benchmark::DoNotOptimize(semantic.data());
    }
    label(state);
}

// After: what the job does now, distances computed when needed.
void BM_OrderWithoutMatrix(benchmark::State &state)
{
    const QVector<ShotFeatures> rows = syntheticRecords(int(state.range(0)));
    const FeatureTable weights = weightsFor(userWeights(int(state.range(1))), normalizationFor(rows));
    for (auto _ : state) {
        const QVector<int> order = ordering::computeOrder(rows, weights);
        const QVector<int> semantic = ordering::computeSemantic(rows, order, weights);
        benchmark::DoNotOptimize(semantic.data());
    }
    label(state);
}

// Huge datasets: only the distance columns are kept and records are made one at a time, so
// memory holds neither a ShotFeatures vector (about 1.8 kB a shot) nor a matrix.
void BM_OrderHuge(benchmark::State &state)
{
    const int n = int(state.range(0));
    const bool colors = state.range(1) != 0;
    auto recordAt = [colors](int i) {
        std::mt19937 random(unsigned(i) * 2654435761u + 1u);
        return syntheticRecord(random, colors);
    };
    // What normalizationFor(all records) computes, from the records it samples: i = 0, s, 2s, ...
    // against j = 1, 1 + s, ...
    const int step = std::max(1, n / 10);
    FeatureTable factors;
    for (int slot = 0; slot < featureSlotCount; ++slot) {
        float maximum = 0.0f;
        for (int i = 0; i < n; i += step)
            for (int j = 1; j < n; j += step) {
                const float d = slotDistance(slot, recordAt(i), recordAt(j));
                if (d > maximum)
                    maximum = d;
            }
        factors[slot] = maximum == 0.0f ? 1.0f : float(1.0 / maximum);
    }
    factors[constantSlot] = 1.0f;
    ordering::PairDistances distances(weightsFor(userWeights(int(state.range(1))), factors));
    distances.reserve(n);
    for (int i = 0; i < n; ++i)
        distances.append(recordAt(i));
    for (auto _ : state) {
        const QVector<int> order = ordering::orderFromDistances(distances);
        const QVector<int> semantic = ordering::computeSemantic(distances, order);
        benchmark::DoNotOptimize(semantic.data());
    }
    label(state);
}

// The whole job as the window and the tool run it, with the default weights: the photographs are
// not there (their headers are all the default weights look at), the cameras spread over the site.
void BM_JobDefaultWeights(benchmark::State &state)
{
    const int n = int(state.range(0));
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    QStringList paths;
    QVector<Camera> cameras(n);
    const QVector<float> depths(n, 20.0f);
    for (int i = 0; i < n; ++i) {
        paths << QStringLiteral("/nonexistent/photos/%1.jpg").arg(i);
        cameras[i].center = {200 * unit(random), 200 * unit(random), 20 * unit(random)};
        const float yaw = 3.14159f * unit(random);
        cameras[i].rotation = ksr::Matrix44f::identity();
        cameras[i].rotation.m[0][0] = std::cos(yaw);
        cameras[i].rotation.m[0][2] = -std::sin(yaw);
        cameras[i].rotation.m[2][0] = std::sin(yaw);
        cameras[i].rotation.m[2][2] = std::cos(yaw);
    }
    const FeatureWeightSet defaults{0, 0.5f, 0.5f, 0, 0, 0};
    for (auto _ : state) {
        OrderAndSemanticThread job(paths, cameras, depths, OrderingWeights{defaults, defaults},
                                   std::make_shared<FeatureStore>(), FeatureDecoding::FullSize);
        job.start();
        job.wait();
    }
    state.SetLabel("default weights, whole job");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakMB"] = double(usage.ru_maxrss) / 1024.0;
}

} // namespace

BENCHMARK(BM_OrderWithMatrix)
    ->ArgsProduct({{1000, 10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_OrderWithoutMatrix)
    ->ArgsProduct({{1000, 10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
// Every weight at twice the size: how the time grows towards 100,000.
BENCHMARK(BM_OrderWithoutMatrix)
    ->Args({20000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_OrderWithoutMatrix)
    ->Args({100000, 0})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_JobDefaultWeights)
    ->Arg(100000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The cases that take from half an hour up on two shared cores run only when asked for.
    bool huge = false;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--huge") {
            huge = true;
            for (int k = i; k + 1 < argc; ++k)
                argv[k] = argv[k + 1];
            --argc;
            break;
        }
    if (huge) {
        benchmark::RegisterBenchmark("BM_OrderWithoutMatrix", BM_OrderWithoutMatrix)
            ->Args({100000, 1})
            ->Unit(benchmark::kSecond)
            ->Iterations(1)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
        benchmark::RegisterBenchmark("BM_OrderHuge", BM_OrderHuge)
            ->Args({1000000, 0})
            ->Unit(benchmark::kSecond)
            ->Iterations(1)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
