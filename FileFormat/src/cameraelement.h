#pragma once
// The seven-attribute XML form of a Camera, used under the names "KSRCamera", "StartCam" and "ksrCamera".

#include "camera.h"

#include <QByteArray>
#include <QString>

class QXmlStreamAttributes;
class QXmlStreamWriter;

namespace CameraElement
{

// printf "%g" with six significant digits: 1 -> "1", 0.0000012 -> "1.2e-06", 35.123456 -> "35.1235".
QString formatNumber(double value);
// Largest error a written coordinate may carry, in model units: a millimetre at metre units.
constexpr double coordinateTolerance = 0.001;
// A camera centre coordinate: formatNumber's six digits of its float when they stay within
// coordinateTolerance (always below 1,000, so ordinary scenes keep their bytes), otherwise as many
// digits as that takes: 4500000.123 for a projected coordinate, not 4.5e+06.
QString formatCoordinate(double value);

// Starts the element, writes the seven attributes in file order, ends the element.
void writeCamera(const Camera &camera, QXmlStreamWriter &writer, const QString &elementName);

// The element written on its own into a string (no document start, no auto-formatting),
// as the window keeps it in its table: writeCamera(camera, writer, "ksrCamera").
QString cameraText(const Camera &camera, const QString &elementName = QStringLiteral("ksrCamera"));

// The readers take the attributes of the element a streaming reader stands at.
// Project flavour: reads the seven attributes without checking that they exist
// (a missing one reads as an empty text, hence 0) and overwrites the fields. Returns true.
bool readCameraProject(const QXmlStreamAttributes &attributes, Camera &camera);

// Index flavour: when every attribute is present, a fresh camera parsed from them and
// missingAttribute left empty; otherwise the empty camera, with missingAttribute set to the
// first missing attribute's name (checked in file-reader order).
Camera readCameraIndex(const QXmlStreamAttributes &attributes, QString *missingAttribute = nullptr);

// The name of the first of the seven attributes that is present but does not hold the numbers the
// readers take from it (16 for the rotation, 3 for the translation, ...), each a finite number;
// empty when every present attribute does. The readers would read such values as 0.
QString malformedAttribute(const QXmlStreamAttributes &attributes);

// Parses 8-bit text as an XML document and applies the project flavour to its root element.
// False (camera untouched) when the text is not well-formed XML.
bool parseCameraText(const QByteArray &text, Camera &camera);

} // namespace CameraElement
