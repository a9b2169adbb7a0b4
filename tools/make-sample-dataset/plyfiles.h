#pragma once
// PLY encodings of the sample model: a binary little-endian triangle mesh with per-vertex colours,
// and an ASCII point cloud with normals and colours. Deterministic bytes for the same input.

#include <ksr/mesh.h>

#include <QByteArray>

#include <vector>

namespace SampleGen
{

QByteArray binaryMeshPly(const ksr::CMesh &mesh, const QByteArray &comment);
QByteArray asciiPointCloudPly(const std::vector<ksr::CVertex> &points, const QByteArray &comment);

} // namespace SampleGen
