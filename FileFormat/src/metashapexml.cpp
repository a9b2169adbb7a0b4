#include "metashapexml.h"

#include "sfmtextreader.h"
#include "xmlnesting.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFileInfo>
#include <QHash>

#include <cmath>

namespace
{

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

// count usable numbers from the element's text, separated by white space.
bool numbers(const QDomElement &element, double *values, int count)
{
    const QStringList parts = element.text().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
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

double child(const QDomElement &parent, const char *name, bool &ok)
{
    const QDomElement element = parent.firstChildElement(QLatin1String(name));
    double value = 0;
    if (!element.isNull() && !numbers(element, &value, 1))
        ok = false;
    return value;
}

// A missing transform is the identity; false for one that is there but not a similarity.
bool readSimilarity(const QDomElement &transform, Similarity &similarity)
{
    if (transform.isNull())
        return true;
    const QDomElement rotation = transform.firstChildElement(QStringLiteral("rotation"));
    const QDomElement translation = transform.firstChildElement(QStringLiteral("translation"));
    const QDomElement scale = transform.firstChildElement(QStringLiteral("scale"));
    if ((!rotation.isNull() && !numbers(rotation, similarity.rotation, 9)) ||
        (!translation.isNull() && !numbers(translation, similarity.translation, 3)) ||
        (!scale.isNull() && !numbers(scale, &similarity.scale, 1)))
        return false;
    return similarity.scale > 0 && SfmCameras::isRotation(similarity.rotation);
}

bool readSensor(const QDomElement &element, Sensor &sensor)
{
    sensor.label = element.attribute(QStringLiteral("label"));
    sensor.type = element.attribute(QStringLiteral("type"), QStringLiteral("frame"));
    // The adjusted calibration when there are two.
    QDomElement calibration;
    for (QDomElement c = element.firstChildElement(QStringLiteral("calibration")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("calibration")))
        if (calibration.isNull() || c.attribute(QStringLiteral("class")) == QLatin1String("adjusted"))
            calibration = c;
    if (calibration.isNull())
        return true;
    QDomElement resolution = calibration.firstChildElement(QStringLiteral("resolution"));
    if (resolution.isNull())
        resolution = element.firstChildElement(QStringLiteral("resolution"));
    sensor.width = resolution.attribute(QStringLiteral("width")).toInt();
    sensor.height = resolution.attribute(QStringLiteral("height")).toInt();
    bool ok = true;
    if (calibration.firstChildElement(QStringLiteral("f")).isNull()) {
        // Older exports: fx, fy, and the principal point from the top-left corner.
        sensor.fx = child(calibration, "fx", ok);
        sensor.fy = child(calibration, "fy", ok);
        sensor.u0 = child(calibration, "cx", ok);
        sensor.v0 = child(calibration, "cy", ok);
        sensor.skew = child(calibration, "skew", ok) != 0;
    } else {
        // Affinity b1 widens the horizontal focal length; skew b2 has no place in our camera.
        const double f = child(calibration, "f", ok), b1 = child(calibration, "b1", ok);
        sensor.fx = f + b1;
        sensor.fy = f;
        sensor.u0 = sensor.width / 2.0 + child(calibration, "cx", ok);
        sensor.v0 = sensor.height / 2.0 + child(calibration, "cy", ok);
        sensor.skew = child(calibration, "b2", ok) != 0;
    }
    sensor.k1 = child(calibration, "k1", ok);
    sensor.k2 = child(calibration, "k2", ok);
    for (const char *name : {"k3", "k4", "p1", "p2"})
        sensor.unkeptDistortion = sensor.unkeptDistortion || child(calibration, name, ok) != 0;
    sensor.calibrated = ok && sensor.fx > 0 && sensor.fy > 0 && sensor.width > 0 && sensor.height > 0 &&
                        sensor.width <= 1000000 && sensor.height <= 1000000;
    return ok;
}

// Every camera element of the cameras list, also inside groups (folders).
void collectCameras(const QDomElement &parent, QList<QDomElement> &cameras)
{
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() == QLatin1String("camera"))
            cameras.append(e);
        else if (e.tagName() == QLatin1String("group"))
            collectCameras(e, cameras);
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
    QDomDocument document;
    QString parseError;
    int line = 0;
    if (!document.setContent(content, &parseError, &line)) {
        result.error =
            tr("%1, line %2: not a readable XML document (%3)").arg(file).arg(line).arg(parseError);
        return result;
    }
    const QDomElement root = document.documentElement();
    QDomElement chunk = root.firstChildElement(QStringLiteral("chunk"));
    if (chunk.isNull())
        chunk = root.firstChildElement(QStringLiteral("chunks")).firstChildElement(QStringLiteral("chunk"));
    if (root.tagName() != QLatin1String("document") || chunk.isNull()) {
        result.error = tr("%1: not a Metashape camera file (<document> holding a <chunk>)").arg(file);
        return result;
    }
    result.format = QStringLiteral("Metashape camera XML %1").arg(root.attribute(QStringLiteral("version")));
    if (!chunk.nextSiblingElement(QStringLiteral("chunk")).isNull())
        result.warnings.append(tr("The file holds more than one chunk; only the first was imported."));

    Similarity chunkToWorld;
    if (!readSimilarity(chunk.firstChildElement(QStringLiteral("transform")), chunkToWorld)) {
        result.error =
            tr("%1: the chunk's transform is not a rotation, translation and positive scale").arg(file);
        return result;
    }
    // 2.x files may repeat the chunk's transform on the component: each camera's is applied once.
    QHash<QString, Similarity> components;
    const QDomElement componentList = chunk.firstChildElement(QStringLiteral("components"));
    for (QDomElement c = componentList.firstChildElement(QStringLiteral("component")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("component"))) {
        const QDomElement transform = c.firstChildElement(QStringLiteral("transform"));
        Similarity similarity;
        if (transform.isNull())
            continue;
        if (!readSimilarity(transform, similarity)) {
            result.error =
                tr("%1: the transform of component %2 is not a rotation, translation and positive scale")
                    .arg(file, c.attribute(QStringLiteral("id")));
            return result;
        }
        components.insert(c.attribute(QStringLiteral("id")), similarity);
    }

    QHash<QString, Sensor> sensors;
    const QDomElement sensorList = chunk.firstChildElement(QStringLiteral("sensors"));
    for (QDomElement s = sensorList.firstChildElement(QStringLiteral("sensor")); !s.isNull();
         s = s.nextSiblingElement(QStringLiteral("sensor"))) {
        Sensor sensor;
        if (!readSensor(s, sensor)) {
            result.error = tr("%1, line %2: sensor \"%3\" holds a calibration value that is no number")
                               .arg(file)
                               .arg(s.lineNumber())
                               .arg(sensor.label);
            return result;
        }
        sensors.insert(s.attribute(QStringLiteral("id")), sensor);
    }

    QList<QDomElement> cameras;
    collectCameras(chunk.firstChildElement(QStringLiteral("cameras")), cameras);
    bool unkept = false, skew = false;
    for (const QDomElement &element : std::as_const(cameras)) {
        const QString label = element.attribute(QStringLiteral("label"));
        const QString where = tr("%1, line %2: ").arg(file).arg(element.lineNumber());
        const QDomElement transformElement = element.firstChildElement(QStringLiteral("transform"));
        if (transformElement.isNull()) {
            result.leftOut.append(label);
            continue;
        }
        const auto sensor = sensors.constFind(element.attribute(QStringLiteral("sensor_id")));
        if (sensor == sensors.constEnd()) {
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
        double transform[16], worldToCamera[9], centre[3];
        const Similarity toWorld =
            components.value(element.attribute(QStringLiteral("component_id")), chunkToWorld);
        if (!numbers(transformElement, transform, 16) ||
            !placeCamera(transform, toWorld, worldToCamera, centre)) {
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
