#include "ordering.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <thread>

namespace
{

// Starting bound of every nearest-member search: only smaller distances are taken.
constexpr double searchBound = 2147483648.0;

// Below this size a second thread costs more than it saves.
constexpr int parallelMatrixMinimum = 64;

// Largest dataset ordered through a full matrix (64 MB) when distances are costly.
constexpr int matrixForCostlyMaximum = 4096;

int matrixThreadCount(int n)
{
    if (n < parallelMatrixMinimum)
        return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}

} // namespace

namespace ordering
{

void DistanceMatrix::set(int a, int b, float d)
{
    values[std::size_t(a) * std::size_t(n) + std::size_t(b)] = d;
    values[std::size_t(b) * std::size_t(n) + std::size_t(a)] = d;
}

DistanceMatrix distanceMatrix(const QVector<ShotFeatures> &features, const FeatureTable &weights,
                              const std::atomic<bool> *stop)
{
    const int n = features.size();
    DistanceMatrix matrix(n);
    float *values = matrix.values.data();
    const std::size_t stride = std::size_t(n);

    // Upper triangle, one row at a time, rows handed out to the threads as they come free. Each
    // value depends only on its pair, so the split cannot change a result.
    std::atomic<int> nextRow{0};
    std::atomic<bool> stopped{false};
    auto fillRows = [&]() {
        for (int a = nextRow++; a < n; a = nextRow++) {
            if (stop && stop->load()) {
                stopped = true;
                return;
            }
            const ShotFeatures &first = features[a];
            float *row = values + std::size_t(a) * stride;
            for (int b = a + 1; b < n; ++b) {
                const float d = combinedDistance(first, features[b], weights);
                row[b] = d > 0.0f ? d : 0.0f; // negative and NaN distances count as 0
            }
        }
    };
    const int threads = matrixThreadCount(n);
    if (threads > 1) {
        std::thread helper(fillRows);
        fillRows();
        helper.join();
    } else {
        fillRows();
    }
    if (stopped)
        return DistanceMatrix();

    // Mirror in tiles (cache friendly) and add up in row-major order, as one running total would.
    constexpr int tile = 64;
    for (int a0 = 0; a0 < n; a0 += tile)
        for (int b0 = a0; b0 < n; b0 += tile)
            for (int a = a0; a < std::min(a0 + tile, n); ++a)
                for (int b = std::max(b0, a + 1); b < std::min(b0 + tile, n); ++b)
                    values[std::size_t(b) * stride + std::size_t(a)] =
                        values[std::size_t(a) * stride + std::size_t(b)];
    double total = 0.0;
    for (int a = 0; a < n; ++a) {
        const float *row = values + std::size_t(a) * stride;
        for (int b = a + 1; b < n; ++b)
            total += row[b];
    }
    matrix.total = total;
    return matrix;
}

double groupingThreshold(const DistanceMatrix &matrix)
{
    return groupingThreshold(matrix.total, matrix.n);
}

double groupingThreshold(double total, int n)
{
    if (n < 2)
        return 0.0;
    const long long pairs = (long long)n * (n - 1) / 2;
    return (total / double(pairs)) / 3.0;
}

QVector<QVector<int>> groupByLeader(const DistanceMatrix &matrix, double threshold)
{
    const int n = matrix.n;
    std::vector<char> grouped(std::size_t(n), 0);
    QVector<QVector<int>> groups;
    for (int leader = 0; leader < n; ++leader) {
        if (grouped[leader])
            continue;
        grouped[leader] = 1;
        QVector<int> group{leader};
        for (int j = 0; j < n; ++j) {
            if (j == leader || grouped[j])
                continue;
            if (double(matrix.at(leader, j)) < threshold) {
                grouped[j] = 1;
                group.append(j);
            }
        }
        groups.append(group);
    }
    return groups;
}

GroupChain chainWithinGroup(const DistanceMatrix &matrix, const QVector<int> &group, int start)
{
    const int m = group.size();
    assert(m > 0 && start >= 0 && start < m && "chainWithinGroup needs a member position inside the group");
    std::vector<char> visited(std::size_t(m), 0);
    GroupChain chain;
    chain.rows.reserve(m);
    int current = start;
    visited[current] = 1;
    chain.rows.append(group[current]);
    for (int k = 1; k < m; ++k) {
        double best = searchBound;
        int choice = -1;
        int firstUnvisited = -1;
        for (int step = 1; step < m; ++step) {
            const int q = (current + step) % m;
            if (visited[q])
                continue;
            if (firstUnvisited < 0)
                firstUnvisited = q;
            const double d = matrix.at(group[current], group[q]);
            if (d < best) {
                best = d;
                choice = q;
            }
        }
        // Distances at or beyond the bound never win; the next member in scan order is taken then,
        // so the chain still holds every member.
        if (choice < 0)
            choice = firstUnvisited;
        visited[choice] = 1;
        chain.rows.append(group[choice]);
        current = choice;
    }
    chain.lastPosition = current;
    return chain;
}

QVector<int> chainGroups(const DistanceMatrix &matrix, const QVector<QVector<int>> &groups)
{
    QVector<int> order;
    order.reserve(matrix.n);
    const int groupCount = groups.size();
    if (groupCount == 0)
        return order;

    int current = 0;
    for (int g = 1; g < groupCount; ++g)
        if (groups[g].size() > groups[current].size())
            current = g;
    int start = 0;
    std::vector<char> visited(std::size_t(groupCount), 0);
    int remaining = groupCount;

    for (;;) {
        const GroupChain chain = chainWithinGroup(matrix, groups[current], start);
        order += chain.rows;
        visited[current] = 1;
        if (--remaining == 0)
            break;

        const int last = chain.rows.last();
        double bestHop = searchBound;
        int next = -1;
        int nextStart = 0;
        int firstUnvisited = -1;
        for (int g = 0; g < groupCount; ++g) {
            if (visited[g])
                continue;
            if (firstUnvisited < 0)
                firstUnvisited = g;
            double nearest = searchBound;
            int nearestPosition = 0;
            for (int p = 0; p < groups[g].size(); ++p) {
                const double d = matrix.at(last, groups[g][p]);
                if (d < nearest) {
                    nearest = d;
                    nearestPosition = p;
                }
            }
            // Normalised distances lie mostly below 1, so the real distances are compared.
            if (nearest < bestHop) {
                bestHop = nearest;
                next = g;
                nextStart = nearestPosition;
            }
        }
        if (next < 0) { // every hop at or beyond the bound
            next = firstUnvisited;
            nextStart = 0;
        }
        current = next;
        start = nextStart;
    }
    return order;
}

QVector<int> orderFromMatrix(const DistanceMatrix &matrix)
{
    return chainGroups(matrix, groupByLeader(matrix, groupingThreshold(matrix)));
}

QVector<int> computeOrder(const QVector<ShotFeatures> &features, const FeatureTable &weights,
                          const std::atomic<bool> *stop)
{
    // With time or colours a pair costs up to 100 ns: a small matrix computes each pair once, where
    // the matrix-free steps compute most pairs two or three times. Both give the same order.
    if (PairDistances::costlyFor(weights) && features.size() <= matrixForCostlyMaximum) {
        const DistanceMatrix matrix = distanceMatrix(features, weights, stop);
        if (matrix.n != features.size())
            return {};
        return orderFromMatrix(matrix);
    }
    return orderFromDistances(PairDistances(features, weights), stop);
}

namespace
{

// Semantic values along the order from the distance of each consecutive pair.
template <typename DistanceOf>
QVector<int> semanticAlong(int n, const QVector<int> &order, DistanceOf distanceOf)
{
    QVector<int> values(n, 0);
    if (n == 0 || order.size() != n)
        return values;
    long long value = 0;
    values[order[0]] = 0;
    for (int k = 1; k < n; ++k) {
        const float d = distanceOf(order[k - 1], order[k]);
        const double scaled = 1000.0 * double(d);
        long long step = 1;
        if (scaled > 0.0) // NaN and non-positive distances step by 1
            step = std::llround(std::min(scaled, double(INT_MAX)));
        if (step <= 0)
            step = 1;
        value = std::min<long long>(value + step, INT_MAX);
        values[order[k]] = int(value);
    }
    return values;
}

} // namespace

QVector<int> computeSemantic(const QVector<ShotFeatures> &features, const QVector<int> &order,
                             const FeatureTable &weights)
{
    return semanticAlong(features.size(), order,
                         [&](int a, int b) { return combinedDistance(features[a], features[b], weights); });
}

QVector<int> computeSemantic(const PairDistances &distances, const QVector<int> &order)
{
    return semanticAlong(distances.size(), order, [&](int a, int b) { return distances.distance(a, b); });
}

} // namespace ordering
