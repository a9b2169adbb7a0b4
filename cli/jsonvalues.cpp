#include "jsonvalues.h"

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
    const float center[3] = {camera.center.x, camera.center.y, camera.center.z};
    return QJsonObject{
        {QStringLiteral("focalMm"), number(camera.focalMm)},
        {QStringLiteral("viewportPx"), QJsonArray{camera.viewportPx[0], camera.viewportPx[1]}},
        {QStringLiteral("pixelSizeMm"), numbers(camera.pixelSizeMm, 2)},
        {QStringLiteral("centerPx"), numbers(camera.centerPx, 2)},
        {QStringLiteral("lensDistortion"), numbers(camera.distortion, 2)},
        {QStringLiteral("rotation"), numbers(camera.rotation.data(), 16)},
        {QStringLiteral("center"), numbers(center, 3)},
    };
}

} // namespace JsonValues
