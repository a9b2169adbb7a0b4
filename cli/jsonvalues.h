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

} // namespace JsonValues
