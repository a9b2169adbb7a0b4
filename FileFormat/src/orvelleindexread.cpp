#include "orvelleindexread.h"

#include "cameraelement.h"
#include "polyforgeproject.h"
#include "textnumbers.h"
#include "webaddress.h"
#include "xmlnesting.h"

#include <QDir>
#include <QDomDocument>
#include <QDomElement>
#include <ksr/inputlimits.h>

#include <QFile>
#include <QFileInfo>

#include <cmath>

using TextNumbers::field;
using TextNumbers::toFloat;
using TextNumbers::toInt;

struct OrvelleIndexRead::ShotLists {
    QVector<int> ids;
    QVector<int> clusterNumbers;
    QStringList imagePaths;
    QStringList thumbnailPaths;
    QVector<Camera> cameras;
    QVector<float> depths;
};

namespace
{

// The numbers of a list attribute, separated by any white space (spaces, tabs, line breaks),
// leading and trailing white space ignored. At most 17: no list holds more than 16 numbers, and a
// longer one is still seen to be too long.
QStringList numberFields(const QString &text)
{
    return TextNumbers::leadingParts(text.simplified(), 17, Qt::SkipEmptyParts);
}

// The node's name as used in messages; non-elements (comments, text) are never accepted tags.
QString tagOf(const QDomNode &node)
{
    return node.isElement() ? node.toElement().tagName() : node.nodeName();
}

bool isFinite(const ksr::Matrix44f &m)
{
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m.data()[i]))
            return false;
    return true;
}

// Within float range too: the centre is narrowed to float where it is drawn.
bool isFinite(const ksr::Point3d &p)
{
    const ksr::Point3f narrowed = p.toFloat();
    return std::isfinite(narrowed.x) && std::isfinite(narrowed.y) && std::isfinite(narrowed.z);
}

// frame applied to (p, 1) in double, divided by the fourth component when that is not 0: a
// projected or geocentric centre keeps its digits.
ksr::Point3d transformPoint(const ksr::Matrix44f &frame, const ksr::Point3d &p)
{
    double out[4];
    for (int i = 0; i < 4; ++i)
        out[i] = double(frame.m[i][0]) * p.x + double(frame.m[i][1]) * p.y + double(frame.m[i][2]) * p.z +
                 double(frame.m[i][3]);
    if (out[3] != 0.0)
        return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
    return {out[0], out[1], out[2]};
}

// Moves a camera from the collection's frame into the model frame. False when the result is
// not finite (a degenerate or overflowing frame).
bool applyShotFrame(const ksr::Matrix44f &frame, Camera &camera)
{
    if (frame.isIdentity())
        return true;
    ksr::Matrix44f g = frame;
    g.m[0][3] = g.m[1][3] = g.m[2][3] = 0.0f;
    const float rowLength = g.row(0).length();
    if (!(rowLength > 0.0f))
        return false;
    const ksr::Point3d center = transformPoint(frame, camera.center);
    const ksr::Matrix44f rotation = (camera.rotation * g.transposed()) * (1.0f / rowLength);
    if (!isFinite(center) || !isFinite(rotation))
        return false;
    camera.center = center;
    camera.rotation = rotation;
    return true;
}

} // namespace

OrvelleIndexRead::OrvelleIndexRead(QObject *parent) : QObject(parent) {}

