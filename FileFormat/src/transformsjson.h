#pragma once
// Reader of transforms.json camera files (nerfstudio and instant-ngp): per frame a camera-to-world
// matrix with OpenGL axes (x right, y up, looking along -z) and intrinsics given for all frames,
// per frame, or only as a field of view. Carries no 3D points.

#include "sfmreconstruction.h"

namespace TransformsJson
{
SfmReconstruction read(const QString &fileName);
} // namespace TransformsJson
