#include "depth.h"

#include "polymodel3d.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <QDebug>

#include <cmath>
#include <vector>

namespace
{

bool finite(float v)
{
    return std::isfinite(v);
}

bool finiteMatrix(const ksr::Matrix44f &m)
{
    for (int i = 0; i < 16; ++i)
        if (!finite(m.data()[i]))
            return false;
    return true;
}

} // namespace

Depth::Depth(QObject *parent) : OffscreenGLWidget(parent) {}

Depth::~Depth()
{
    // GL objects die with the context; free them first when the context can still be made current.
    if (isInitialized() && makeCurrent()) {
        m_fbo.destroy();
        m_modelBuffer.release();
        m_colorTexture.release();
        m_depthTexture.release();
    } else {
        m_fbo.forget();
        m_modelBuffer.forget();
        m_colorTexture.forget();
        m_depthTexture.forget();
    }
}

void Depth::initializeGL()
{
    m_colorTexture.create(RenderSide, RenderSide, GL_UNSIGNED_BYTE, GL_RGBA, false);
    m_depthTexture.create(RenderSide, RenderSide, GL_FLOAT, GL_DEPTH_COMPONENT24, false);
    m_fbo.attachColorTexture(m_colorTexture);
    m_fbo.attachDepthTexture(m_depthTexture);
}

void Depth::resizeGL(int, int) {}

bool Depth::setModel(const QString &fileName)
{
    auto model = std::make_unique<PolyModel3D>();
    m_model.reset();
    if (isInitialized() && makeCurrent())
        m_modelBuffer.release();
    else
        m_modelBuffer.forget();
    m_bufferTried = false;
    if (!model->load(fileName)) {
        qDebug() << "file not found" << fileName;
        return false;
    }
    m_model = std::move(model);
    m_modelLoaded = true;
    return true;
}

QSize Depth::renderSizeFor(int viewportWidth, int viewportHeight)
{
    if (viewportWidth <= 0 || viewportHeight <= 0)
        return QSize();
    int width = RenderSide, height = RenderSide;
    if (viewportWidth > viewportHeight)
        height = int(double(RenderSide) * viewportHeight / viewportWidth);
    else
        width = int(double(RenderSide) * viewportWidth / viewportHeight);
    // A very thin camera still gets one row or column rather than an empty framebuffer.
    return QSize(std::max(width, 1), std::max(height, 1));
}

bool Depth::clipRange(float distance, float radius, float &zNear, float &zFar)
{
    zNear = distance - radius;
    if (zNear < 0.005f * distance)
        zNear = 0.005f * distance;
    zFar = distance + radius;
    return finite(zNear) && finite(zFar) && zNear > 0.0f && zFar > zNear;
}

bool Depth::frustumBounds(const Camera &shot, float zNear, double bounds[4])
{
    const float w = float(shot.viewportPx[0]), h = float(shot.viewportPx[1]);
    const float cx = shot.centerPx[0], cy = shot.centerPx[1];
    const float sx = shot.pixelSizeMm[0], sy = shot.pixelSizeMm[1];
    const float f = shot.focalMm;
    if (!(w > 0.0f && h > 0.0f && sx > 0.0f && sy > 0.0f && f > 0.0f) || !finite(f) || !finite(cx) ||
        !finite(cy) || !finite(sx) || !finite(sy))
        return false;
    const float scale = zNear / f;
    const float left = -(w - cx) * sx * scale, right = cx * sx * scale;
    const float bottom = -cy * sy * scale, top = (h - cy) * sy * scale;
    bounds[0] = left;
    bounds[1] = right;
    bounds[2] = bottom;
    bounds[3] = top;
    return finite(left) && finite(right) && finite(bottom) && finite(top) && left < right && bottom < top;
}

bool Depth::checkGlErrors(const char *where)
{
    bool clean = true;
    for (int guard = 0; guard < 32; ++guard) { // a lost context can report errors for ever
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            break;
        clean = false;
        qWarning().nospace() << "Depth: GL error 0x" << Qt::hex << error << " " << where;
    }
    return clean;
}