bool OrvelleIndexRead::readFile(const QString &fileName)
{
    QByteArray content;
    QString readProblem;
    // Bounded: a name that leads to an endless special file must not read until memory runs out.
    const ksr::ReadResult read = ksr::readBoundedFile(fileName, content, &readProblem);
    if (read != ksr::ReadResult::Ok && read != ksr::ReadResult::CannotOpen) {
        emit error(tr("Wrong file format"), readProblem);
        return false;
    }
    m_sourceDirectory = QFileInfo(fileName).absolutePath();

    // Bytes, not text: the parser decodes by the declared encoding (the writer writes UTF-8).
    const QString structureProblem = XmlNesting::structureProblem(content);
    if (!structureProblem.isEmpty()) {
        emit error(tr("Wrong file format"),
                   QStringLiteral("\"%1\" %2").arg(QDir::toNativeSeparators(fileName), structureProblem));
        return false;
    }
    QDomDocument document;
    if (!document.setContent(content)) {
        emit error(tr("Wrong file format"), tr("Failed to parse index file!"));
        return false;
    }
    const QDomElement root = document.documentElement();
    if (root.tagName() == QLatin1String("scene"))
        return readScene(root);
    if (root.tagName() == QLatin1String("PolyforgeProject")) {
        readProjectAsIndex(root);
        return true;
    }
    tagError(QStringLiteral("scene|PolyforgeProject"), root.tagName());
    return false;
}

QString OrvelleIndexRead::resolvePath(const QString &path) const
{
    if (isWebAddress(path) || QDir::isAbsolutePath(path))
        return path;
    if (!path.startsWith(QLatin1String("./")))
        return QStringLiteral("unrecognized source");
    // A path that climbs out was made from the folder with its links resolved, as the system
    // resolves "..": it is cleaned from that folder, not from the name the index was opened by.
    const QString rest = path.mid(2);
    if (rest == QLatin1String("..") || rest.startsWith(QLatin1String("../")) ||
        rest.contains(QLatin1String("/../"))) {
        const QString real = QFileInfo(m_sourceDirectory).canonicalFilePath();
        return QDir::cleanPath((real.isEmpty() ? m_sourceDirectory : real) + QLatin1Char('/') + rest);
    }
    return m_sourceDirectory + QLatin1Char('/') + rest;
}

bool OrvelleIndexRead::readScene(const QDomElement &scene)
{
    if (scene.hasAttribute(QStringLiteral("updirection"))) {
        const QStringList up = numberFields(scene.attribute(QStringLiteral("updirection")));
        m_upDirection = ksr::Point3f(toFloat(field(up, 0)), toFloat(field(up, 1)), toFloat(field(up, 2)));
    }
    if (scene.hasAttribute(QStringLiteral("name")))
        m_name = scene.attribute(QStringLiteral("name"));

    for (QDomNode node = scene.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        const QString tag = tagOf(node);
        bool ok = true;
        if (element.isNull())
            ok = false, unknownTagError(tag);
        else if (tag == QLatin1String("collection"))
            ok = readCollection(element);
        else if (tag == QLatin1String("model"))
            ok = readModel(element);
        else if (tag == QLatin1String("background"))
            ok = readBackground(element);
        else if (tag == QLatin1String("camera"))
            ok = readCamera(element);
        else if (tag == QLatin1String("lighting"))
            ok = readLighting(element);
        else
            ok = false, unknownTagError(tag);
        if (!ok)
            return false;
    }
    return true;
}

