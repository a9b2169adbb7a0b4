#pragma once
// Builds the multiresolution model: the primitives (triangles, or points of a cloud) are split by
// a balanced kd partition until every leaf holds at most the face limit; each coarser level
// merges two sibling nodes and thins them by vertex clustering on a grid fixed to the model's
// corner, coarsening the cell until the node holds at most the face limit again.

#include <ksr/tslmodel.h>

#include <QString>

#include <functional>

struct PartitionSettings {
    int faceLimit = 10000;
    bool pointCloud = false;
    bool keepColors = false;
    bool inputNormals = false; // the cloud's vertices carry normals worth keeping
};

// Receives one progress line at a time, as the work advances.
using ProgressLine = std::function<void(const QString &)>;

// Number of halvings after which `count` primitives fit in leaves of at most `faceLimit`.
int partitionDepth(std::size_t count, int faceLimit);

// Fills `model` (nodes, levels, bounding boxes; normals only for clouds with input normals).
// Reports "Building multipartition ..." per depth and "N_triangles <count>" per finished level,
// finest first. Returns false with a reason when the mesh has nothing to partition.
bool buildMultiresolution(const ksr::CMesh &mesh, const PartitionSettings &settings, TslModel &model,
                          const ProgressLine &report, QString &error);

// Gives every vertex a unit normal (zero where none is defined). Mesh vertices at the same place
// on one level get the same normal, so neighbouring nodes shade alike across their seam.
void uniformNormals(TslModel &model);
