#pragma once
// Reader of Meshroom / AliceVision .sfm files (JSON, numbers stored as strings), file versions
// 1.2.0 on: views, intrinsics, poses (world-to-camera rotation stored column by column, camera
// centre) and the landmarks as 3D points. The intrinsics' fields changed meaning over the
// versions (docs/sfm-conventions.md). Views without a pose are left out and named.

#include "sfmreconstruction.h"

namespace MeshroomSfm
{
SfmReconstruction read(const QString &fileName);
} // namespace MeshroomSfm
