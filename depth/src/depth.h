#ifndef DEPTH_DEPTH_H
#define DEPTH_DEPTH_H

#include "camera.h"
#include "fbo.h"
#include "modelbuffer.h"
#include "offscreenglwidget.h"

#include <QSize>

#include <memory>

class PolyModel3D;

// Hidden GL renderer that measures one shot's depth: the mean distance, along the viewing axis,
// of the model surface the shot's camera sees, in model units.
//
// Created on the GUI thread; its context is moved to the worker that calls updateGL(),
// setModel() and computeDepth(). Delete it on the GUI thread after that worker has finished.
class Depth : public OffscreenGLWidget
{
    Q_OBJECT
public:
    // Longer side of the depth picture, in pixels.
    static constexpr int RenderSide = 64;

    explicit Depth(QObject *parent = nullptr);
    ~Depth() override;

    // Replaces the model by a fresh one loaded from fileName. False, with the debug line
    // "file not found" and the quoted path, when the file does not exist.
    bool setModel(const QString &fileName);
    // The current model, null before the first setModel(); modelLoaded() once one was loaded.
    PolyModel3D *model() const { return m_model.get(); }
    bool modelLoaded() const { return m_modelLoaded; }

    // Depth of one view; 0.0 when the model covers no pixel, and for a view that cannot be set
    // up (zero viewport side, focal length or pixel size, camera at the model's centre, values
    // that are not finite). GL errors are logged, never fatal.
    float computeDepth(const Camera &shot);

    // Whether a triangle model is drawn from buffers uploaded once per model (the default) or
    // sent whole for every view through the model's render(); both give the same depths, the
    // second only slower. Point clouds, and models the buffers cannot hold, always take render().
    void setUseModelBuffer(bool on) { m_useModelBuffer = on; }
    // Whether the last view was drawn from the uploaded buffers.
    bool drewFromModelBuffer() const { return m_drewFromBuffer; }
    // The buffers of the current model; empty until its first draw.
    const ModelBuffer &modelBuffer() const { return m_modelBuffer; }

    // Clipping distances and picture size of the last computeDepth().
    float zNear() const { return m_zNear; }
    float zFar() const { return m_zFar; }
    QSize renderSize() const { return QSize(m_fbo.w, m_fbo.h); }

    // Picture size for a camera viewport: the longer side RenderSide pixels, the aspect ratio
    // kept (truncated, at least 1); an empty size for a viewport with a side <= 0.
    static QSize renderSizeFor(int viewportWidth, int viewportHeight);
    // Near and far distances for a model of `radius` whose centre lies `distance` away:
    // distance -/+ radius, the near one at least 0.005 x distance. False when no view is possible.
    static bool clipRange(float distance, float radius, float &zNear, float &zFar);
    // glFrustum bounds of a shot at zNear: the horizontal centre offset enters mirrored.
    // False when they do not describe a frustum (degenerate or non-finite intrinsics).
    static bool frustumBounds(const Camera &shot, float zNear, double bounds[4]);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    bool checkGlErrors(const char *where);
    float averageDepth(int width, int height);
    void drawModel();

    std::unique_ptr<PolyModel3D> m_model;
    bool m_modelLoaded = false;
    ModelBuffer m_modelBuffer;
    bool m_useModelBuffer = true;
    bool m_bufferTried = false; // an upload of the current model was attempted
    bool m_drewFromBuffer = false;
    Camera m_shot;
    Texture m_colorTexture;
    Texture m_depthTexture;
    FBO m_fbo;
    float m_zNear = 0.0f;
    float m_zFar = 0.0f;
    double m_modelview[16] = {};
    double m_projection[16] = {};
    int m_viewport[4] = {};
    bool m_viewDrawn = false; // the last paintGL() set up its view without GL errors
};

#endif
