#include "metashapexml.h"

#include "sfmtextreader.h"
#include "xmlchildren.h"
#include "xmlnesting.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>

namespace
{

using XmlChildren::Element;

QString tr(const char *text)
{
    return QCoreApplication::translate("MetashapeXml", text);
}

// world = scale * rotation * x + translation
struct Similarity {
    double rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double translation[3] = {0, 0, 0};
    double scale = 1;
};

struct Sensor {
    QString label, type;
    bool calibrated = false;
    double fx = 0, fy = 0, u0 = 0, v0 = 0, k1 = 0, k2 = 0;
    int width = 0, height = 0;
    bool unkeptDistortion = false, skew = false;
};

// count usable numbers from the text, separated by white space.
bool numbers(const QString &text, double *values, int count)
{
    const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        values[i] = parts.at(i).toDouble(&ok);
        if (!ok || !SfmCameras::usableNumber(values[i]))
            return false;
    }
    return true;
}

double child(const Element &parent, const char *name, bool &ok)
{
    const Element *element = parent.child(QLatin1String(name));
    double value = 0;
    if (element && !numbers(element->text, &value, 1))
        ok = false;
    return value;
}

// A missing transform is the identity; false for one that is there but not a similarity.
bool readSimilarity(const Element *transform, Similarity &similarity)
{
    if (!transform)
        return true;
    const Element *rotation = transform->child(QLatin1String("rotation"));
    const Element *translation = transform->child(QLatin1String("translation"));
    const Element *scale = transform->child(QLatin1String("scale"));
    if ((rotation && !numbers(rotation->text, similarity.rotation, 9)) ||
        (translation && !numbers(translation->text, similarity.translation, 3)) ||
        (scale && !numbers(scale->text, &similarity.scale, 1)))
        return false;
    return similarity.scale > 0 && SfmCameras::isRotation(similarity.rotation);
}

bool readSensor(const Element &element, Sensor &sensor)
{
    sensor.label = element.attribute(QLatin1String("label"));
    sensor.type = element.attribute(QLatin1String("type"), QStringLiteral("frame"));
    // The adjusted calibration when there are two.
    const Element *calibration = nullptr;
    for (const Element &c : element.children)
        if (c.name == QLatin1String("calibration") &&
            (!calibration || c.attribute(QLatin1String("class")) == QLatin1String("adjusted")))
            calibration = &c;
    if (!calibration)
        return true;
    const Element *resolution = calibration->child(QLatin1String("resolution"));
    if (!resolution)
        resolution = element.child(QLatin1String("resolution"));
    if (resolution) {
        sensor.width = resolution->attribute(QLatin1String("width")).toInt();
        sensor.height = resolution->attribute(QLatin1String("height")).toInt();
    }
    bool ok = true;
    if (!calibration->child(QLatin1String("f"))) {
        // Older exports: fx, fy, and the principal point from the top-left corner.
        sensor.fx = child(*calibration, "fx", ok);
        sensor.fy = child(*calibration, "fy", ok);
        sensor.u0 = child(*calibration, "cx", ok);
        sensor.v0 = child(*calibration, "cy", ok);
        sensor.skew = child(*calibration, "skew", ok) != 0;
    } else {
        // Affinity b1 widens the horizontal focal length; skew b2 has no place in our camera.
        const double f = child(*calibration, "f", ok), b1 = child(*calibration, "b1", ok);
        sensor.fx = f + b1;
        sensor.fy = f;
        sensor.u0 = sensor.width / 2.0 + child(*calibration, "cx", ok);
        sensor.v0 = sensor.height / 2.0 + child(*calibration, "cy", ok);
        sensor.skew = child(*calibration, "b2", ok) != 0;
    }
    sensor.k1 = child(*calibration, "k1", ok);
    sensor.k2 = child(*calibration, "k2", ok);
    for (const char *name : {"k3", "k4", "p1", "p2"})
        sensor.unkeptDistortion = sensor.unkeptDistortion || child(*calibration, name, ok) != 0;
    sensor.calibrated = ok && sensor.fx > 0 && sensor.fy > 0 && sensor.width > 0 && sensor.height > 0 &&
                        sensor.width <= 1000000 && sensor.height <= 1000000;
    return ok;
}

bool isElement(const QXmlStreamReader &reader, const char *name)
{
    return reader.isStartElement() && reader.qualifiedName() == QLatin1String(name);
}

// A camera as the file holds it; its transform's 16 numbers read at once, so that no text is kept.
struct CameraEntry {
    QString label, sensorId, componentId;
    qint64 line = 0;
    bool hasTransform = false, transformNumbers = false;
    double transform[16] = {};
};

