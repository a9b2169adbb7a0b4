#include "indexvalues.h"

#include <QObject>
#include <QRegularExpression>

bool buildIndex(const IndexSettings &settings, const ShotValues &shots, OrvelleIndex &index, QString *error)
{
    ShotCollection collection;
    if (!shots.orderPositions.isEmpty() && !collection.setOrderFromPositions(shots.orderPositions)) {
        if (error)
            *error = QObject::tr("The order of the shots is not a permutation of the shots.");
        return false;
    }

    OrvelleIndex result;
    result.setName(settings.sceneName);
    result.setModelFileName(settings.modelFileName);
    result.setCameraSpeed(settings.cameraSpeed);
    result.setUpDirection(settings.upDirection);
    result.setBackgroundColor(settings.backgroundColor);
    if (settings.backgroundKind == OrvelleIndex::OrthoPlaneBackground)
        result.setOrthoPlaneBackground();
    if (settings.backgroundKind == OrvelleIndex::DomeBackground &&
        !result.setDomeBackground(settings.domeHeights, settings.domeColors)) {
        if (error)
            *error = QObject::tr("The dome has not one colour per height.");
        return false;
    }
    result.setLighting(settings.lighting);
    if (settings.startShot >= 0 && settings.startShot < shots.cameras.size())
        result.setStartCamera(shots.cameras.at(settings.startShot));

    collection.setThumbnailBarPosition(settings.thumbnailBarPosition);
    collection.setShotColor(settings.frameletColor);
    collection.setFrameletsScale(settings.frameletsScale);
    collection.setProjectionReliability(settings.projectionReliability);
    collection.setImagePaths(shots.imagePaths);
    collection.setThumbnailPaths(shots.thumbnailPaths);
    collection.setCameras(shots.cameras);
    collection.setDepths(shots.depths);
    collection.setClusterNumbers(shots.clusterNumbers);
    // The writer would silently leave out a collection whose lists disagree: say so instead.
    ShotCollection written = collection;
    written.fillWriteDefaults();
    if (written.shotCount() > 0 && !written.isConsistent()) {
        if (error)
            *error = QObject::tr("The values of the shots do not agree in number.");
        return false;
    }
    result.addCollection(collection);

    index = result;
    return true;
}

ksr::Point3f upVector(double x, double y, double z)
{
    return ksr::Point3f(float(x), float(y), float(z)).normalized();
}

ksr::Matrix44f startViewMatrix(const Camera &camera)
{
    return camera.rotation * ksr::Matrix44f::translation(-camera.center);
}

bool parseDomeRow(const QString &heightText, const QString &colorText, float &height, Color4f &color)
{
    bool ok = false;
    const float h = heightText.toFloat(&ok);
    if (!ok)
        return false;
    static const QRegularExpression separators(QStringLiteral(",| "));
    const QStringList parts = colorText.split(separators, Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return false;
    float rgb[3];
    for (int i = 0; i < 3; ++i) {
        rgb[i] = parts.at(i).toFloat(&ok);
        if (!ok)
            return false;
    }
    height = h;
    color = Color4f{rgb[0], rgb[1], rgb[2], 1.0f};
    return true;
}
