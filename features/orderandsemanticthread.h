#pragma once
// The ordering and clustering job: from every shot's features, a viewing order in which similar
// shots are neighbours and a semantic (cluster) value per shot that grows along the order. The
// algorithms themselves are the plain functions of ordering.h.
//
// One-shot: inputs are copied in the constructor; results leave through the signals only, in the
// order progress(0), progress(row)..., newOrder, progress(90), newSemantic, progress(100);
// unreadableImage(row, path) comes before the progress of a row whose photograph did not decode.
// For an empty shot list: progress(0), newOrder({}), newSemantic({}), progress(100).
// requestStop() ends the run between photographs (or rows of distances); no result is emitted then.
//
// The feature cache is process-wide and locked; it keeps only what comes from the image file
// (time of shot, colours), keyed by path, file size and modification time. Only what the weights
// need is read (imageFeatureNeeds), colours decoded as featureDecoding() says; a cached entry
// without a part a later run needs, or with colours decoded the other way, is read again. The
// thumbnail step may have filled it (storeImageFeatures). Direction, position, depth and target
// are taken from the current cameras and depths at every run.

#include "orderingweights.h"
#include "shotfeatures.h"

#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>

class OrderAndSemanticThread : public QThread
{
    Q_OBJECT
public:
    // Missing cameras or depths count as default/0.
    OrderAndSemanticThread(const QStringList &imagePaths, const QVector<Camera> &cameras,
                           const QVector<float> &depths, const OrderingWeights &weights,
                           QObject *parent = nullptr);
    // Weights in [0, 1]: the ordering weights for time of shot, direction of shot, position of
    // shot, position of target, color distribution and color spatial distribution, then the
    // clustering weights in the same order.
    OrderAndSemanticThread(const QStringList &imagePaths, const QVector<Camera> &cameras,
                           const QVector<float> &depths, float orderTime, float orderDirection,
                           float orderPosition, float orderTarget, float orderColor, float orderColorSpatial,
                           float semanticTime, float semanticDirection, float semanticPosition,
                           float semanticTarget, float semanticColor, float semanticColorSpatial,
                           QObject *parent = nullptr);

    // Asks run() to end at the next photograph or row of distances. Any thread.
    void requestStop();

    const OrderingWeights &weights() const { return m_weights; }
    // User weights in slot order, constant term 0.
    FeatureTable orderWeights() const { return m_weights.ordering.inSlotOrder(); }
    FeatureTable semanticWeights() const { return m_weights.clustering.inSlotOrder(); }

    // What the weights need from the photographs: the time of shot when a time weight is not 0,
    // the colours (a decode of every photograph) when a colour weight is not 0.
    static ImageFeatureNeeds imageFeatureNeeds(const OrderingWeights &weights);

    // A copy of the process-wide cache: entry i holds the features of table row i as last computed.
    static QVector<ShotFeatures> featureCache();
    static void clearFeatureCache();
    // Puts the image parts of table row `row` (computeImageFeatures, made elsewhere from a decode
    // already at hand) into the cache, for the next run to reuse. Any thread.
    static void storeImageFeatures(int row, const ShotFeatures &features);

signals:
    void newOrder(QVector<int> order);
    void newSemantic(QVector<int> semantic);
    void progress(int percent);
    // A photograph that did not decode (its colour features count as 0), before that row's progress.
    // imagePath names it for the user: its path, or for a row without one "Photograph N: not found".
    void unreadableImage(int row, QString imagePath);

protected:
    void run() override;

private:
    // Features of every row, reusing cached image parts; emits the row progress. False when stopped.
    bool gatherFeatures(QVector<ShotFeatures> &features);

    QStringList m_imagePaths;
    QVector<Camera> m_cameras;
    QVector<float> m_depths;
    OrderingWeights m_weights;
    std::atomic<bool> m_stop{false};
};
