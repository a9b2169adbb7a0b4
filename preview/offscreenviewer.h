#pragma once
// The viewer preview without a window: a ViewerScene drawn into an off-screen framebuffer and read
// back as an image. Used by the tool's render command, the tests and the benchmark.
// GUI thread only (its context stays there); needs a QGuiApplication on a platform with OpenGL.

#include "offscreenglwidget.h"
#include "viewerscene.h"

#include <QImage>
#include <QSize>

class OffscreenViewer : public OffscreenGLWidget
{
    Q_OBJECT
public:
    explicit OffscreenViewer(QObject *parent = nullptr);
    ~OffscreenViewer() override;

    ViewerScene &scene() { return m_scene; }

    // Draws view at size and reads the picture back (RGB32). A null image, with the reason in
    // errorString(), when there is no context or the framebuffer cannot be made.
    QImage render(const SceneView &view, const QSize &size);
    // Draws view at size without reading back (for timing); false when nothing could be drawn.
    bool drawOnly(const SceneView &view, const QSize &size);

private:
    bool prepare(const QSize &size);

    ViewerScene m_scene;
    struct Target;
    Target *m_target = nullptr;
};
