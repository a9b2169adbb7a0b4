#include "jsonvalues.h"

#include <ksr/localorigin.h>

#include <charconv>
#include <cmath>

namespace JsonValues
{

double number(float value)
{
    if (!std::isfinite(value))
        return double(value);
    // to_chars/from_chars ignore the process locale, unlike printf/strtod.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double result = double(value);
    std::from_chars(buffer, written.ptr, result);
    return result;
}

QJsonArray numbers(const float *values, int count)
{
    QJsonArray array;
    for (int i = 0; i < count; ++i)
        array.append(number(values[i]));
    return array;
}

QJsonArray numbers(const QVector<float> &values)
{
    return numbers(values.constData(), int(values.size()));
}

QJsonArray integers(const QVector<int> &values)
{
    QJsonArray array;
    for (int v : values)
        array.append(v);
    return array;
}

QJsonObject camera(const Camera &camera)
{
    return QJsonObject{
        {QStringLiteral("focalMm"), number(camera.focalMm)},
        {QStringLiteral("viewportPx"), QJsonArray{camera.viewportPx[0], camera.viewportPx[1]}},
        {QStringLiteral("pixelSizeMm"), numbers(camera.pixelSizeMm, 2)},
        {QStringLiteral("centerPx"), numbers(camera.centerPx, 2)},
        {QStringLiteral("lensDistortion"), numbers(camera.distortion, 2)},
        {QStringLiteral("rotation"), numbers(camera.rotation.data(), 16)},
        {QStringLiteral("center"), QJsonArray{camera.center.x, camera.center.y, camera.center.z}},
    };
}

QJsonObject extent(const ksr::Point3d &min, const ksr::Point3d &max)
{
    const ksr::Point3d size = max - min;
    return QJsonObject{{QStringLiteral("min"), QJsonArray{min.x, min.y, min.z}},
                       {QStringLiteral("max"), QJsonArray{max.x, max.y, max.z}},
                       {QStringLiteral("size"), QJsonArray{size.x, size.y, size.z}}};
}

bool cameraExtent(const QVector<Camera> &cameras, ksr::Point3d &min, ksr::Point3d &max)
{
    bool any = false;
    for (const Camera &camera : cameras) {
        for (int k = 0; k < 3; ++k) {
            min[k] = any ? std::fmin(min[k], camera.center[k]) : camera.center[k];
            max[k] = any ? std::fmax(max[k], camera.center[k]) : camera.center[k];
        }
        any = true;
    }
    return any;
}

QString precisionWarning(const QString &what, const ksr::Point3d &min, const ksr::Point3d &max)
{
    const double largest = std::fmax(ksr::largestMagnitude(min), ksr::largestMagnitude(max));
    if (largest < ksr::centimetreLostInFloat)
        return QString();
    return QStringLiteral("%1 coordinates reach %2: 32-bit floats round them by more than a centimetre "
                          "there (this tool keeps them in double and draws relative to a local origin; "
                          "a 32-bit consumer of the same files may not)")
        .arg(what, QString::number(largest, 'f', 0));
}

} // namespace JsonValues
