#pragma once
// Photographs and models may live on a web server: such addresses are kept as written, never
// resolved against a folder or checked on the disk.

#include <QString>

inline bool isWebAddress(const QString &path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}
