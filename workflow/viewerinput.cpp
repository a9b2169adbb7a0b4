#include "viewerinput.h"

#include <QFileInfo>

namespace ViewerInput
{

ViewerSettings settings(const SessionRequest &request)
{
    const IndexSettings &from = request.settings;
    ViewerSettings to;
    to.backgroundKind = from.backgroundKind;
    to.backgroundColor = from.backgroundColor;
    QVector<float> heights;
    QVector<Color4f> colours;
    if (parseDomeRows(request.domeRows, heights, colours))
        for (int i = 0; i < heights.size(); ++i)
            to.dome.append({colours.at(i).red, colours.at(i).green, colours.at(i).blue, heights.at(i)});
    to.lighting = from.lighting;
    const ksr::Point3f up = from.upDirection.normalized();
    if (up.length() > 0.0f)
        to.upDirection = up;
    to.thumbnailBarTop = from.thumbnailBarPosition != 0;
    to.frameletColor = from.frameletColor;
    to.frameletsScale = from.frameletsScale;
    to.projectionReliability = from.projectionReliability;
    to.cameraSpeed = from.cameraSpeed;
    return to;
}

ViewerSettings settings(const OrvelleIndex &index)
{
    ViewerSettings to;
    to.backgroundKind = index.backgroundKind();
    to.backgroundColor = index.backgroundColor();
    to.dome = index.domeVertices();
    to.lighting = index.lighting();
    if (index.upDirection().length() > 0.0f)
        to.upDirection = index.upDirection().normalized();
    to.cameraSpeed = index.cameraSpeed();
    if (index.collectionCount() > 0) {
        const ShotCollection &collection = index.collection(0);
        to.thumbnailBarTop = collection.thumbnailBarPosition() != 0;
        to.frameletColor = collection.shotColor();
        to.frameletsScale = collection.frameletsScale();
        to.projectionReliability = collection.projectionReliability();
    }
    return to;
}

QVector<ViewerShot> shots(const DatasetState &state)
{
    QVector<ViewerShot> result;
    result.reserve(state.shots.size());
    for (const ShotRecord &record : state.shots) {
        ViewerShot shot;
        if (record.camera)
            shot.camera = *record.camera;
        shot.photoPath = record.imagePath;
        shot.thumbnailPath = record.thumbnailPath;
        shot.depth = record.depth.value_or(0.0f);
        shot.cluster = record.cluster.value_or(0);
        result.append(shot);
    }
    return result;
}

QVector<int> viewingOrder(const DatasetState &state)
{
    const int n = state.shotCount();
    QVector<int> order(n, -1);
    for (int row = 0; row < n; ++row) {
        const std::optional<int> &position = state.shots.at(row).orderPosition;
        if (!position || *position < 0 || *position >= n || order.at(*position) >= 0)
            return {};
        order[*position] = row;
    }
    return order;
}

QString modelFile(const SessionRequest &request)
{
    if (request.multiresolution && !request.tesselFile.isEmpty()) {
        // Built for this model: not older than it (a stale file from another run is passed over).
        const QFileInfo tessel(request.tesselFile), source(request.modelFile);
        if (tessel.isFile() && (!source.exists() || tessel.lastModified() >= source.lastModified()))
            return request.tesselFile;
    }
    return request.lowresModelFile.isEmpty() ? request.modelFile : request.lowresModelFile;
}

} // namespace ViewerInput
