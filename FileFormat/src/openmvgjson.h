#pragma once
// Reader of OpenMVG sfm_data.json files: views, pinhole intrinsics (focal length in pixels,
// principal point from the top-left corner), extrinsics (world-to-camera rotation rows, camera
// centre) and the 3D points of "structure". Views without extrinsics are left out and named.

#include "sfmreconstruction.h"

namespace OpenMvgJson
{
SfmReconstruction read(const QString &fileName);

// The folder the file says the photographs are in ("root_path"); empty when it names none.
QString rootPath(const QString &fileName);
} // namespace OpenMvgJson
