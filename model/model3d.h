#ifndef MODEL_MODEL3D_H
#define MODEL_MODEL3D_H

#include <ksr/geometry.h>

#include <QObject>
#include <QString>

// The scene's 3D model as the GL widgets see it. A model is used only on the thread that owns
// its widget's GL context; nothing is shared between contexts.
class Model3D : public QObject
{
    Q_OBJECT
public:
    explicit Model3D(QObject *parent = nullptr) : QObject(parent) {}
    ~Model3D() override = default;

    // Point size handed to the drawer before every draw.
    float pointSize = 1.0f;

    // Loads the file; true when it existed (even if it could be read only in part).
    virtual bool load(const QString &fileName) = 0;
    // Draws with the current GL context, projection and modelview.
    virtual void render() = 0;
    // The model's local origin: center(), the box and everything drawn are relative to it, so a
    // view matrix must take camera centres relative to it too (Camera::worldToCamera(origin)).
    // Zero unless the model's coordinates are too large for floats (ksr/localorigin.h).
    virtual ksr::Point3d origin() const { return {}; }
    // Bounding-box centre and half its diagonal, in model units.
    virtual ksr::Point3f center() const = 0;
    virtual float radius() const = 0;
    // Widens [zMin, zMax] by the z of the eight bounding-box corners under `modelview`
    // (16 floats, GL column-major order). The caller initialises zMin and zMax.
    virtual void depthRange(const float *modelview, float &zMin, float &zMax) const = 0;

signals:
    // Emitted at the end of every successful load.
    void readyToRender();
};

#endif
