#pragma once
// Number conversion for the XML readers: text that does not convert, and values that are not
// finite ("nan", "inf", overflow), read as 0 so that no NaN or infinity enters a record.

#include <QString>
#include <QStringList>

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

} // namespace TextNumbers
