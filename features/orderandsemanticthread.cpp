#include "orderandsemanticthread.h"

#include "ordering.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace
{

std::mutex cacheMutex;
QVector<ShotFeatures> &sharedCache()
{
    static QVector<ShotFeatures> cache;
    return cache;
}

// True when the cached entry was computed from this very file: same path, size and modification time.
bool matchesFile(const ShotFeatures &cached, const QString &path)
{
    if (cached.name != path)
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return cached.fileSize < 0;
    return cached.fileSize == info.size() &&
           cached.fileModifiedMSecs == info.lastModified().toMSecsSinceEpoch();
}

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
                                               QObject *parent)
    : QThread(parent), m_imagePaths(imagePaths), m_cameras(cameras), m_depths(depths), m_weights(weights)
{
}

OrderAndSemanticThread::OrderAndSemanticThread(const QStringList &imagePaths, const QVector<Camera> &cameras,
                                               const QVector<float> &depths, float orderTime,
                                               float orderDirection, float orderPosition, float orderTarget,
                                               float orderColor, float orderColorSpatial, float semanticTime,
                                               float semanticDirection, float semanticPosition,
                                               float semanticTarget, float semanticColor,
                                               float semanticColorSpatial, QObject *parent)
    : OrderAndSemanticThread(imagePaths, cameras, depths,
                             OrderingWeights{{orderTime, orderDirection, orderPosition, orderTarget,
                                              orderColor, orderColorSpatial},
                                             {semanticTime, semanticDirection, semanticPosition,
                                              semanticTarget, semanticColor, semanticColorSpatial}},
                             parent)
{
}

ImageFeatureNeeds OrderAndSemanticThread::imageFeatureNeeds(const OrderingWeights &weights)
{
    ImageFeatureNeeds needs;
    needs.shotTime = nonZero(weights.ordering.time) || nonZero(weights.clustering.time);
    needs.colors = nonZero(weights.ordering.color) || nonZero(weights.ordering.colorSpatial) ||
                   nonZero(weights.clustering.color) || nonZero(weights.clustering.colorSpatial);
    return needs;
}

void OrderAndSemanticThread::requestStop()
{
    m_stop = true;
}

QVector<ShotFeatures> OrderAndSemanticThread::featureCache()
{
    std::lock_guard<std::mutex> lock(cacheMutex);
    return sharedCache();
}

void OrderAndSemanticThread::clearFeatureCache()
{
    std::lock_guard<std::mutex> lock(cacheMutex);
    sharedCache().clear();
}

void OrderAndSemanticThread::storeImageFeatures(int row, const ShotFeatures &features)
{
    if (row < 0)
        return;
    std::lock_guard<std::mutex> lock(cacheMutex);
    QVector<ShotFeatures> &cache = sharedCache();
    // Rows not seen yet get empty records: no file identity, nothing read.
    if (cache.size() <= row)
        cache.resize(row + 1);
    cache[row] = features;
}

bool OrderAndSemanticThread::gatherFeatures(QVector<ShotFeatures> &features)
{
    const int n = m_imagePaths.size();
    QVector<ShotFeatures> cached = featureCache();
    const ImageFeatureNeeds needs = imageFeatureNeeds(m_weights);

    // Rows whose image file changed (or was never seen) are decoded again; the others keep the
    // time and colours read before.
    // One heap record per row until it moves into features: 1.8 kB a shot adds up.
    std::vector<std::unique_ptr<ShotFeatures>> records(static_cast<std::size_t>(n));
    std::vector<int> toCompute;
    for (int i = 0; i < n; ++i) {
        if (i < cached.size() && matchesFile(cached[i], m_imagePaths.at(i)) && coversNeeds(cached[i], needs))
            records[i] = std::make_unique<ShotFeatures>(cached[i]);
        else
            toCompute.push_back(i);
    }
    // Shared with the cache until the cache is updated below: letting go now spares a full copy.
    cached = QVector<ShotFeatures>();

    // Up to two decoders take the rows in ascending order; progress still follows the rows.
    std::mutex doneMutex;
    std::condition_variable rowDone;
    std::atomic<std::size_t> nextJob{0};
    auto decodeRows = [&]() {
        for (std::size_t k = nextJob++; k < toCompute.size() && !m_stop; k = nextJob++) {
            const int row = toCompute[k];
            ShotFeatures computed = computeImageFeatures(m_imagePaths.at(row), needs);
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
                            i < m_depths.size() ? m_depths[i] : 0.0f);
        if (!record.imageReadable) {
            const QString &path = m_imagePaths.at(i);
            emit unreadableImage(i, path.isEmpty() ? tr("Photograph %1: not found").arg(i + 1) : path);
        }
        emit progress(int(double(i + 1) / double(n) * 80.0));
    }
    for (std::thread &decoder : decoders)
        decoder.join();

    // Rows finished before a stop are kept as well, so a later run does not decode them again.
    std::lock_guard<std::mutex> lock(cacheMutex);
    QVector<ShotFeatures> &cache = sharedCache();
    if (features.size() == n) {
        cache = features; // shared, not copied: this run only reads its features from here on
    } else {
        for (int i = 0; i < features.size(); ++i) {
            if (i < cache.size())
                cache[i] = features[i];
            else
                cache.append(features[i]);
        }
    }
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

    // The process-wide tables are updated for whoever reads them, but this run works on its own
    // copies, so a job started meanwhile cannot change its weights halfway.
    const FeatureTable factors = normalizationFor(features);
    computeNormalization(features);
    const FeatureTable orderWeights = m_weights.ordering.inSlotOrder();
    const FeatureTable semanticWeights = m_weights.clustering.inSlotOrder();
    setFeatureWeights(orderWeights);
    const QVector<int> order = ordering::computeOrder(features, weightsFor(orderWeights, factors), &m_stop);
    if (m_stop || order.size() != features.size())
        return;
    emit newOrder(order);
    emit progress(90);

    setFeatureWeights(semanticWeights);
    emit newSemantic(ordering::computeSemantic(features, order, weightsFor(semanticWeights, factors)));
    emit progress(100);
}