bool OrvelleIndexRead::readCollection(const QDomElement &element)
{
    if (!requireAttributes(element, {QStringLiteral("thumbnailBar"), QStringLiteral("shotColor")}))
        return false;

    ShotCollection collection;
    if (element.hasAttribute(QStringLiteral("name")))
        collection.setName(element.attribute(QStringLiteral("name")));
    collection.setThumbnailBarPosition(
        element.attribute(QStringLiteral("thumbnailBar")) == QLatin1String("top") ? 1 : 0);
    const QStringList color = numberFields(element.attribute(QStringLiteral("shotColor")));
    collection.setShotColor(
        {toFloat(field(color, 0)), toFloat(field(color, 1)), toFloat(field(color, 2)), 1.0f});
    if (element.hasAttribute(QStringLiteral("frameletsScale")))
        collection.setFrameletsScale(toFloat(element.attribute(QStringLiteral("frameletsScale"))));
    if (element.hasAttribute(QStringLiteral("projectionReliability")))
        collection.setProjectionReliability(
            toFloat(element.attribute(QStringLiteral("projectionReliability"))));

    // The frame moves this collection's cameras; the collection itself keeps the identity.
    ksr::Matrix44f shotFrame;
    if (element.hasAttribute(QStringLiteral("shotFrame")))
        shotFrame = TextNumbers::toMatrix(element.attribute(QStringLiteral("shotFrame")).simplified());

    ShotLists lists;
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement() || node.toElement().tagName() != QLatin1String("shot")) {
            tagError(QStringLiteral("shot"), tagOf(node));
            return false;
        }
        if (!readShot(node.toElement(), shotFrame, lists))
            return false;
    }

    if (!isPermutation(lists.ids)) {
        formatError(tr("The \"id\" values of the shots in a collection must be 0 to %1, each once!")
                        .arg(lists.ids.size() - 1));
        return false;
    }
    QVector<int> order(lists.ids.size(), 0);
    for (int k = 0; k < lists.ids.size(); ++k)
        order[lists.ids[k]] = k;

    collection.setImagePaths(lists.imagePaths);
    collection.setThumbnailPaths(lists.thumbnailPaths);
    collection.setCameras(lists.cameras);
    collection.setDepths(lists.depths);
    collection.setOrder(order);
    collection.setClusterNumbers(lists.clusterNumbers);
    m_collections.append(collection);
    return true;
}

bool OrvelleIndexRead::readShot(const QDomElement &element, const ksr::Matrix44f &shotFrame, ShotLists &lists)
{
    if (!requireAttributes(element, {QStringLiteral("id"), QStringLiteral("sem"), QStringLiteral("colormap"),
                                     QStringLiteral("thumbnail"), QStringLiteral("projectable"),
                                     QStringLiteral("depth")}))
        return false;

    lists.ids.append(toInt(element.attribute(QStringLiteral("id"))));
    lists.clusterNumbers.append(toInt(element.attribute(QStringLiteral("sem"))));
    lists.imagePaths.append(resolvePath(element.attribute(QStringLiteral("colormap"))));
    lists.thumbnailPaths.append(resolvePath(element.attribute(QStringLiteral("thumbnail"))));

    if (element.attribute(QStringLiteral("projectable")) == QLatin1String("true")) {
        Camera camera = readCameraElement(element.firstChild());
        if (!applyShotFrame(shotFrame, camera)) {
            formatError(tr("Degenerate \"shotFrame\" attribute in tag \"collection\"!"));
            return false;
        }
        lists.cameras.append(camera);
        lists.depths.append(toFloat(element.attribute(QStringLiteral("depth"))));
    }
    return true;
}

bool OrvelleIndexRead::readModel(const QDomElement &element)
{
    if (!requireAttributes(element, {QStringLiteral("filename")}))
        return false;
    m_modelFileName = resolvePath(element.attribute(QStringLiteral("filename")));
    return true;
}

bool OrvelleIndexRead::readCamera(const QDomElement &element)
{
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QString tag = tagOf(node);
        if (node.isElement() && tag == QLatin1String("StartCam")) {
            m_startCamera = readCameraElement(node);
        } else if (node.isElement() && tag == QLatin1String("physic")) {
            m_cameraSpeed = toFloat(node.toElement().attribute(QStringLiteral("speed")));
        } else {
            unknownTagError(tag);
            return false;
        }
    }
    return true;
}

