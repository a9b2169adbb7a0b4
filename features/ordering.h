#pragma once
// The ordering and clustering algorithms: a viewing order in which similar shots are neighbours,
// and a semantic (cluster) value per shot that grows along the order. Plain functions on values,
// no shared state; any thread.

#include "pairdistances.h"
#include "shotfeatures.h"

#include <QVector>

#include <atomic>
#include <vector>

namespace ordering
{

// Symmetric n x n matrix of float distances, row-major, diagonal 0.
struct DistanceMatrix {
    int n = 0;
    std::vector<float> values;
    double total = 0.0; // sum of the distances of the pairs a < b, in row-major order

    explicit DistanceMatrix(int size = 0) : n(size), values(std::size_t(size) * std::size_t(size), 0.0f) {}
    float at(int row, int column) const
    {
        return values[std::size_t(row) * std::size_t(n) + std::size_t(column)];
    }
    // Sets both (a, b) and (b, a).
    void set(int a, int b, float d);
};

// A group's rows in visiting order and the member position reached last.
struct GroupChain {
    QVector<int> rows;
    int lastPosition = 0;
};

// combinedDistance with the given effective weights for every pair a < b (non-positive and NaN
// become 0), spread over up to two threads with results identical to one thread. Empty matrix
// when stop is set.
DistanceMatrix distanceMatrix(const QVector<ShotFeatures> &features, const FeatureTable &weights,
                              const std::atomic<bool> *stop = nullptr);
// One third of the mean pairwise distance; 0 for fewer than two rows.
double groupingThreshold(const DistanceMatrix &matrix);
// Leader grouping: each row without a group leads a new one, gathering ungrouped rows nearer than
// threshold (strictly). Every row ends in exactly one group; group 0 is led by row 0.
QVector<QVector<int>> groupByLeader(const DistanceMatrix &matrix, double threshold);
// Nearest-neighbour chain through one group from member position start; ties go to the first
// in the cyclic scan after the current position.
GroupChain chainWithinGroup(const DistanceMatrix &matrix, const QVector<int> &group, int start);
// Visits the largest group first, then always the group whose nearest member is nearest to the
// row reached last (lowest index on equal distances), entered at that member.
QVector<int> chainGroups(const DistanceMatrix &matrix, const QVector<QVector<int>> &groups);
// Threshold, grouping and chaining on a given matrix: a permutation of 0..n-1.
QVector<int> orderFromMatrix(const DistanceMatrix &matrix);
// The viewing order of the records under the given effective weights; empty when stopped.
// Distances are computed when needed (orderFromDistances), except for datasets of up to 4,096
// shots whose weights use time or colours, where a matrix of at most 64 MB is faster; both give
// orderFromMatrix(distanceMatrix(features, weights)).
QVector<int> computeOrder(const QVector<ShotFeatures> &features, const FeatureTable &weights,
                          const std::atomic<bool> *stop = nullptr);

// The same steps on distances computed when needed, each with the result of its matrix form on
// the matrix of the same distances. Work is spread over up to two threads; empty when stopped.
double pairTotal(const PairDistances &distances, const std::atomic<bool> *stop = nullptr);
double groupingThreshold(double total, int n);
QVector<QVector<int>> groupByLeader(const PairDistances &distances, double threshold,
                                    const std::atomic<bool> *stop = nullptr);
GroupChain chainWithinGroup(const PairDistances &distances, const QVector<int> &group, int start);
QVector<int> chainGroups(const PairDistances &distances, const QVector<QVector<int>> &groups,
                         const std::atomic<bool> *stop = nullptr);
QVector<int> orderFromDistances(const PairDistances &distances, const std::atomic<bool> *stop = nullptr);
// computeSemantic on distances made with the clustering weights: the same values, as a negative or
// NaN distance steps by 1 either way.
QVector<int> computeSemantic(const PairDistances &distances, const QVector<int> &order);
// Semantic value per row: 0 for the first row of the order, then + max(1, round(1000 d)) per
// step along the order, d the combined distance of consecutive rows.
QVector<int> computeSemantic(const QVector<ShotFeatures> &features, const QVector<int> &order,
                             const FeatureTable &weights);

} // namespace ordering
