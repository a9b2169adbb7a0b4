#pragma once
// Reconstructions from structure-from-motion tools as datasets: a COLMAP sparse model (its folder
// or one of its files), an NVM file (.nvm), a Bundler file (.out), a Meshroom file (.sfm), suffixes
// in any case, and, recognised by their content, a Metashape camera file (.xml), transforms.json
// and OpenMVG sfm_data.json.
// Photographs are resolved against the images folder; formats that store no image size take it
// from the photograph; the model is the given mesh or the reconstruction's 3D points.

#include "datasetimport.h"
#include "importoptions.h"
#include "problem.h"
#include "sfmreconstruction.h"

namespace ReconstructionImport
{

// The path names a reconstruction this import reads.
bool isReconstruction(const QString &path);

// Reads the reconstruction at path into data (recognised, folder, photographs, cameras, model,
// problems that stop the import, notes that do not).
void read(const QString &path, const ImportOptions &options, ImportedDataset &data);

// The reconstruction itself, read by the reader its path calls for.
SfmReconstruction readReconstruction(const QString &path);
// Where the photographs are looked for when no folder is given.
QString defaultImagesFolder(const QString &path);

// The folder of the reconstruction's project, where its index goes by default (so that relative
// paths to the photographs stay below it): the folder above a COLMAP model's "sparse" folder, else
// the nearest of the model's folder and the two above it that holds an "images" folder, else the
// model's folder; the file's folder for other formats.
QString projectFolder(const QString &path);
// The index a COLMAP model is generated into by default: "<project>/<project>_generated.orx" with
// the project folder above. Empty for anything but a COLMAP model.
QString colmapOutputName(const QString &path);

// "<folder of the index>/<its complete base name>_points.ply".
QString pointCloudName(const QString &indexFile);
// Binary little-endian PLY with positions and colours, through the checked writer. False with
// *error set when it cannot be written; an earlier file of that name stays as it was then.
bool writePointCloud(const QString &fileName, const QVector<SfmPoint> &points, QString *error);
// Writes data's pending points as its model, if it has any. False with the problem set otherwise.
bool writePendingPointCloud(ImportedDataset &data, Problem *problem);

} // namespace ReconstructionImport