void Depth::paintGL()
{
    m_viewDrawn = false;
    if (!m_modelLoaded || !m_model)
        return;
    m_fbo.bind();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    double bounds[4];
    if (!frustumBounds(m_shot, m_zNear, bounds))
        return;
    checkGlErrors("before setting the projection");
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(bounds[0], bounds[1], bounds[2], bounds[3], m_zNear, m_zFar);
    if (!checkGlErrors("after setting the projection"))
        return;

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    float view[16];
    m_shot.worldToCamera().toColumnMajor(view);
    glMultMatrixf(view);

    glGetDoublev(GL_MODELVIEW_MATRIX, m_modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, m_projection);
    glGetIntegerv(GL_VIEWPORT, m_viewport);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    drawModel();
    glFinish();
    m_viewDrawn = checkGlErrors("while drawing the model");
}

void Depth::drawModel()
{
    m_drewFromBuffer = false;
    if (m_useModelBuffer && !m_bufferTried) {
        m_bufferTried = true;
        if (const ksr::CMesh *mesh = m_model->mesh())
            m_modelBuffer.upload(*mesh);
    }
    if (!m_useModelBuffer || m_modelBuffer.isEmpty()) {
        m_model->render();
        return;
    }
    // Only the depth buffer is read: colours would cost fragment work for nothing.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    double clipFromModel[16];
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += m_projection[4 * k + row] * m_modelview[4 * column + k];
            clipFromModel[4 * column + row] = sum;
        }
    m_modelBuffer.draw(clipFromModel, m_viewport[2], m_viewport[3]);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    m_drewFromBuffer = true;
}

float Depth::computeDepth(const Camera &shot)
{
    if (!makeCurrent()) {
        qWarning().noquote() << "Depth: no GL context:" << errorString();
        return 0.0f;
    }
    // The model is stored relative to its origin: so is the camera, in double, before any float.
    m_shot = m_model ? shot.relativeTo(m_model->origin()) : shot;
    const QSize size = renderSizeFor(shot.viewportPx[0], shot.viewportPx[1]);
    const ksr::Matrix44f view = m_shot.worldToCamera();
    if (!m_model || size.isEmpty() || !finiteMatrix(view)) {
        m_zNear = m_zFar = 0.0f;
        return 0.0f;
    }
    if (!isInitialized() && !updateGL())
        return 0.0f;
    if (size.width() != m_fbo.w || size.height() != m_fbo.h)
        m_fbo.resize(size.width(), size.height());

    const float distance = (view * m_model->center()).length();
    double bounds[4];
    if (!clipRange(distance, m_model->radius(), m_zNear, m_zFar) || !frustumBounds(shot, m_zNear, bounds)) {
        qDebug() << "Depth: degenerate view skipped (zNear" << m_zNear << "zFar" << m_zFar << ")";
        return 0.0f;
    }
    if (!updateGL() || !m_viewDrawn)
        return 0.0f;
    return averageDepth(size.width(), size.height());
}

float Depth::averageDepth(int width, int height)
{
    std::vector<float> buffer(size_t(width) * size_t(height) + 1, 1.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 4); // float rows are always 4-byte aligned
    m_depthTexture.download(GL_FLOAT, GL_DEPTH_COMPONENT, buffer.data());
    if (!checkGlErrors("reading the depth back"))
        return 0.0f;
    const ksr::Matrix44f view = m_shot.worldToCamera();
    float sum = 0.0f;
    int count = 0;
    for (int k = 0; k < height; ++k) {
        for (int m = 0; m < width; ++m) {
            const float z = buffer[size_t(k) * size_t(width) + size_t(m)];
            if (z == 1.0f)
                continue; // background
            double px = 0.0, py = 0.0, pz = 0.0;
            if (gluUnProject(m, k, z, m_modelview, m_projection, m_viewport, &px, &py, &pz) != GL_TRUE)
                continue;
            const ksr::Point3f q = view * ksr::Point3f(float(px), float(py), float(pz));
            sum += q.z;
            ++count;
        }
    }
    return count == 0 ? 0.0f : -sum / float(count);
}
