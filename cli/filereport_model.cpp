// `orvelle-index inspect MODEL` for the 3D model kinds: what the model loader reads from the file.

#include "filereporters.h"
#include "jsonvalues.h"

#include "polymodel3d.h"

#include <ksr/meshio.h>

#include <QFileInfo>
#include <QJsonArray>

namespace
{

// In model coordinates: a point stored relative to the mesh's origin is moved back in double.
QJsonArray point(const ksr::Point3f &p, const ksr::Point3d &origin)
{
    if (origin.isZero())
        return QJsonArray{JsonValues::number(p.x), JsonValues::number(p.y), JsonValues::number(p.z)};
    const ksr::Point3d absolute = origin + ksr::Point3d(p);
    return QJsonArray{absolute.x, absolute.y, absolute.z};
}

} // namespace

InspectResult inspectModel(const QString &fileName)
{
    InspectResult result;
    PolyModel3D model;
    if (!model.load(fileName)) {
        result.json.insert(QStringLiteral("errorCode"), int(ksr::io::ErrorCantOpen));
        result.json.insert(QStringLiteral("errorText"), ksr::io::errorText(fileName, ksr::io::ErrorCantOpen));
        result.messages.append(QStringLiteral("\"%1\": file not found").arg(fileName));
        return result;
    }
    // The file exists: whatever the importer managed to read is described, its error included;
    // a model of which nothing could be read is refused.
    result.ok = model.vertexCount() > 0;
    const ksr::CMesh *mesh = model.mesh();
    result.json.insert(QStringLiteral("errorCode"), model.errorCode());
    result.json.insert(QStringLiteral("errorText"), model.errorText());
    result.json.insert(QStringLiteral("loadMask"), model.loadMask());
    result.json.insert(QStringLiteral("vertices"), model.vertexCount());
    result.json.insert(QStringLiteral("faces"), model.faceCount());
    result.json.insert(QStringLiteral("pointCloud"), model.isPointCloud());
    result.json.insert(QStringLiteral("hasVertexColors"), (model.loadMask() & ksr::io::MaskVertexColor) != 0);
    const ksr::Point3d origin = model.origin();
    result.json.insert(QStringLiteral("bboxMin"), point(mesh->bboxMin, origin));
    result.json.insert(QStringLiteral("bboxMax"), point(mesh->bboxMax, origin));
    result.json.insert(QStringLiteral("center"), point(model.center(), origin));
    result.json.insert(QStringLiteral("radius"), JsonValues::number(model.radius()));
    result.json.insert(QStringLiteral("origin"), QJsonArray{origin.x, origin.y, origin.z});
    if (model.errorCode() != 0)
        result.messages.append(QStringLiteral("\"%1\": %2").arg(fileName, model.errorText()));
    if (!mesh->bboxIsEmpty()) {
        const ksr::Point3d min = origin + ksr::Point3d(mesh->bboxMin),
                           max = origin + ksr::Point3d(mesh->bboxMax);
        result.json.insert(QStringLiteral("extent"), JsonValues::extent(min, max));
        const QString warning = JsonValues::precisionWarning(QStringLiteral("model"), min, max);
        if (!warning.isEmpty())
            result.messages.append(QStringLiteral("\"%1\": %2").arg(fileName, warning));
    }
    return result;
}
