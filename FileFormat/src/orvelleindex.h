#pragma once
// The whole index: scene name, model, viewer settings and the shot collections.
// A plain value; save() writes it as an index file (.orx).

#include "camera.h"
#include "shotcollection.h"

#include <QString>
#include <QVector>

#include <ksr/geometry.h>

class QXmlStreamWriter;

// One vertex of the coloured dome: a colour per height.
struct DomeVertex {
    float red = 0.0f, green = 0.0f, blue = 0.0f, height = 0.0f;

    bool operator==(const DomeVertex &o) const
    {
        return red == o.red && green == o.green && blue == o.blue && height == o.height;
    }
    bool operator!=(const DomeVertex &o) const { return !(*this == o); }
};

class OrvelleIndex
{
public:
    enum BackgroundKind { ColorBackground = 0, OrthoPlaneBackground = 1, DomeBackground = 2 };

    OrvelleIndex() = default;

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // Mesh, point cloud or multiresolution model shown with the photographs.
    const QString &modelFileName() const { return m_modelFileName; }
    void setModelFileName(const QString &fileName) { m_modelFileName = fileName; }

    int collectionCount() const { return int(m_collections.size()); }
    // 0 <= i < collectionCount().
    const ShotCollection &collection(int i) const { return m_collections.at(i); }
    const QVector<ShotCollection> &collections() const { return m_collections; }
    void addCollection(const ShotCollection &collection) { m_collections.append(collection); }

    // Written only when set (both pixel sizes > 0).
    const Camera &startCamera() const { return m_startCamera; }
    void setStartCamera(const Camera &camera) { m_startCamera = camera; }

    float cameraSpeed() const { return m_cameraSpeed; }
    void setCameraSpeed(float speed) { m_cameraSpeed = speed; }

    // 0 colour at infinity, 1 ortho plane, 2 coloured dome.
    int backgroundKind() const { return m_backgroundKind; }
    const Color4f &backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Color4f &color) { m_backgroundColor = color; }
    void setOrthoPlaneBackground() { m_backgroundKind = OrthoPlaneBackground; }
    // Kind := dome; vertices := (colors[j] rgb, heights[j]), alpha dropped. Returns false and
    // changes nothing when the two lists differ in length.
    bool setDomeBackground(const QVector<float> &heights, const QVector<Color4f> &colors);
    const QVector<DomeVertex> &domeVertices() const { return m_domeVertices; }

    bool lighting() const { return m_lighting; }
    void setLighting(bool enabled) { m_lighting = enabled; }

    const ksr::Point3f &upDirection() const { return m_upDirection; }
    void setUpDirection(const ksr::Point3f &up) { m_upDirection = up; }

    // Writes the index file. Local paths become relative to the file's folder ("./..." or "./../...",
    // see relativePath()) when useRelativePaths is set. Goes through a temporary file: on failure (cannot
    // open, any write error) returns false, leaves an existing file untouched and sets errorString(). Fills
    // the empty per-shot lists of every collection with the writer's defaults. Collections without images, or
    // whose lists disagree, are left out (see skippedCollections()).
    bool save(const QString &fileName, bool useRelativePaths);
    // Why the last save() failed.
    const QString &errorString() const { return m_errorString; }
    // Indices of the collections the last save() left out.
    const QVector<int> &skippedCollections() const { return m_skippedCollections; }

    // Writes one "collection" element, or nothing (returns false) when the collection has no
    // images or its lists disagree. Applies the defaults to the collection first.
    // Requires !useRelativePaths || !refDir.isEmpty().
    static bool writeCollection(ShotCollection &collection, QXmlStreamWriter &writer, bool useRelativePaths,
                                const QString &refDir);

    // path as written: "./rest" when it starts with refDir + "/", "./../rest" for another folder of
    // the same disk; unchanged for web addresses, relative names and paths no relative path leads to.
    static QString relativePath(const QString &path, const QString &refDir);

protected:
    QString m_name = QStringLiteral("");
    QString m_modelFileName = QStringLiteral("");
    QVector<ShotCollection> m_collections;
    Camera m_startCamera;
    float m_cameraSpeed = 1.0f;
    int m_backgroundKind = ColorBackground;
    Color4f m_backgroundColor{0.0f, 0.0f, 0.0f, 1.0f};
    QVector<DomeVertex> m_domeVertices;
    bool m_lighting = false;
    ksr::Point3f m_upDirection{0.0f, 1.0f, 0.0f};

private:
    QString m_errorString;
    QVector<int> m_skippedCollections;
};
