// Inspectors of the two dataset kinds: Polyforge projects and index files.
#include "filereporters.h"
#include "jsonvalues.h"

#include "orvelleindexread.h"
#include "polyforgeproject.h"

#include <QFileInfo>
#include <QJsonArray>

using namespace JsonValues;

namespace
{

// "cameraExtent" (when there are cameras) and the precision warning.
void reportCameraExtent(const QVector<Camera> &cameras, InspectResult &result)
{
    ksr::Point3d min, max;
    if (!cameraExtent(cameras, min, max))
        return;
    result.json.insert(QStringLiteral("cameraExtent"), extent(min, max));
    const QString warning = precisionWarning(QStringLiteral("camera centre"), min, max);
    if (!warning.isEmpty())
        result.messages.append(warning);
}

} // namespace

InspectResult inspectProject(const QString &fileName)
{
    InspectResult result;
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QString message;
    result.ok = PolyforgeProject::readProject(fileName, cameras, rasters, meshes, &message);
    if (!result.ok)
        result.messages.append(message);

    QJsonArray rasterArray;
    for (int i = 0; i < rasters.size(); ++i)
        rasterArray.append(QJsonObject{{QStringLiteral("image"), rasters.at(i)},
                                       {QStringLiteral("camera"), camera(cameras.at(i))}});
    result.json.insert(QStringLiteral("rasters"), rasterArray);
    result.json.insert(QStringLiteral("meshes"), QJsonArray::fromStringList(meshes));
    reportCameraExtent(cameras, result);
    return result;
}

namespace
{

QJsonArray colorArray(const Color4f &color)
{
    return QJsonArray{number(color.red), number(color.green), number(color.blue), number(color.alpha)};
}

QJsonObject sceneJson(const OrvelleIndex &index)
{
    const ksr::Point3f &up = index.upDirection();
    QJsonArray dome;
    for (const DomeVertex &v : index.domeVertices())
        dome.append(QJsonArray{number(v.red), number(v.green), number(v.blue), number(v.height)});
    return QJsonObject{
        {QStringLiteral("name"), index.name()},
        {QStringLiteral("model"), index.modelFileName()},
        {QStringLiteral("upDirection"), QJsonArray{number(up.x), number(up.y), number(up.z)}},
        {QStringLiteral("cameraSpeed"), number(index.cameraSpeed())},
        {QStringLiteral("backgroundKind"), index.backgroundKind()},
        {QStringLiteral("backgroundColor"), colorArray(index.backgroundColor())},
        {QStringLiteral("dome"), dome},
        {QStringLiteral("lighting"), index.lighting()},
        {QStringLiteral("startCamera"), camera(index.startCamera())},
    };
}

QJsonObject collectionJson(const ShotCollection &collection)
{
    QJsonArray cameras;
    for (const Camera &c : collection.cameras())
        cameras.append(camera(c));
    return QJsonObject{
        {QStringLiteral("name"), collection.name()},
        {QStringLiteral("thumbnailBar"), collection.thumbnailBarPosition()},
        {QStringLiteral("shotColor"), colorArray(collection.shotColor())},
        {QStringLiteral("frameletsScale"), number(collection.frameletsScale())},
        {QStringLiteral("projectionReliability"), number(collection.projectionReliability())},
        {QStringLiteral("order"), integers(collection.order())},
        {QStringLiteral("images"), QJsonArray::fromStringList(collection.imagePaths())},
        {QStringLiteral("thumbnails"), QJsonArray::fromStringList(collection.thumbnailPaths())},
        {QStringLiteral("clusters"), integers(collection.clusterNumbers())},
        {QStringLiteral("depths"), numbers(collection.depths())},
        {QStringLiteral("cameras"), cameras},
    };
}

} // namespace

InspectResult inspectIndex(const QString &fileName)
{
    InspectResult result;
    QJsonArray errors;
    OrvelleIndexRead reader;
    QObject::connect(&reader, &OrvelleIndexRead::error, [&](const QString &title, const QString &message) {
        errors.append(QJsonArray{title, message});
        result.messages.append(title + QStringLiteral(": ") + message);
    });
    // The reader reports an unreadable file as a parse failure; say what really happened.
    const QFileInfo info(fileName);
    if (!info.isFile() || !info.isReadable())
        result.messages.append(QStringLiteral("cannot read \"%1\"").arg(fileName));
    result.ok = reader.readFile(fileName);

    QJsonArray collections;
    QVector<Camera> cameras;
    for (const ShotCollection &collection : reader.collections()) {
        collections.append(collectionJson(collection));
        cameras += collection.cameras();
    }
    reportCameraExtent(cameras, result);
    result.json.insert(QStringLiteral("errors"), errors);
    result.json.insert(QStringLiteral("scene"), sceneJson(reader));
    result.json.insert(QStringLiteral("collections"), collections);
    return result;
}
