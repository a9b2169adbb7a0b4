#pragma once
// Reader of Polyforge project files (.pfp): cameras and image names of the rasters, mesh names.
// Names are returned exactly as written; resolving relative names is the caller's business.

#include "camera.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QXmlStreamReader;

namespace PolyforgeProject
{

// Appends to the three lists. False (lists untouched, *errorMessage set when given) when the
// file cannot be opened, is not well-formed XML or a camera attribute does not hold the numbers it
// must (CameraElement::malformedAttribute); true otherwise, whatever the groups held.
bool readProject(const QString &fileName, QVector<Camera> &cameras, QStringList &rasters, QStringList &meshes,
                 QString *errorMessage = nullptr);

// Reads the "RasterGroup" and "MeshGroup" children of the root element the reader stands at, up to
// the root's end tag, appending; whether the document is well-formed is the caller's to check.
// *cameraProblem, when given, names the first raster whose camera has a malformed attribute.
void readGroups(QXmlStreamReader &reader, QVector<Camera> &cameras, QStringList &rasters, QStringList &meshes,
                QString *cameraProblem = nullptr);

} // namespace PolyforgeProject
