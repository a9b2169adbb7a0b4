#pragma once
// Reader of COLMAP sparse models: a folder holding cameras, images and points3D, as text (.txt)
// or binary (.bin; read when all three binary files are there, as COLMAP itself does).
// Camera models SIMPLE_PINHOLE, PINHOLE, SIMPLE_RADIAL, RADIAL and OPENCV; a model using any
// other is refused with a message naming it.

#include "sfmreconstruction.h"

#include <QString>

namespace ColmapModel
{

// The model folder a user's choice stands for: the folder itself, or the folder of one of the
// model's files. Empty when it holds no COLMAP model.
QString modelFolder(const QString &path);

// Reads the model in folder. Errors name the file and the line (text) or record (binary).
SfmReconstruction readModel(const QString &folder);

} // namespace ColmapModel