CameraEntry readCameraEntry(QXmlStreamReader &reader)
{
    CameraEntry camera;
    const QXmlStreamAttributes attributes = reader.attributes();
    camera.label = attributes.value(QLatin1String("label")).toString();
    camera.sensorId = attributes.value(QLatin1String("sensor_id")).toString();
    camera.componentId = attributes.value(QLatin1String("component_id")).toString();
    camera.line = reader.lineNumber();
    while (XmlChildren::next(reader)) {
        if (!camera.hasTransform && isElement(reader, "transform")) {
            camera.hasTransform = true;
            camera.transformNumbers =
                numbers(reader.readElementText(QXmlStreamReader::IncludeChildElements), camera.transform, 16);
        } else if (reader.isStartElement()) {
            reader.skipCurrentElement();
        }
    }
    return camera;
}

// Every camera element of the cameras list, also inside groups (folders).
void readCameraList(QXmlStreamReader &reader, std::vector<CameraEntry> &cameras)
{
    while (XmlChildren::next(reader)) {
        if (isElement(reader, "camera"))
            cameras.push_back(readCameraEntry(reader));
        else if (isElement(reader, "group"))
            readCameraList(reader, cameras);
        else if (reader.isStartElement())
            reader.skipCurrentElement();
    }
}

// What a chunk holds, read in one pass and judged afterwards in the order a reader of the whole
// tree would: the chunk's transform, then the components, the sensors and the cameras.
struct Chunk {
    bool transformUsable = true;
    Similarity toWorld;
    QString badComponent; // id of the first component whose transform is no similarity
    bool componentFailed = false;
    QHash<QString, Similarity> components;
    qint64 badSensorLine = 0; // of the first sensor with a calibration value that is no number
    QString badSensorLabel;
    QHash<QString, Sensor> sensors;
    std::vector<CameraEntry> cameras;
};

void readComponents(QXmlStreamReader &reader, Chunk &chunk)
{
    while (XmlChildren::nextNamed(reader, QLatin1String("component"))) {
        const Element component = XmlChildren::readElement(reader);
        const Element *transform = component.child(QLatin1String("transform"));
        Similarity similarity;
        if (!transform)
            continue;
        if (!readSimilarity(transform, similarity)) {
            if (!chunk.componentFailed)
                chunk.badComponent = component.attribute(QLatin1String("id"));
            chunk.componentFailed = true;
            continue;
        }
        chunk.components.insert(component.attribute(QLatin1String("id")), similarity);
    }
}

void readSensors(QXmlStreamReader &reader, Chunk &chunk)
{
    while (XmlChildren::nextNamed(reader, QLatin1String("sensor"))) {
        const Element element = XmlChildren::readElement(reader);
        Sensor sensor;
        if (!readSensor(element, sensor) && chunk.badSensorLine == 0) {
            chunk.badSensorLine = element.line;
            chunk.badSensorLabel = sensor.label;
        }
        chunk.sensors.insert(element.attribute(QLatin1String("id")), sensor);
    }
}

void readChunk(QXmlStreamReader &reader, Chunk &chunk)
{
    bool transform = false, components = false, sensors = false, cameras = false;
    while (XmlChildren::next(reader)) {
        if (!transform && isElement(reader, "transform")) {
            transform = true;
            const Element element = XmlChildren::readElement(reader);
            chunk.transformUsable = readSimilarity(&element, chunk.toWorld);
        } else if (!components && isElement(reader, "components")) {
            components = true;
            readComponents(reader, chunk);
        } else if (!sensors && isElement(reader, "sensors")) {
            sensors = true;
            readSensors(reader, chunk);
        } else if (!cameras && isElement(reader, "cameras")) {
            cameras = true;
            readCameraList(reader, chunk.cameras);
        } else if (reader.isStartElement()) {
            reader.skipCurrentElement();
        }
    }
}

// The chunks of a list: the first read, the others counted.
void readChunks(QXmlStreamReader &reader, Chunk &first, int &count)
{
    while (XmlChildren::next(reader)) {
        if (isElement(reader, "chunk") && count++ == 0)
            readChunk(reader, first);
        else if (reader.isStartElement())
            reader.skipCurrentElement();
    }
}

// The camera's pose in world coordinates; false when its transform holds no rotation.
bool placeCamera(const double transform[16], const Similarity &toWorld, double worldToCamera[9],
                 double centre[3])
{
    double cameraToChunk[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            cameraToChunk[3 * r + c] = transform[4 * r + c];
    if (!SfmCameras::isRotation(cameraToChunk))
        return false;
    const double *R = toWorld.rotation;
    for (int r = 0; r < 3; ++r) {
        centre[r] = toWorld.translation[r];
        for (int k = 0; k < 3; ++k)
            centre[r] += toWorld.scale * R[3 * r + k] * transform[4 * k + 3];
        // World-to-camera is the transposed camera-to-world rotation R * cameraToChunk.
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += R[3 * c + k] * cameraToChunk[3 * k + r];
            worldToCamera[3 * r + c] = sum;
        }
    }
    return true;
}

} // namespace

