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

std::array<float, 12> featureWeights(const FeatureSliders &ordering, const FeatureSliders &clustering,
                                     int maximum)
{
    std::array<float, 12> weights{};
    if (maximum <= 0)
        return weights;
    for (std::size_t i = 0; i < 6; ++i) {
        weights[i] = std::clamp(float(ordering[i]) / float(maximum), 0.0f, 1.0f);
        weights[i + 6] = std::clamp(float(clustering[i]) / float(maximum), 0.0f, 1.0f);
    }
    return weights;
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
