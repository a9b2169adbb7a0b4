#pragma once
// JSON forms of the system's values, shared by the inspectors.

#include "camera.h"

#include <QJsonArray>
#include <QJsonObject>

namespace JsonValues
{

// The shortest decimal that reads back as the same float: full float precision, without the
// noise digits of the float's double expansion (0.1f gives 0.1, not 0.10000000149011612).
double number(float value);

QJsonArray numbers(const float *values, int count);
QJsonArray numbers(const QVector<float> &values);
QJsonArray integers(const QVector<int> &values);

// {"focalMm", "viewportPx", "pixelSizeMm", "centerPx", "lensDistortion", "rotation" (16 values,
// row-major), "center"}.
QJsonObject camera(const Camera &camera);
// {"min", "max", "size"}, each three numbers in model units.
QJsonObject extent(const ksr::Point3d &min, const ksr::Point3d &max);
// The extent of the cameras' centres; false when there is none.
bool cameraExtent(const QVector<Camera> &cameras, ksr::Point3d &min, ksr::Point3d &max);
// A warning when the largest coordinate between min and max is where a 32-bit float rounds by more
// than a centimetre; empty otherwise. what names the coordinates ("model", "camera centre").
QString precisionWarning(const QString &what, const ksr::Point3d &min, const ksr::Point3d &max);

} // namespace JsonValues