bool OrvelleIndexRead::readBackground(const QDomElement &element)
{
    if (!requireAttributes(element, {QStringLiteral("rgb")}))
        return false;
    const QStringList rgb = numberFields(element.attribute(QStringLiteral("rgb")));
    m_backgroundColor = {toFloat(field(rgb, 0)), toFloat(field(rgb, 1)), toFloat(field(rgb, 2)), 1.0f};
    m_backgroundKind = ColorBackground;
    m_domeVertices.clear();

    const QDomNode first = element.firstChild();
    if (first.isNull())
        return true;
    const QString tag = tagOf(first);
    if (first.isElement() && tag == QLatin1String("orthoPlane")) {
        m_backgroundKind = OrthoPlaneBackground;
        return true;
    }
    if (!first.isElement() || tag != QLatin1String("sphere")) {
        tagError(QStringLiteral("sphere"), tag);
        return false;
    }
    for (QDomNode node = first.firstChild(); !node.isNull(); node = node.nextSibling()) {
        m_backgroundKind = DomeBackground;
        if (!node.isElement() || node.toElement().tagName() != QLatin1String("vertex")) {
            tagError(QStringLiteral("vertex"), tagOf(node));
            return false;
        }
        const QDomElement vertex = node.toElement();
        const QStringList color = numberFields(vertex.attribute(QStringLiteral("rgb")));
        m_domeVertices.append({toFloat(field(color, 0)), toFloat(field(color, 1)), toFloat(field(color, 2)),
                               toFloat(vertex.attribute(QStringLiteral("height")))});
    }
    return true;
}

bool OrvelleIndexRead::readLighting(const QDomElement &element)
{
    if (!requireAttributes(element, {QStringLiteral("enabled")}))
        return false;
    m_lighting = element.attribute(QStringLiteral("enabled")) == QLatin1String("true");
    return true;
}

void OrvelleIndexRead::readProjectAsIndex(const QDomElement &root)
{
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QString cameraProblem;
    PolyforgeProject::readGroups(root, cameras, rasters, meshes, &cameraProblem);
    if (!cameraProblem.isEmpty())
        formatError(cameraProblem);

    ShotCollection collection;
    collection.setThumbnailBarPosition(0);
    collection.setShotColor({0.9f, 0.9f, 0.9f, 1.0f});
    QStringList paths;
    QVector<int> order, clusters;
    for (int i = 0; i < rasters.size(); ++i) {
        paths.append(resolvePath(rasters.at(i)));
        order.append(i);
        clusters.append(i + 1);
    }
    collection.setImagePaths(paths);
    collection.setThumbnailPaths(paths);
    collection.setDepths(QVector<float>(rasters.size(), 1000.0f));
    collection.setOrder(order);
    collection.setClusterNumbers(clusters);
    collection.setCameras(cameras);
    m_collections.append(collection);

    if (!meshes.isEmpty())
        m_modelFileName = resolvePath(meshes.first());
    m_backgroundKind = OrthoPlaneBackground;
}

Camera OrvelleIndexRead::readCameraElement(const QDomNode &node)
{
    QString missing;
    const Camera camera = CameraElement::readCameraIndex(node.toElement(), &missing);
    if (!missing.isEmpty())
        attributeError(missing, tagOf(node));
    else if (const QString malformed = CameraElement::malformedAttribute(node.toElement());
             !malformed.isEmpty())
        formatError(tr("The \"%1\" attribute of a \"%2\" does not hold the finite numbers it must.")
                        .arg(malformed, tagOf(node)));
    return camera;
}

bool OrvelleIndexRead::requireAttributes(const QDomElement &element, const QStringList &names)
{
    for (const QString &name : names) {
        if (!element.hasAttribute(name)) {
            attributeError(name, element.tagName());
            return false;
        }
    }
    return true;
}

void OrvelleIndexRead::tagError(const QString &expected, const QString &found)
{
    emit error(tr("Wrong index file format"),
               tr("Expected \"%1\" tag, but found \"%2\"!").arg(expected, found));
}

void OrvelleIndexRead::unknownTagError(const QString &found)
{
    emit error(tr("Wrong index file format"), tr("Unknown tag: \"%1\"!").arg(found));
}

void OrvelleIndexRead::attributeError(const QString &attribute, const QString &element)
{
    emit error(tr("Wrong index file format"),
               tr("Expected \"%1\" attribute in tag \"%2\"!").arg(attribute, element));
}

void OrvelleIndexRead::formatError(const QString &message)
{
    emit error(tr("Wrong index file format"), message);
}
