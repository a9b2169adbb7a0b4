#include "orderandsemanticthread.h"

#include "ordering.h"

#include <ksr/localorigin.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace
{

bool nonZero(float weight)
{
    return !(weight == 0.0f); // NaN counts: only an exact 0 leaves a distance unchanged
}

int featureThreadCount(int rows)
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::max(1, std::min({rows, 2, int(cores ? cores : 1)}));
}

} // namespace

OrderAndSemanticThread::OrderAndSemanticThread(const QStringList &imagePaths, const QVector<Camera> &cameras,
                                               const QVector<float> &depths, const OrderingWeights &weights,
                                               std::shared_ptr<FeatureStore> features,
                                               FeatureDecoding decoding, QObject *parent)
    : QThread(parent), m_imagePaths(imagePaths), m_cameras(cameras), m_depths(depths), m_weights(weights),
      m_features(std::move(features)), m_decoding(decoding)
{
}

ImageFeatureNeeds OrderAndSemanticThread::imageFeatureNeeds(const OrderingWeights &weights,
                                                            FeatureDecoding decoding)
{
    ImageFeatureNeeds needs;
    needs.decoding = decoding;
    needs.shotTime = nonZero(weights.ordering.time) || nonZero(weights.clustering.time);
    needs.colors = nonZero(weights.ordering.color) || nonZero(weights.ordering.colorSpatial) ||
                   nonZero(weights.clustering.color) || nonZero(weights.clustering.colorSpatial);
    return needs;
}

void OrderAndSemanticThread::requestStop()
{
    m_stop = true;
}

bool OrderAndSemanticThread::gatherFeatures(QVector<ShotFeatures> &features)
{
    const int n = m_imagePaths.size();
    const ImageFeatureNeeds needs = imageFeatureNeeds(m_weights, m_decoding);

    // Photographs whose file changed (or was never seen) are decoded again; the others keep the
    // time and colours read before.
    // One heap record per row until it moves into features: 1.8 kB a shot adds up.
    std::vector<std::unique_ptr<ShotFeatures>> records(static_cast<std::size_t>(n));
    std::vector<int> toCompute;
    for (int i = 0; i < n; ++i) {
        std::optional<ShotFeatures> stored =
            m_features ? m_features->find(m_imagePaths.at(i), needs) : std::nullopt;
        if (stored)
            records[i] = std::make_unique<ShotFeatures>(std::move(*stored));
        else
            toCompute.push_back(i);
    }

    // Up to two decoders take the rows in ascending order; progress still follows the rows.
    std::mutex doneMutex;
    std::condition_variable rowDone;
    std::atomic<std::size_t> nextJob{0};
    auto decodeRows = [&]() {
        for (std::size_t k = nextJob++; k < toCompute.size() && !m_stop; k = nextJob++) {
            const int row = toCompute[k];
            ShotFeatures computed = computeImageFeatures(m_imagePaths.at(row), needs);
            // Kept at once, so that photographs read before a stop need no decode next time.
            if (m_features)
                m_features->store(computed);
            {
                std::lock_guard<std::mutex> lock(doneMutex);
                records[row] = std::make_unique<ShotFeatures>(std::move(computed));
            }
            rowDone.notify_all();
        }
    };
    std::vector<std::thread> decoders;
    for (int t = 0; t < featureThreadCount(int(toCompute.size())); ++t)
        decoders.emplace_back(decodeRows);

    features.clear();
    features.reserve(n);
    std::vector<ksr::Point3d> centres;
    for (const Camera &camera : std::as_const(m_cameras))
        centres.push_back(camera.center);
    const ksr::Point3d origin = ksr::localOrigin(centres);
    for (int i = 0; i < n && !m_stop; ++i) {
        {
            std::unique_lock<std::mutex> lock(doneMutex);
            // The stop flag is not tied to the condition, hence the periodic look.
            while (!records[i] && !m_stop)
                rowDone.wait_for(lock, std::chrono::milliseconds(50));
            if (!records[i])
                break;
            features.append(std::move(*records[i]));
            records[i].reset();
        }
        ShotFeatures &record = features.last();
        applyCameraFeatures(record, i < m_cameras.size() ? m_cameras[i] : Camera(),
                            i < m_depths.size() ? m_depths[i] : 0.0f, origin);
        if (!record.imageReadable) {
            const QString &path = m_imagePaths.at(i);
            emit unreadableImage(i, path.isEmpty() ? tr("Photograph %1: not found").arg(i + 1) : path);
        }
        emit progress(int(double(i + 1) / double(n) * 80.0));
    }
    for (std::thread &decoder : decoders)
        decoder.join();

    return features.size() == n && !m_stop;
}

void OrderAndSemanticThread::run()
{
    emit progress(0);
    QVector<ShotFeatures> features;
    if (!gatherFeatures(features))
        return;
    if (features.isEmpty()) {
        emit newOrder(QVector<int>());
        emit newSemantic(QVector<int>());
        emit progress(100);
        return;
    }

    // The tables belong to this run: jobs side by side never see each other's.
    const FeatureTable factors = normalizationFor(features);
    const FeatureTable orderWeights = weightsFor(m_weights.ordering.inSlotOrder(), factors);
    const FeatureTable semanticWeights = weightsFor(m_weights.clustering.inSlotOrder(), factors);
    const QVector<int> order = ordering::computeOrder(features, orderWeights, &m_stop);
    if (m_stop || order.size() != features.size())
        return;
    emit newOrder(order);
    emit progress(90);

    emit newSemantic(ordering::computeSemantic(features, order, semanticWeights));
    emit progress(100);
}
