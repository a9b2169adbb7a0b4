#include "jobinputs.h"

#include <QFileInfo>

#include <algorithm>

namespace JobInputs
{

QString thumbnailPath(const QString &imagePath)
{
    // An empty path would otherwise become a "thumbnails" folder in the current directory.
    if (imagePath.isEmpty())
        return QString();
    const QFileInfo image(imagePath);
    // The canonical path of a missing file is not empty but "."; resolve the folder instead.
    QString folder =
        image.exists() ? image.canonicalPath() : QFileInfo(image.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        folder = image.absolutePath();
    return folder + QStringLiteral("/thumbnails/") + image.fileName();
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
