#pragma once
// One collection of shots: parallel per-shot lists (entry k of each list describes shot k)
// plus collection-wide display settings. A plain value, copied freely.

#include "camera.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <ksr/geometry.h>

// A colour as four floats, each 0..1.
struct Color4f {
    float red = 0.0f, green = 0.0f, blue = 0.0f, alpha = 1.0f;

    bool operator==(const Color4f &o) const
    {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const Color4f &o) const { return !(*this == o); }
};

class ShotCollection
{
public:
    ShotCollection() = default;

    // Written only when not empty.
    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // n, the number of shots, is the length of the image path list.
    int shotCount() const { return int(m_imagePaths.size()); }

    const QStringList &imagePaths() const { return m_imagePaths; }
    void setImagePaths(const QStringList &paths) { m_imagePaths = paths; }

    const QStringList &thumbnailPaths() const { return m_thumbnailPaths; }
    void setThumbnailPaths(const QStringList &paths) { m_thumbnailPaths = paths; }

    // "true" marks a projectable shot. No setter: fillWriteDefaults() provides them.
    const QStringList &projectableFlags() const { return m_projectableFlags; }

    const QVector<Camera> &cameras() const { return m_cameras; }
    void setCameras(const QVector<Camera> &cameras) { m_cameras = cameras; }

    // order[p] is the shot shown at display position p.
    const QVector<int> &order() const { return m_order; }
    void setOrder(const QVector<int> &order) { m_order = order; }
    // positions[k] is where shot k is shown; order becomes its inverse. Returns false and leaves
    // the order untouched when positions is not a permutation of 0 .. size-1.
    bool setOrderFromPositions(const QVector<int> &positions);

    // Cluster of each shot (file attribute "sem").
    const QVector<int> &clusterNumbers() const { return m_clusterNumbers; }
    void setClusterNumbers(const QVector<int> &clusters) { m_clusterNumbers = clusters; }

    // Depth of each shot in model units.
    const QVector<float> &depths() const { return m_depths; }
    void setDepths(const QVector<float> &depths) { m_depths = depths; }

    float frameletsScale() const { return m_frameletsScale; }
    void setFrameletsScale(float scale) { m_frameletsScale = scale; }

    float projectionReliability() const { return m_projectionReliability; }
    void setProjectionReliability(float reliability) { m_projectionReliability = reliability; }

    // Collection camera frame to model frame. The system keeps it at identity; the setter exists
    // for files that carry a frame and for tests of the writer.
    const ksr::Matrix44f &shotFrame() const { return m_shotFrame; }
    void setShotFrame(const ksr::Matrix44f &frame) { m_shotFrame = frame; }

    // 0 = bottom, 1 = top (any non-zero value is written as top).
    int thumbnailBarPosition() const { return m_thumbnailBarPosition; }
    void setThumbnailBarPosition(int position) { m_thumbnailBarPosition = position; }

    const Color4f &shotColor() const { return m_shotColor; }
    void setShotColor(const Color4f &color) { m_shotColor = color; }

    // The writer's defaults, each applied only when that list is empty: thumbnails := images,
    // order := 0..n-1, clusters := 1..n, projectable := "true", depths := 1.0.
    void fillWriteDefaults();

    // True when every per-shot list has n entries (cameras included) and order is a
    // permutation of 0..n-1: what the writer needs to write the collection safely.
    bool isConsistent() const;

private:
    QString m_name = QStringLiteral("");
    QStringList m_imagePaths;
    QStringList m_thumbnailPaths;
    QStringList m_projectableFlags;
    QVector<Camera> m_cameras;
    QVector<int> m_order;
    QVector<int> m_clusterNumbers;
    QVector<float> m_depths;
    float m_frameletsScale = 1.0f;
    float m_projectionReliability = 1.0f;
    ksr::Matrix44f m_shotFrame;
    int m_thumbnailBarPosition = 0;
    Color4f m_shotColor{1.0f, 1.0f, 1.0f, 1.0f};
};

// True when values holds each of 0 .. values.size()-1 exactly once.
bool isPermutation(const QVector<int> &values);
