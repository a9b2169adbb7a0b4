#include "jobinputs.h"

#include "downsamplingthread.h"

#include <algorithm>

namespace JobInputs
{

QString thumbnailPath(const QString &imagePath)
{
    return DownsamplingThread::thumbnailPath(imagePath);
}

QStringList thumbnailPaths(const QStringList &imagePaths)
{
    QStringList result;
    result.reserve(imagePaths.size());
    for (const QString &image : imagePaths)
        result.append(thumbnailPath(image));
    return result;
}

namespace
{

FeatureWeightSet weightSet(const FeatureSliders &sliders, int maximum)
{
    const auto weight = [maximum](int value) {
        return std::clamp(float(value) / float(maximum), 0.0f, 1.0f);
    };
    FeatureWeightSet set;
    set.time = weight(sliders[0]);
    set.direction = weight(sliders[1]);
    set.position = weight(sliders[2]);
    set.target = weight(sliders[3]);
    set.color = weight(sliders[4]);
    set.colorSpatial = weight(sliders[5]);
    return set;
}

} // namespace

OrderingWeights featureWeights(const FeatureSliders &ordering, const FeatureSliders &clustering, int maximum)
{
    if (maximum <= 0)
        return OrderingWeights();
    return OrderingWeights{weightSet(ordering, maximum), weightSet(clustering, maximum)};
}

QVector<int> positionsFromOrder(const QVector<int> &order, int rows)
{
    QVector<int> positions(std::max(rows, 0), -1);
    for (int k = 0; k < order.size(); ++k) {
        const int row = order.at(k);
        if (row >= 0 && row < positions.size() && positions.at(row) < 0)
            positions[row] = k;
    }
    return positions;
}

} // namespace JobInputs
