#pragma once
// The binary files of a COLMAP sparse model (little-endian). Every count is checked against the
// bytes left in the file before anything is reserved, so a damaged file cannot ask for memory.

#include "colmapformat.h"

namespace ColmapBinary
{
// Each appends to data; false with error naming the file and record on the first fault.
bool readCameras(const QString &path, ColmapData &data, QString &error);
bool readImages(const QString &path, ColmapData &data, QString &error);
bool readPoints(const QString &path, ColmapData &data, QString &error);
} // namespace ColmapBinary
