#pragma once
// Number conversion for the XML readers: text that does not convert, and values that are not
// finite ("nan", "inf", overflow), read as 0 so that no NaN or infinity enters a record.

#include <QString>
#include <QStringList>

#include <ksr/geometry.h>

#include <cmath>

namespace TextNumbers
{

inline float toFloat(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 3.4028234663852886e38)
        return 0.0f;
    return float(value);
}

// Coordinates that must keep their digits (camera centres); same rules as toFloat.
inline double toDouble(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 3.4028234663852886e38)
        return 0.0;
    return value;
}

inline int toInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

// Field i of a list, or an empty text when the list is shorter.
inline QString field(const QStringList &fields, int i)
{
    return i < fields.size() ? fields.at(i) : QString();
}

// The first count parts of text.split(' ', behavior), without cutting up the rest: an attribute
// of millions of numbers costs no more than the parts asked for.
inline QStringList leadingParts(const QString &text, int count,
                                Qt::SplitBehavior behavior = Qt::KeepEmptyParts)
{
    QStringList parts;
    qsizetype start = 0;
    while (parts.size() < count && start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = text.size();
        if (behavior == Qt::KeepEmptyParts || end > start)
            parts.append(text.mid(start, end - start));
        start = end + 1;
    }
    return parts;
}

// 16 numbers row-major, separated by one or more spaces (a camera's "RotationMatrix", a
// collection's "shotFrame"). Missing numbers keep identity entries, so a short text never
// reads beyond its numbers.
inline ksr::Matrix44f toMatrix(const QString &text)
{
    const QStringList parts = leadingParts(text, 16, Qt::SkipEmptyParts);
    ksr::Matrix44f matrix;
    for (int i = 0; i < 16 && i < parts.size(); ++i)
        matrix.m[i / 4][i % 4] = toFloat(parts.at(i));
    return matrix;
}

} // namespace TextNumbers
