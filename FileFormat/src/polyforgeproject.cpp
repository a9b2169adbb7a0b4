#include "polyforgeproject.h"

#include "cameraelement.h"
#include "xmlchildren.h"
#include "xmlnesting.h"

#include <ksr/inputlimits.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QXmlStreamReader>

namespace PolyforgeProject
{

namespace
{

bool isElement(const QXmlStreamReader &reader, QLatin1String name)
{
    return reader.isStartElement() && reader.qualifiedName() == name;
}

// A camera attribute that is not the numbers it must be makes the project unreadable, naming the raster.
void readRaster(QXmlStreamReader &reader, QVector<Camera> &cameras, QStringList &rasters, QString &problem)
{
    Camera camera;
    QString fileName, malformed;
    while (XmlChildren::next(reader)) {
        if (!reader.isStartElement())
            continue;
        if (isElement(reader, QLatin1String("KSRCamera"))) {
            const QXmlStreamAttributes attributes = reader.attributes();
            CameraElement::readCameraProject(attributes, camera);
            if (malformed.isEmpty())
                malformed = CameraElement::malformedAttribute(attributes);
        } else if (isElement(reader, QLatin1String("Plane"))) {
            fileName = reader.attributes().value(QLatin1String("fileName")).toString();
        }
        reader.skipCurrentElement();
    }
    if (!malformed.isEmpty() && problem.isEmpty())
        problem = QStringLiteral("the camera of \"%1\" has a %2 that is not the finite numbers it must hold")
                      .arg(fileName, malformed);
    cameras.append(camera);
    rasters.append(fileName);
}

void readRasterGroup(QXmlStreamReader &reader, QVector<Camera> &cameras, QStringList &rasters,
                     QString &problem)
{
    while (XmlChildren::next(reader)) {
        if (isElement(reader, QLatin1String("PFRaster")))
            readRaster(reader, cameras, rasters, problem);
        else if (reader.isStartElement())
            reader.skipCurrentElement();
    }
}

// A mesh without "filename" ends its group.
void readMeshGroup(QXmlStreamReader &reader, QStringList &meshes)
{
    bool ended = false;
    while (XmlChildren::next(reader)) {
        if (!reader.isStartElement())
            continue;
        if (!ended && isElement(reader, QLatin1String("PFMesh"))) {
            const QXmlStreamAttributes attributes = reader.attributes();
            ended = !attributes.hasAttribute(QLatin1String("filename"));
            if (!ended)
                meshes.append(attributes.value(QLatin1String("filename")).toString());
        }
        reader.skipCurrentElement();
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
    // Bytes, decoded as they are read: the reader honours the document's encoding declaration.
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QXmlStreamReader reader(&buffer);
    reader.setNamespaceProcessing(false);
    QString cameraProblem;
    QVector<Camera> readCameras;
    QStringList readRasters, readMeshes;
    if (reader.readNextStartElement())
        readGroups(reader, readCameras, readRasters, readMeshes, &cameraProblem);
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        if (errorMessage)
            *errorMessage = QCoreApplication::translate(
                                "PolyforgeProject", "\"%1\" is not well-formed XML (line %2, column %3): %4")
                                .arg(fileName)
                                .arg(reader.lineNumber())
                                .arg(reader.columnNumber())
                                .arg(reader.errorString());
        return false;
    }
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

void readGroups(QXmlStreamReader &reader, QVector<Camera> &cameras, QStringList &rasters, QStringList &meshes,
                QString *cameraProblem)
{
    QString problem;
    while (XmlChildren::next(reader)) {
        if (isElement(reader, QLatin1String("RasterGroup")))
            readRasterGroup(reader, cameras, rasters, problem);
        else if (isElement(reader, QLatin1String("MeshGroup")))
            readMeshGroup(reader, meshes);
        else if (reader.isStartElement())
            reader.skipCurrentElement();
    }
    if (cameraProblem)
        *cameraProblem = problem;
}

} // namespace PolyforgeProject
