#include "orvelleindexread.h"

#include "cameraelement.h"
#include "polyforgeproject.h"
#include "textnumbers.h"
#include "webaddress.h"
#include "xmlchildren.h"
#include "xmlnesting.h"

#include <ksr/inputlimits.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <cmath>
#include <utility>

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

QString text(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toString();
}

bool has(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.hasAttribute(QLatin1String(name));
}

bool isElement(const QXmlStreamReader &reader, const char *name)
{
    return reader.isStartElement() && reader.qualifiedName() == QLatin1String(name);
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

    const QString structureProblem = XmlNesting::structureProblem(content);
    if (!structureProblem.isEmpty()) {
        emit error(tr("Wrong file format"),
                   QStringLiteral("\"%1\" %2").arg(QDir::toNativeSeparators(fileName), structureProblem));
        return false;
    }
    // Bytes, decoded as they are read: the reader honours the declared encoding (the writer writes UTF-8).
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QXmlStreamReader reader(&buffer);
    reader.setNamespaceProcessing(false);
    const OrvelleIndex before = *this;
    m_problems.clear();
    bool accepted = false;
    if (reader.readNextStartElement()) {
        if (isElement(reader, "scene")) {
            accepted = readScene(reader);
        } else if (isElement(reader, "PolyforgeProject")) {
            readProjectAsIndex(reader);
            accepted = true;
        } else {
            tagError(QStringLiteral("scene|PolyforgeProject"), reader.qualifiedName().toString());
        }
    }
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        static_cast<OrvelleIndex &>(*this) = before;
        m_problems.clear();
        emit error(tr("Wrong file format"), tr("Failed to parse index file!"));
        return false;
    }
    const QVector<QPair<QString, QString>> problems = std::exchange(m_problems, {});
    for (const auto &[title, message] : problems)
        emit error(title, message);
    return accepted;
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

bool OrvelleIndexRead::readScene(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes scene = reader.attributes();
    if (has(scene, "updirection")) {
        const QStringList up = numberFields(text(scene, "updirection"));
        m_upDirection = ksr::Point3f(toFloat(field(up, 0)), toFloat(field(up, 1)), toFloat(field(up, 2)));
    }
    if (has(scene, "name"))
        m_name = text(scene, "name");

    while (XmlChildren::next(reader)) {
        bool ok = true;
        if (isElement(reader, "collection"))
            ok = readCollection(reader);
        else if (isElement(reader, "model"))
            ok = readModel(reader);
        else if (isElement(reader, "background"))
            ok = readBackground(reader);
        else if (isElement(reader, "camera"))
            ok = readCamera(reader);
        else if (isElement(reader, "lighting"))
            ok = readLighting(reader);
        else
            ok = false, unknownTagError(XmlChildren::nodeName(reader));
        if (!ok)
            return false;
    }
    return true;
}

