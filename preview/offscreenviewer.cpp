#include "offscreenviewer.h"

#include "fbo.h"

#include <GL/glew.h>

struct OffscreenViewer::Target {
    Texture colour;
    FBO fbo;
};

OffscreenViewer::OffscreenViewer(QObject *parent) : OffscreenGLWidget(parent) {}

OffscreenViewer::~OffscreenViewer()
{
    if (isInitialized() && makeCurrent()) {
        m_scene.releaseGL();
        if (m_target) {
            m_target->fbo.destroy();
            m_target->colour.release();
        }
    } else if (m_target) {
        m_target->fbo.forget();
        m_target->colour.forget();
    }
    delete m_target;
}

bool OffscreenViewer::prepare(const QSize &size)
{
    if (size.isEmpty())
        return false;
    if (!ensureInitialized())
        return false;
    if (!m_target) {
        m_target = new Target;
        m_target->colour.create(size.width(), size.height(), GL_UNSIGNED_BYTE, GL_RGBA8, false);
        if (!m_target->fbo.attachColorTexture(m_target->colour)) {
            setErrorString(tr("Could not make an off-screen framebuffer of %1 x %2 pixels.")
                               .arg(size.width())
                               .arg(size.height()));
            return false;
        }
        m_target->fbo.attachDepthRenderbuffer();
    } else if (m_target->fbo.w != size.width() || m_target->fbo.h != size.height()) {
        m_target->fbo.resize(size.width(), size.height());
    }
    m_target->fbo.bind();
    return true;
}

bool OffscreenViewer::drawOnly(const SceneView &view, const QSize &size)
{
    if (!prepare(size))
        return false;
    m_scene.draw(view, size.width(), size.height());
    glFinish();
    return true;
}

QImage OffscreenViewer::render(const SceneView &view, const QSize &size)
{
    if (!prepare(size))
        return QImage();
    m_scene.draw(view, size.width(), size.height());
    QImage image(size, QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return image.mirrored().convertToFormat(QImage::Format_RGB32);
}
