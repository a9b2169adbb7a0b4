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
constexpr qint64 headerSize = 52;
constexpr qint64 nodeRecordSize = 56;
constexpr quint32 maxLevels = 31;
constexpr quint32 flagPointCloud = 1;
constexpr quint32 flagColors = 2;

} // namespace tsl
} // namespace ksr
