#pragma once
// Helpers of the reconstruction-reader tests: copying model folders, comparing directions.

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cmath>

inline bool writeText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Copies every file of a folder (not recursive) into another.
inline bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    return true;
}

// Angle in degrees between two directions.
inline double angleDegrees(const ksr::Point3f &a, const ksr::Point3f &b)
{
    const double c = double(a.normalized().dot(b.normalized()));
    return std::acos(std::max(-1.0, std::min(1.0, c))) * 180.0 / M_PI;
}
