#pragma once
// What a front end adds to a dataset file when the file alone does not say it: where the
// photographs of a reconstruction are, and which model goes with it.

#include <QString>

struct ImportOptions {
    // Folder the photograph names of a reconstruction are resolved against; empty: the format's
    // usual place (COLMAP: <project>/images beside <project>/sparse; NVM, Bundler: the file's folder).
    QString imagesFolder;
    // Mesh used as the model of a reconstruction (which carries none); empty: its 3D points.
    QString meshFile;
    // Where a reconstruction's 3D points are written as a PLY point cloud to serve as the model
    // when no mesh is given; empty: nothing is written (inspecting never writes).
    QString pointCloudFile;
    // The points are kept in the import (ImportedDataset::pendingPoints) instead, for
    // ReconstructionImport::writePendingPointCloud once the run's files have been checked.
    bool pointCloudLater = false;
};
