#pragma once
// Reader of the whole node tree of a multiresolution file (docs/tsl-format.md), every level with
// its geometry, colours and normals. importMesh() reads only its finest level; both share the checks.

#include <ksr/tslmodel.h>

#include <QString>

namespace ksr
{
namespace io
{

// ErrorNone, or an import error code (ksr/meshio.h) with model left empty and, in *reason, a
// sentence naming the fault (which node, which check). Every block and index is bounds-checked.
int readTslTree(const QString &fileName, TslModel &model, QString *reason = nullptr);

} // namespace io
} // namespace ksr
