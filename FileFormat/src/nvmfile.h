#pragma once
// Reader of NVM files (NVM_V3): the first model of the file, its cameras and 3D points. A file
// with several models says how many were skipped. NVM stores no image size: the cameras come
// back with sizeFromPhoto set and the principal point at the image centre.

#include "sfmreconstruction.h"

namespace NvmFile
{
SfmReconstruction read(const QString &fileName);
} // namespace NvmFile
