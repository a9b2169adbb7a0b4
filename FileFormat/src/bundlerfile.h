#pragma once
// Reader of Bundler v0.3 files (bundle.out) with their image list (list.txt, or <name>.list.txt
// beside the bundle file). Cameras with focal length 0 were not reconstructed: they are left
// out, named in leftOut. Bundler stores no image size: the cameras come back with
// sizeFromPhoto set and the principal point at the image centre.

#include "sfmreconstruction.h"

namespace BundlerFile
{
// The image list that belongs to a bundle file; empty when there is none.
QString listFileFor(const QString &bundleFile);
SfmReconstruction read(const QString &bundleFile);
} // namespace BundlerFile
