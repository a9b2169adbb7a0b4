#pragma once
// The file kinds `orvelle-index inspect` understands. An inspector reads one file with the
// system's own readers and describes what they saw as JSON. To add a kind: write its function
// in a source file of its own, declare it below and add one line to the table in filereporters.cpp.

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

struct InspectResult {
    bool ok = false;      // the read succeeded
    QJsonObject json;     // what was read; "file" and "ok" are added by the command
    QStringList messages; // problems, printed on stderr (and kept in the JSON where the kind says so)
};

using InspectFunction = InspectResult (*)(const QString &fileName);

struct Inspector {
    QString kind;                   // named in the message for a file of no known kind
    QStringList suffixes;           // after the last dot, without the dot
    Qt::CaseSensitivity suffixCase; // how suffixes compare
    InspectFunction inspect;
};

// Every kind, looked up by suffix in this order.
const std::vector<Inspector> &inspectors();

// Polyforge project: {"rasters": [{"image", "camera"}], "meshes": [..], "cameraExtent"}.
// Both dataset kinds warn when camera centres are too large for 32-bit floats.
InspectResult inspectProject(const QString &fileName);
// Index file (or any file read as one): {"errors", "scene", "collections", "cameraExtent"}.
InspectResult inspectIndex(const QString &fileName);
// 3D model (.ply .stl .off .obj .vmi, any case): {"errorCode", "errorText", "loadMask", "vertices",
// "faces", "pointCloud", "hasVertexColors", "bboxMin", "bboxMax", "center", "radius", "origin",
// "extent"} in model coordinates, with a warning when they are too large for 32-bit floats; ok is
// false only when the file does not exist.
InspectResult inspectModel(const QString &fileName);
// Photograph (.jpg .jpeg, any case): {"width", "height" (0 when it does not decode), "shotTime"
// ("YYYY-MM-DDTHH:MM:SS" from the EXIF header, null when it gives none)}; ok is false when the
// image does not decode.
InspectResult inspectPhoto(const QString &fileName);
// Reconstruction (COLMAP model folder or file, .nvm, .out, .sfm, .xml, .json, any case): {"format",
// "imagesFolder", "shots": [{"name", "image", "camera"}], "points", "leftOut", "notes", "problems"}; ok is
// false when the reconstruction cannot be read.
InspectResult inspectReconstruction(const QString &fileName);
