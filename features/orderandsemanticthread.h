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
// The image parts of the features (time of shot, colours) come from the dataset's FeatureStore
// when it holds them for the file as it is now; the rest are read, only what the weights need
// (imageFeatureNeeds), colours decoded as the constructor says, and put into the store for the
// next run. The thumbnail job may have filled it. Direction, position, depth and target are taken
// from the current cameras and depths at every run; the normalisation factors and effective
// weights are computed for each run from its own features.

#include "featurestore.h"
#include "orderingweights.h"
#include "shotfeatures.h"

#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>
#include <memory>

class OrderAndSemanticThread : public QThread
{
    Q_OBJECT
public:
    // Missing cameras or depths count as default/0. Weights in [0, 1]. features: the dataset's
    // store, read and filled by the run; null to read every photograph and keep nothing.
    OrderAndSemanticThread(const QStringList &imagePaths, const QVector<Camera> &cameras,
                           const QVector<float> &depths, const OrderingWeights &weights,
                           std::shared_ptr<FeatureStore> features, FeatureDecoding decoding,
                           QObject *parent = nullptr);

    // Asks run() to end at the next photograph or row of distances. Any thread.
    void requestStop();

    const OrderingWeights &weights() const { return m_weights; }
    // User weights in slot order, constant term 0.
    FeatureTable orderWeights() const { return m_weights.ordering.inSlotOrder(); }
    FeatureTable semanticWeights() const { return m_weights.clustering.inSlotOrder(); }

    // What the weights need from the photographs: the time of shot when a time weight is not 0,
    // the colours (a decode of every photograph, as `decoding` says) when a colour weight is not 0.
    static ImageFeatureNeeds imageFeatureNeeds(const OrderingWeights &weights, FeatureDecoding decoding);

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
    // Features of every row, reusing stored image parts; emits the row progress. False when stopped.
    bool gatherFeatures(QVector<ShotFeatures> &features);

    QStringList m_imagePaths;
    QVector<Camera> m_cameras;
    QVector<float> m_depths;
    OrderingWeights m_weights;
    std::shared_ptr<FeatureStore> m_features;
    FeatureDecoding m_decoding;
    std::atomic<bool> m_stop{false};
};
