#pragma once
// The records of a COLMAP sparse model as read from its text or binary files, and their
// conversion into an SfmReconstruction. Shared by the text and the binary reader.

#include "sfmreconstruction.h"

#include <QHash>
#include <QString>
#include <QVector>

struct ColmapCameraRecord {
    quint32 id = 0;
    QString model;
    int width = 0, height = 0;
    QVector<double> params;
};

struct ColmapImageRecord {
    quint32 id = 0;
    double quaternion[4] = {1, 0, 0, 0}; // w, x, y, z of the world-to-camera rotation
    double translation[3] = {0, 0, 0};   // world-to-camera translation
    quint32 cameraId = 0;
    QString name;
    QString where; // "<file>, line <n>: " or "<file>, record <n>: ", for messages
};

struct ColmapPointRecord {
    double position[3] = {0, 0, 0};
    quint8 colour[3] = {0, 0, 0};
    QVector<quint32> track; // image ids
    QString where;
};

struct ColmapData {
    QString camerasFile; // file name, for messages
    QHash<quint32, ColmapCameraRecord> cameras;
    QVector<ColmapImageRecord> images;
    QVector<ColmapPointRecord> points;
};

namespace ColmapFormat
{

inline constexpr qint64 maxImageSide = 1000000;

// Parameters of an accepted camera model; -1 for any other.
int parameterCount(const QString &model);
// The name of a binary model id ("OPENCV_FISHEYE"), or "model id <n>" for an unknown one.
QString modelName(int modelId);
QString unsupportedModelText(quint32 cameraId, const QString &model);

// Cameras converted, ids checked, points taken over. Sets result.error on the first id that
// refers to nothing or pose that is not a rotation.
void assemble(const ColmapData &data, SfmReconstruction &result);

} // namespace ColmapFormat
