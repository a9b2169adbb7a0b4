#include "cameraelement.h"

#include "textnumbers.h"
#include "xmlnesting.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>
#include <utility>

using TextNumbers::field;
using TextNumbers::toFloat;
using TextNumbers::toInt;

namespace
{

// Each value followed by one space.
template <typename T> QString numberList(const T *values, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        text += CameraElement::formatNumber(values[i]);
        text += QLatin1Char(' ');
    }
    return text;
}

QStringList singleSpaceFields(const QString &text)
{
    return TextNumbers::leadingParts(text, 3); // no attribute here has more than three numbers
}

QString attribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toString();
}

void applyAttributes(const QXmlStreamAttributes &attributes, Camera &camera)
{
    const QStringList translation = singleSpaceFields(attribute(attributes, "TranslationVector"));
    camera.center = ksr::Point3d(-TextNumbers::toDouble(field(translation, 0)),
                                 -TextNumbers::toDouble(field(translation, 1)),
                                 -TextNumbers::toDouble(field(translation, 2)));
    camera.rotation = TextNumbers::toMatrix(attribute(attributes, "RotationMatrix"));
    camera.focalMm = toFloat(attribute(attributes, "FocalMm"));

    const QStringList viewport = singleSpaceFields(attribute(attributes, "ViewportPx"));
    camera.viewportPx[0] = toInt(field(viewport, 0));
    camera.viewportPx[1] = toInt(field(viewport, 1));

    // Read as numbers: a fractional principal point must not collapse to 0.
    const QStringList center = singleSpaceFields(attribute(attributes, "CenterPx"));
    camera.centerPx[0] = toFloat(field(center, 0));
    camera.centerPx[1] = toFloat(field(center, 1));

    const QStringList pixelSize = singleSpaceFields(attribute(attributes, "PixelSizeMm"));
    camera.pixelSizeMm[0] = toFloat(field(pixelSize, 0));
    camera.pixelSizeMm[1] = toFloat(field(pixelSize, 1));

    const QStringList distortion = singleSpaceFields(attribute(attributes, "LensDistortion"));
    camera.distortion[0] = toFloat(field(distortion, 0));
    camera.distortion[1] = toFloat(field(distortion, 1));
}

} // namespace

namespace CameraElement
{

QString formatNumber(double value)
{
    // to_chars is printf's %g in the C locale whatever the process locale is (the application
    // object sets it from the environment), and keeps printf's "-0".
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString formatCoordinate(double value)
{
    // Today's text first: the float's six digits, so that ordinary scenes keep their bytes.
    const QString six = formatNumber(float(value));
    if (!std::isfinite(value) || std::fabs(six.toDouble() - value) <= coordinateTolerance)
        return six;
    char buffer[32];
    for (int digits = 7; digits < 17; ++digits) {
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
        const QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
        if (std::fabs(text.toDouble() - value) <= coordinateTolerance)
            return text;
    }
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

void writeCamera(const Camera &camera, QXmlStreamWriter &writer, const QString &elementName)
{
    QString translation;
    for (int k = 0; k < 3; ++k)
        translation += formatCoordinate(-camera.center[k]) + QLatin1Char(' ');
    QString viewport;
    for (int v : camera.viewportPx)
        viewport += QString::number(v) + QLatin1Char(' ');

    writer.writeStartElement(elementName);
    writer.writeAttribute(QStringLiteral("RotationMatrix"), numberList(camera.rotation.data(), 16));
    writer.writeAttribute(QStringLiteral("TranslationVector"), translation);
    writer.writeAttribute(QStringLiteral("FocalMm"), formatNumber(camera.focalMm));
    writer.writeAttribute(QStringLiteral("CenterPx"), numberList(camera.centerPx, 2));
    writer.writeAttribute(QStringLiteral("LensDistortion"), numberList(camera.distortion, 2));
    writer.writeAttribute(QStringLiteral("ViewportPx"), viewport);
    writer.writeAttribute(QStringLiteral("PixelSizeMm"), numberList(camera.pixelSizeMm, 2));
    writer.writeEndElement();
}

QString cameraText(const Camera &camera, const QString &elementName)
{
    QString text;
    QXmlStreamWriter writer(&text);
    writeCamera(camera, writer, elementName);
    return text;
}

bool readCameraProject(const QXmlStreamAttributes &attributes, Camera &camera)
{
    applyAttributes(attributes, camera);
    return true;
}

Camera readCameraIndex(const QXmlStreamAttributes &attributes, QString *missingAttribute)
{
    static const char *const required[] = {"TranslationVector", "RotationMatrix", "FocalMm",
                                           "ViewportPx",        "CenterPx",       "PixelSizeMm",
                                           "LensDistortion"};
    if (missingAttribute)
        missingAttribute->clear();
    for (const char *name : required) {
        if (!attributes.hasAttribute(QLatin1String(name))) {
            if (missingAttribute)
                *missingAttribute = QLatin1String(name);
            return Camera();
        }
    }
    Camera camera;
    applyAttributes(attributes, camera);
    return camera;
}

QString malformedAttribute(const QXmlStreamAttributes &attributes)
{
    static const std::pair<const char *, int> needed[] = {
        {"RotationMatrix", 16}, {"TranslationVector", 3}, {"FocalMm", 1},       {"CenterPx", 2},
        {"ViewportPx", 2},      {"PixelSizeMm", 2},       {"LensDistortion", 2}};
    for (const auto &[name, count] : needed) {
        if (!attributes.hasAttribute(QLatin1String(name)))
            continue;
        const QString text = attribute(attributes, name);
        // Split as the readers split: the rotation on any run of spaces, the others on each space.
        const QStringList numbers = count == 16 ? TextNumbers::leadingParts(text, 16, Qt::SkipEmptyParts)
                                                : TextNumbers::leadingParts(text, count);
        bool wellFormed = numbers.size() == count;
        for (const QString &number : numbers) {
            bool ok = false;
            const double value = number.toDouble(&ok);
            wellFormed =
                wellFormed && ok && std::isfinite(value) && std::fabs(value) <= 3.4028234663852886e38;
        }
        if (!wellFormed)
            return QLatin1String(name);
    }
    return QString();
}

bool parseCameraText(const QByteArray &text, Camera &camera)
{
    if (!XmlNesting::structureProblem(text).isEmpty())
        return false;
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    if (!reader.readNextStartElement())
        return false;
    const QXmlStreamAttributes attributes = reader.attributes();
    // The whole text must be well-formed before the camera changes.
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        return false;
    applyAttributes(attributes, camera);
    return true;
}

} // namespace CameraElement
