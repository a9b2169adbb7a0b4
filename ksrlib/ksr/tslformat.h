#pragma once
// Fixed numbers of our multiresolution file (docs/tsl-format.md), shared by its writer (tslbuilder)
// and the mesh library's reader.

#include <QtGlobal>

namespace ksr
{
namespace tsl
{

constexpr char magic[8] = {'O', 'R', 'V', 'T', 'S', 'L', '\x1A', '\n'};
constexpr quint32 formatVersion = 1;
// Version 2 adds the model's local origin (3 x f64 after the box) for models whose coordinates are
// too large for floats; positions are relative to it. Other models are still written as version 1.
constexpr quint32 formatVersionWithOrigin = 2;
constexpr qint64 headerSize = 52;
constexpr qint64 headerSizeWithOrigin = 76;
inline qint64 headerSizeOf(quint32 version)
{
    return version == formatVersionWithOrigin ? headerSizeWithOrigin : headerSize;
}
constexpr qint64 nodeRecordSize = 56;
constexpr quint32 maxLevels = 31;
constexpr quint32 flagPointCloud = 1;
constexpr quint32 flagColors = 2;

} // namespace tsl
} // namespace ksr
