#pragma once
// Reader of Metashape camera exports (XML, <document><chunk>, versions 1.x and 2.x): sensors with
// their calibration (the adjusted one when there are two), cameras with their camera-to-chunk
// transform, and the chunk's (or the camera's component's) transform to world coordinates.
// Cameras without a transform are not aligned: left out and named. No 3D points.

#include "sfmreconstruction.h"

namespace MetashapeXml
{
SfmReconstruction read(const QString &fileName);
} // namespace MetashapeXml