namespace MetashapeXml
{

SfmReconstruction read(const QString &fileName)
{
    SfmReconstruction result;
    const QString file = QFileInfo(fileName).fileName();
    QByteArray content;
    QString why;
    if (!SfmFiles::readWhole(fileName, content, why)) {
        result.error = tr("%1 could not be read: %2").arg(file, why);
        return result;
    }
    const QString structureProblem = XmlNesting::structureProblem(content);
    if (!structureProblem.isEmpty()) {
        result.error = QStringLiteral("%1 %2").arg(file, structureProblem);
        return result;
    }
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QXmlStreamReader reader(&buffer);
    reader.setNamespaceProcessing(false);
    QString rootName, version;
    Chunk direct, listed; // a chunk of the document, or the first of its chunk list
    int directCount = 0, listedCount = 0;
    bool chunkList = false;
    if (reader.readNextStartElement()) {
        rootName = reader.qualifiedName().toString();
        version = reader.attributes().value(QLatin1String("version")).toString();
        while (XmlChildren::next(reader)) {
            if (isElement(reader, "chunk") && directCount++ == 0) {
                readChunk(reader, direct);
            } else if (!chunkList && isElement(reader, "chunks")) {
                chunkList = true;
                readChunks(reader, listed, listedCount);
            } else if (reader.isStartElement()) {
                reader.skipCurrentElement();
            }
        }
    }
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        result.error = tr("%1, line %2: not a readable XML document (%3)")
                           .arg(file)
                           .arg(reader.lineNumber())
                           .arg(reader.errorString());
        return result;
    }
    if (rootName != QLatin1String("document") || directCount + listedCount == 0) {
        result.error = tr("%1: not a Metashape camera file (<document> holding a <chunk>)").arg(file);
        return result;
    }
    const Chunk &chunk = directCount > 0 ? direct : listed;
    result.format = QStringLiteral("Metashape camera XML %1").arg(version);
    if ((directCount > 0 ? directCount : listedCount) > 1)
        result.warnings.append(tr("The file holds more than one chunk; only the first was imported."));

    if (!chunk.transformUsable) {
        result.error =
            tr("%1: the chunk's transform is not a rotation, translation and positive scale").arg(file);
        return result;
    }
    // 2.x files may repeat the chunk's transform on the component: each camera's is applied once.
    if (chunk.componentFailed) {
        result.error =
            tr("%1: the transform of component %2 is not a rotation, translation and positive scale")
                .arg(file, chunk.badComponent);
        return result;
    }
    if (chunk.badSensorLine > 0) {
        result.error = tr("%1, line %2: sensor \"%3\" holds a calibration value that is no number")
                           .arg(file)
                           .arg(chunk.badSensorLine)
                           .arg(chunk.badSensorLabel);
        return result;
    }

    bool unkept = false, skew = false;
    for (const CameraEntry &entry : chunk.cameras) {
        const QString &label = entry.label;
        const QString where = tr("%1, line %2: ").arg(file).arg(entry.line);
        if (!entry.hasTransform) {
            result.leftOut.append(label);
            continue;
        }
        const auto sensor = chunk.sensors.constFind(entry.sensorId);
        if (sensor == chunk.sensors.constEnd()) {
            result.error = where + tr("camera \"%1\" refers to a sensor the file does not hold").arg(label);
            return result;
        }
        if (sensor->type != QLatin1String("frame")) {
            result.error =
                where + tr("camera \"%1\" uses the %2 sensor \"%3\", which cannot be imported (only frame "
                           "sensors can)")
                            .arg(label, sensor->type, sensor->label);
            return result;
        }
        if (!sensor->calibrated) {
            result.error =
                where +
                tr("the sensor \"%1\" of camera \"%2\" has no usable calibration").arg(sensor->label, label);
            return result;
        }
        double worldToCamera[9], centre[3];
        const Similarity toWorld = chunk.components.value(entry.componentId, chunk.toWorld);
        if (!entry.transformNumbers || !placeCamera(entry.transform, toWorld, worldToCamera, centre)) {
            result.error =
                where + tr("the transform of camera \"%1\" is not 16 numbers holding a rotation").arg(label);
            return result;
        }
        SfmImage image;
        image.name = label;
        image.camera = SfmCameras::fromYDown(worldToCamera, centre, sensor->fx, sensor->fy, sensor->u0,
                                             sensor->v0, sensor->width, sensor->height);
        image.camera.distortion[0] = float(sensor->k1);
        image.camera.distortion[1] = float(sensor->k2);
        unkept = unkept || sensor->unkeptDistortion;
        skew = skew || sensor->skew;
        result.images.append(image);
    }
    if (unkept)
        result.warnings.append(
            tr("The distortion terms k3, k4, p1 and p2 are not kept: the imported cameras hold "
               "k1 and k2 only."));
    if (skew)
        result.warnings.append(
            tr("The skew (b2) of the calibration is not kept: the imported cameras have none."));
    if (!result.leftOut.isEmpty())
        result.warnings.append(
            tr("%1 cameras are not aligned (no transform) and are left out.").arg(result.leftOut.size()));
    return result;
}

} // namespace MetashapeXml
