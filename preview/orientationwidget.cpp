#include "orientationwidget.h"

#include "polymodel3d.h"

#include <ksr/meshio.h>

#include <QFileInfo>
#include <QMouseEvent>
#include <QWheelEvent>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace
{
const float degreesPerPixel = 0.4f;
const float zoomPerWheelStep = 0.85f;
} // namespace

OrientationWidget::OrientationWidget(QWidget *parent)
    : QOpenGLWidget(parent), m_pose(ViewPose::fromUpDirection({0.0f, 1.0f, 0.0f}))
{
    setToolTip(tr("The model as the viewer shows it from the start photograph. Drag to turn it, use the "
                  "wheel to move closer, double-click to return to the start view. The photographs' "
                  "cameras are drawn as small pyramids, the start photograph's in yellow."));
}

OrientationWidget::~OrientationWidget()
{
    // The drawer may hold GL state of this widget's context.
    makeCurrent();
    m_model.reset();
    doneCurrent();
}

bool OrientationWidget::modelHasColours() const
{
    const auto *poly = dynamic_cast<const PolyModel3D *>(m_model.get());
    return poly && (poly->loadMask() & ksr::io::MaskVertexColor);
}

void OrientationWidget::setShotFrusta(const QVector<ShotFrustum> &frusta, int startShot)
{
    m_frusta = frusta;
    m_startShot = startShot;
    update();
}

void OrientationWidget::set3DModel(QString filename)
{
    // Paths being typed that name no file yet leave the shown model alone.
    if (filename == m_modelPath || !QFileInfo(filename).isFile())
        return;
    m_modelPath = filename;
    m_modelChanged = true;
    update();
}

void OrientationWidget::setModelVisible(bool enable)
{
    m_modelVisible = enable;
    update();
}

void OrientationWidget::setUpDir(ksr::Point3f dir, ksr::Matrix44f startView)
{
    m_pose = ViewPose::fromUpDirection(dir);
    m_pose.placeAt(startView);
    m_orbit = Orbit();
    update();
}

void OrientationWidget::resetView()
{
    m_orbit = Orbit();
    update();
}

ksr::Point3f OrientationWidget::pivot() const
{
    if (m_model)
        return m_model->center();
    // Without a model: a point ahead of the eye.
    const ksr::Matrix44f view = m_pose.modelview();
    return m_pose.position - view.row(2);
}

void OrientationWidget::mousePressEvent(QMouseEvent *event)
{
    m_lastMouse = event->position().toPoint();
}

void OrientationWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint now = event->position().toPoint();
    const QPoint moved = now - m_lastMouse;
    m_lastMouse = now;
    m_orbit.yaw += moved.x() * degreesPerPixel;
    m_orbit.pitch = std::clamp(m_orbit.pitch + moved.y() * degreesPerPixel, -89.0f, 89.0f);
    update();
}

void OrientationWidget::mouseDoubleClickEvent(QMouseEvent *)
{
    resetView();
}

void OrientationWidget::wheelEvent(QWheelEvent *event)
{
    const float steps = event->angleDelta().y() / 120.0f;
    m_orbit.zoom = std::clamp(m_orbit.zoom * std::pow(zoomPerWheelStep, steps), 0.02f, 50.0f);
    update();
    event->accept();
}

void OrientationWidget::initializeGL()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
}

void OrientationWidget::resizeGL(int, int)
{
    // The viewport is set at every draw.
}

void OrientationWidget::paintGL()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_modelVisible && m_modelChanged) {
        if (!m_model)
            m_model = std::make_unique<PolyModel3D>();
        m_model->load(m_modelPath);
        m_modelChanged = false;
    }
    if (!m_modelVisible) {
        glFinish();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const int w = int(width() * ratio), h = int(height() * ratio);
    glViewport(0, 0, w, h);

    const ksr::Matrix44f start = m_pose.modelview();
    const ksr::Point3f centre = pivot();
    const float radius = m_model ? m_model->radius() : 1.0f;

    const ksr::Matrix44f view = m_orbit.modelview(start, centre);
    const float frustumSize = radius * 0.07f;
    const float distance = m_orbit.pivotDistance(start, centre);
    DepthRange range = depthRangeFor({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, distance}, radius);
    // The cameras may stand outside the model, some of them close to the eye.
    for (const ShotFrustum &shot : std::as_const(m_frusta)) {
        const float depth = -(view * shot.centre).z;
        range.nearPlane = std::min(range.nearPlane, depth - 2.0f * frustumSize);
        range.farPlane = std::max(range.farPlane, depth + 2.0f * frustumSize);
    }
    range.nearPlane = std::max(range.nearPlane, range.farPlane * 1e-4f);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, double(w) / double(std::max(h, 1)), range.nearPlane, range.farPlane);

    glMatrixMode(GL_MODELVIEW);
    float modelview[16];
    view.toColumnMajor(modelview);
    glLoadMatrixf(modelview);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    if (m_model)
        drawModel();
    drawFrusta(frustumSize);
    glFinish();
}

void OrientationWidget::drawModel()
{
    if (modelHasColours()) {
        glDisable(GL_LIGHTING);
        m_model->render();
        return;
    }
    // A headlight: directional, along the view, fixed to the eye; both sides of a face are lit
    // because meshes rarely agree on which side is out.
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLfloat towardsEye[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat diffuse[4] = {1.25f, 1.25f, 1.2f, 1.0f};
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, towardsEye);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glPopMatrix();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    m_model->render();
    glPopAttrib();
}

// Each shot: lines from its centre to the four corners of its image, the image rectangle, and a
// short stroke on the image's top edge so that up can be told from down.
void OrientationWidget::drawFrusta(float size)
{
    if (m_frusta.isEmpty())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    for (int i = 0; i < m_frusta.size(); ++i) {
        const ShotFrustum &shot = m_frusta.at(i);
        const bool start = i == m_startShot;
        // From the start view the eye is that camera: its frustum would only frame the picture.
        if (start && m_orbit.isStartView())
            continue;
        const float scale = start ? size * 2.0f : size;
        const ksr::Point3f right = shot.rotation.row(0), up = shot.rotation.row(1),
                           ahead = -shot.rotation.row(2);
        const ksr::Point3f mid = shot.centre + ahead * scale;
        const ksr::Point3f dx = right * (shot.halfWidth * scale), dy = up * (shot.halfHeight * scale);
        const ksr::Point3f corners[4] = {mid - dx - dy, mid + dx - dy, mid + dx + dy, mid - dx + dy};
        glLineWidth(start ? 3.0f : 1.0f);
        if (start)
            glColor3f(1.0f, 0.85f, 0.0f);
        else
            glColor3f(0.2f, 0.8f, 1.0f);
        glBegin(GL_LINES);
        for (const ksr::Point3f &corner : corners) {
            glVertex3f(shot.centre.x, shot.centre.y, shot.centre.z);
            glVertex3f(corner.x, corner.y, corner.z);
        }
        for (int k = 0; k < 4; ++k) {
            const ksr::Point3f &a = corners[k], &b = corners[(k + 1) % 4];
            glVertex3f(a.x, a.y, a.z);
            glVertex3f(b.x, b.y, b.z);
        }
        const ksr::Point3f top = mid + dy * 1.3f;
        glVertex3f(corners[2].x, corners[2].y, corners[2].z);
        glVertex3f(top.x, top.y, top.z);
        glVertex3f(top.x, top.y, top.z);
        glVertex3f(corners[3].x, corners[3].y, corners[3].z);
        glEnd();
    }
    glPopAttrib();
}
