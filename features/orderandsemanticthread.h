#pragma once
// The ordering and clustering job: from every shot's features, a viewing order in which similar
// shots are neighbours and a semantic (cluster) value per shot that grows along the order.
//
// One-shot: inputs are copied in the constructor; results leave through the signals only, in the
// order progress(0), progress(row)..., newOrder, progress(90), newSemantic, progress(100);
// unreadableImage(row, path) comes before the progress of a row whose photograph did not decode.
// For an empty shot list: progress(0), newOrder({}), newSemantic({}), progress(100).
// requestStop() ends the run between photographs (or matrix rows); no result is emitted then.
//
// The feature cache is process-wide and locked; it keeps only what comes from the image file
// (time of shot, colours), keyed by path, file size and modification time. Direction, position,
// depth and target are taken from the current cameras and depths at every run.

#include "shotfeatures.h"

#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>
#include <vector>

class OrderAndSemanticThread : public QThread
{
    Q_OBJECT
public:
    // Weights in [0, 1]: the ordering weights for time of shot, direction of shot, position of
    // shot, position of target, color distribution and color spatial distribution, then the
    // clustering weights in the same order. Missing cameras or depths count as default/0.
    OrderAndSemanticThread(const QStringList &imagePaths, const QVector<Camera> &cameras,
                           const QVector<float> &depths, float orderTime, float orderDirection,
                           float orderPosition, float orderTarget, float orderColor, float orderColorSpatial,
                           float semanticTime, float semanticDirection, float semanticPosition,
                           float semanticTarget, float semanticColor, float semanticColorSpatial,
                           QObject *parent = nullptr);

    // Asks run() to end at the next photograph or matrix row. Any thread.
    void requestStop();

    // User weights in slot order, constant term 0.
    const FeatureTable &orderWeights() const { return m_orderWeights; }
    const FeatureTable &semanticWeights() const { return m_semanticWeights; }

    // A copy of the process-wide cache: entry i holds the features of table row i as last computed.
    static QVector<ShotFeatures> featureCache();
    static void clearFeatureCache();

    // Symmetric n x n matrix of float distances, row-major, diagonal 0.
    struct DistanceMatrix {
        int n = 0;
        std::vector<float> values;
        double total = 0.0; // sum of the distances of the pairs a < b, in row-major order

        explicit DistanceMatrix(int size = 0) : n(size), values(std::size_t(size) * std::size_t(size), 0.0f)
        {
        }
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

    // combinedDistance with the given weights for every pair a < b (non-positive and NaN become 0),
    // spread over up to two threads with results identical to one thread. Empty matrix when stopped.
    static DistanceMatrix distanceMatrix(const QVector<ShotFeatures> &features, const FeatureTable &weights,
                                         const std::atomic<bool> *stop = nullptr);
    // One third of the mean pairwise distance; 0 for fewer than two rows.
    static double groupingThreshold(const DistanceMatrix &matrix);
    // Leader grouping: each row without a group leads a new one, gathering ungrouped rows nearer than
    // threshold (strictly). Every row ends in exactly one group; group 0 is led by row 0.
    static QVector<QVector<int>> groupByLeader(const DistanceMatrix &matrix, double threshold);
    // Nearest-neighbour chain through one group from member position start; ties go to the first
    // in the cyclic scan after the current position.
    static GroupChain chainWithinGroup(const DistanceMatrix &matrix, const QVector<int> &group, int start);
    // Visits the largest group first, then always the group whose nearest member is nearest
    // (integer hop distances, lowest index on ties) to the row reached last.
    static QVector<int> chainGroups(const DistanceMatrix &matrix, const QVector<QVector<int>> &groups);
    // Threshold, grouping and chaining on a given matrix: a permutation of 0..n-1.
    static QVector<int> orderFromMatrix(const DistanceMatrix &matrix);
    // The viewing order of the records under the given effective weights.
    static QVector<int> computeOrder(const QVector<ShotFeatures> &features, const FeatureTable &weights,
                                     const std::atomic<bool> *stop = nullptr);
    // Semantic value per row: 0 for the first row of the order, then + max(1, round(1000 d)) per
    // step along the order, d the combined distance of consecutive rows.
    static QVector<int> computeSemantic(const QVector<ShotFeatures> &features, const QVector<int> &order,
                                        const FeatureTable &weights);

signals:
    void newOrder(QVector<int> order);
    void newSemantic(QVector<int> semantic);
    void progress(int percent);
    // A photograph that did not decode (its colour features count as 0), before that row's progress.
    void unreadableImage(int row, QString imagePath);

protected:
    void run() override;

private:
    // Features of every row, reusing cached image parts; emits the row progress. False when stopped.
    bool gatherFeatures(QVector<ShotFeatures> &features);

    QStringList m_imagePaths;
    QVector<Camera> m_cameras;
    QVector<float> m_depths;
    FeatureTable m_orderWeights{};
    FeatureTable m_semanticWeights{};
    std::atomic<bool> m_stop{false};
};