bool OrvelleIndexRead::readCollection(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes element = reader.attributes();
    if (!requireAttributes(element, QStringLiteral("collection"),
                           {QStringLiteral("thumbnailBar"), QStringLiteral("shotColor")}))
        return false;

    ShotCollection collection;
    if (has(element, "name"))
        collection.setName(text(element, "name"));
    collection.setThumbnailBarPosition(text(element, "thumbnailBar") == QLatin1String("top") ? 1 : 0);
    const QStringList color = numberFields(text(element, "shotColor"));
    collection.setShotColor(
        {toFloat(field(color, 0)), toFloat(field(color, 1)), toFloat(field(color, 2)), 1.0f});
    if (has(element, "frameletsScale"))
        collection.setFrameletsScale(toFloat(text(element, "frameletsScale")));
    if (has(element, "projectionReliability"))
        collection.setProjectionReliability(toFloat(text(element, "projectionReliability")));

    // The frame moves this collection's cameras; the collection itself keeps the identity.
    ksr::Matrix44f shotFrame;
    if (has(element, "shotFrame"))
        shotFrame = TextNumbers::toMatrix(text(element, "shotFrame").simplified());

    ShotLists lists;
    while (XmlChildren::next(reader)) {
        if (!isElement(reader, "shot")) {
            tagError(QStringLiteral("shot"), XmlChildren::nodeName(reader));
            return false;
        }
        if (!readShot(reader, shotFrame, lists))
            return false;
    }
    if (reader.hasError())
        return false;

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

bool OrvelleIndexRead::readShot(QXmlStreamReader &reader, const ksr::Matrix44f &shotFrame, ShotLists &lists)
{
    const QXmlStreamAttributes element = reader.attributes();
    if (!requireAttributes(element, QStringLiteral("shot"),
                           {QStringLiteral("id"), QStringLiteral("sem"), QStringLiteral("colormap"),
                            QStringLiteral("thumbnail"), QStringLiteral("projectable"),
                            QStringLiteral("depth")}))
        return false;

    lists.ids.append(toInt(text(element, "id")));
    lists.clusterNumbers.append(toInt(text(element, "sem")));
    lists.imagePaths.append(resolvePath(text(element, "colormap")));
    lists.thumbnailPaths.append(resolvePath(text(element, "thumbnail")));

    if (text(element, "projectable") != QLatin1String("true")) {
        XmlChildren::skipRest(reader);
        return true;
    }
    // The camera is the first child node, whatever its name; none reads as a nameless one.
    const bool hasChild = XmlChildren::next(reader);
    Camera camera = readCameraElement(reader.isStartElement() ? reader.attributes() : QXmlStreamAttributes(),
                                      hasChild ? XmlChildren::nodeName(reader) : QString());
    if (!applyShotFrame(shotFrame, camera)) {
        formatError(tr("Degenerate \"shotFrame\" attribute in tag \"collection\"!"));
        return false;
    }
    lists.cameras.append(camera);
    lists.depths.append(toFloat(text(element, "depth")));
    if (hasChild) {
        if (reader.isStartElement())
            reader.skipCurrentElement();
        XmlChildren::skipRest(reader);
    }
    return true;
}

bool OrvelleIndexRead::readModel(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes element = reader.attributes();
    if (!requireAttributes(element, QStringLiteral("model"), {QStringLiteral("filename")}))
        return false;
    m_modelFileName = resolvePath(text(element, "filename"));
    XmlChildren::skipRest(reader);
    return true;
}

bool OrvelleIndexRead::readCamera(QXmlStreamReader &reader)
{
    while (XmlChildren::next(reader)) {
        if (isElement(reader, "StartCam")) {
            m_startCamera = readCameraElement(reader.attributes(), QStringLiteral("StartCam"));
        } else if (isElement(reader, "physic")) {
            m_cameraSpeed = toFloat(text(reader.attributes(), "speed"));
        } else {
            unknownTagError(XmlChildren::nodeName(reader));
            return false;
        }
        reader.skipCurrentElement();
    }
    return true;
}

bool OrvelleIndexRead::readBackground(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes element = reader.attributes();
    if (!requireAttributes(element, QStringLiteral("background"), {QStringLiteral("rgb")}))
        return false;
    const QStringList rgb = numberFields(text(element, "rgb"));
    m_backgroundColor = {toFloat(field(rgb, 0)), toFloat(field(rgb, 1)), toFloat(field(rgb, 2)), 1.0f};
    m_backgroundKind = ColorBackground;
    m_domeVertices.clear();

    // Only the first child counts.
    if (!XmlChildren::next(reader))
        return true;
    if (isElement(reader, "orthoPlane")) {
        m_backgroundKind = OrthoPlaneBackground;
        reader.skipCurrentElement();
        XmlChildren::skipRest(reader);
        return true;
    }
    if (!isElement(reader, "sphere")) {
        tagError(QStringLiteral("sphere"), XmlChildren::nodeName(reader));
        return false;
    }
    while (XmlChildren::next(reader)) {
        m_backgroundKind = DomeBackground;
        if (!isElement(reader, "vertex")) {
            tagError(QStringLiteral("vertex"), XmlChildren::nodeName(reader));
            return false;
        }
        const QXmlStreamAttributes vertex = reader.attributes();
        const QStringList color = numberFields(text(vertex, "rgb"));
        m_domeVertices.append({toFloat(field(color, 0)), toFloat(field(color, 1)), toFloat(field(color, 2)),
                               toFloat(text(vertex, "height"))});
        reader.skipCurrentElement();
    }
    XmlChildren::skipRest(reader);
    return true;
}

bool OrvelleIndexRead::readLighting(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes element = reader.attributes();
    if (!requireAttributes(element, QStringLiteral("lighting"), {QStringLiteral("enabled")}))
        return false;
    m_lighting = text(element, "enabled") == QLatin1String("true");
    XmlChildren::skipRest(reader);
    return true;
}

void OrvelleIndexRead::readProjectAsIndex(QXmlStreamReader &reader)
{
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QString cameraProblem;
    PolyforgeProject::readGroups(reader, cameras, rasters, meshes, &cameraProblem);
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

Camera OrvelleIndexRead::readCameraElement(const QXmlStreamAttributes &attributes, const QString &tag)
{
    QString missing;
    const Camera camera = CameraElement::readCameraIndex(attributes, &missing);
    if (!missing.isEmpty())
        attributeError(missing, tag);
    else if (const QString malformed = CameraElement::malformedAttribute(attributes); !malformed.isEmpty())
        formatError(tr("The \"%1\" attribute of a \"%2\" does not hold the finite numbers it must.")
                        .arg(malformed, tag));
    return camera;
}

bool OrvelleIndexRead::requireAttributes(const QXmlStreamAttributes &attributes, const QString &tag,
                                         const QStringList &names)
{
    for (const QString &name : names) {
        if (!attributes.hasAttribute(name)) {
            attributeError(name, tag);
            return false;
        }
    }
    return true;
}

void OrvelleIndexRead::tagError(const QString &expected, const QString &found)
{
    report(tr("Wrong index file format"), tr("Expected \"%1\" tag, but found \"%2\"!").arg(expected, found));
}

void OrvelleIndexRead::unknownTagError(const QString &found)
{
    report(tr("Wrong index file format"), tr("Unknown tag: \"%1\"!").arg(found));
}

void OrvelleIndexRead::attributeError(const QString &attribute, const QString &element)
{
    report(tr("Wrong index file format"),
           tr("Expected \"%1\" attribute in tag \"%2\"!").arg(attribute, element));
}

void OrvelleIndexRead::formatError(const QString &message)
{
    report(tr("Wrong index file format"), message);
}

void OrvelleIndexRead::report(const QString &title, const QString &message)
{
    m_problems.append({title, message});
}
