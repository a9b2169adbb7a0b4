#include "polyforgeproject.h"

#include "cameraelement.h"
#include "xmlnesting.h"

#include <QDomDocument>
#include <QDomElement>
#include <ksr/inputlimits.h>

#include <QCoreApplication>
#include <QFile>

namespace PolyforgeProject
{

namespace
{

// A camera attribute that is not the numbers it must be makes the project unreadable, naming the raster.
void readRasterGroup(const QDomElement &group, QVector<Camera> &cameras, QStringList &rasters,
                     QString &problem)
{
    for (QDomElement raster = group.firstChildElement(QStringLiteral("PFRaster")); !raster.isNull();
         raster = raster.nextSiblingElement(QStringLiteral("PFRaster"))) {
        Camera camera;
        QString fileName, malformed;
        for (QDomElement child = raster.firstChildElement(); !child.isNull();
             child = child.nextSiblingElement()) {
            if (child.tagName() == QLatin1String("KSRCamera")) {
                CameraElement::readCameraProject(child, camera);
                if (malformed.isEmpty())
                    malformed = CameraElement::malformedAttribute(child);
            } else if (child.tagName() == QLatin1String("Plane")) {
                fileName = child.attribute(QStringLiteral("fileName"));
            }
        }
        if (!malformed.isEmpty() && problem.isEmpty())
            problem =
                QStringLiteral("the camera of \"%1\" has a %2 that is not the finite numbers it must hold")
                    .arg(fileName, malformed);
        cameras.append(camera);
        rasters.append(fileName);
    }
}

void readMeshGroup(const QDomElement &group, QStringList &meshes)
{
    for (QDomElement mesh = group.firstChildElement(QStringLiteral("PFMesh")); !mesh.isNull();
         mesh = mesh.nextSiblingElement(QStringLiteral("PFMesh"))) {
        if (!mesh.hasAttribute(QStringLiteral("filename")))
            return;
        meshes.append(mesh.attribute(QStringLiteral("filename")));
    }
}

} // namespace

bool readProject(const QString &fileName, QVector<Camera> &cameras, QStringList &rasters, QStringList &meshes,
                 QString *errorMessage)
{
    QByteArray content;
    QString readProblem;
    switch (ksr::readBoundedFile(fileName, content, &readProblem)) {
    case ksr::ReadResult::Ok:
        break;
    case ksr::ReadResult::CannotOpen:
        if (errorMessage)
            *errorMessage =
                QCoreApplication::translate("PolyforgeProject", "Cannot open %1").arg(readProblem);
        return false;
    case ksr::ReadResult::NotAFile:
    case ksr::ReadResult::TooLarge:
    case ksr::ReadResult::ReadError:
        if (errorMessage)
            *errorMessage = readProblem;
        return false;
    }
    const QString structureProblem = XmlNesting::structureProblem(content);
    if (!structureProblem.isEmpty()) {
        if (errorMessage)
            *errorMessage = QStringLiteral("\"%1\" %2").arg(fileName, structureProblem);
        return false;
    }
    QDomDocument document;
    QString parseError;
    int line = 0, column = 0;
    // The byte form lets the parser honour the document's encoding declaration.
    const bool parsed = document.setContent(content, &parseError, &line, &column);
    if (!parsed) {
        if (errorMessage)
            *errorMessage = QCoreApplication::translate(
                                "PolyforgeProject", "\"%1\" is not well-formed XML (line %2, column %3): %4")
                                .arg(fileName)
                                .arg(line)
                                .arg(column)
                                .arg(parseError);
        return false;
    }
    QString cameraProblem;
    QVector<Camera> readCameras;
    QStringList readRasters, readMeshes;
    readGroups(document.documentElement(), readCameras, readRasters, readMeshes, &cameraProblem);
    if (!cameraProblem.isEmpty()) {
        if (errorMessage)
            *errorMessage = QStringLiteral("\"%1\": %2").arg(fileName, cameraProblem);
        return false;
    }
    cameras += readCameras;
    rasters += readRasters;
    meshes += readMeshes;
    return true;
}

void readGroups(const QDomElement &root, QVector<Camera> &cameras, QStringList &rasters, QStringList &meshes,
                QString *cameraProblem)
{
    QString problem;
    for (QDomElement group = root.firstChildElement(); !group.isNull(); group = group.nextSiblingElement()) {
        if (group.tagName() == QLatin1String("RasterGroup"))
            readRasterGroup(group, cameras, rasters, problem);
        else if (group.tagName() == QLatin1String("MeshGroup"))
            readMeshGroup(group, meshes);
    }
    if (cameraProblem)
        *cameraProblem = problem;
}

} // namespace PolyforgeProject
