#include "viewerwidget.h"

#include "glewloader.h"

#include <QDebug>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace
{
const double radiansPerPixel = 0.4 * M_PI / 180.0;
const double zoomPerWheelStep = 0.85;
const int dragThreshold = 4; // pixels a press may move and still be a click
const int settleMilliseconds = 150;
} // namespace

ViewerWidget::ViewerWidget(QWidget *parent) : QOpenGLWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    m_moving.setInterval(16);
    connect(&m_moving, &QTimer::timeout, this, &ViewerWidget::step);
    m_settling.setSingleShot(true);
    m_settling.setInterval(settleMilliseconds);
    connect(&m_settling, &QTimer::timeout, this, &ViewerWidget::rest);
    m_view = m_scene.overallView();
    setToolTip(tr("The scene as the viewer shows it. Click a thumbnail or a frame, or use the arrow keys, to "
                  "move between photographs; drag to turn, use the wheel to move closer; Home returns to the "
                  "start view."));
}

ViewerWidget::~ViewerWidget()
{
    if (m_glReady) {
        makeCurrent();
        m_scene.releaseGL();
        doneCurrent();
    }
}

bool ViewerWidget::setModelFile(const QString &path, QString *error)
{
    if (path == m_scene.modelFile())
        return m_scene.hasModel();
    const bool loaded = m_scene.loadModel(path, error);
    if (m_scene.currentShot() < 0)
        m_view = m_scene.overallView();
    update();
    return loaded;
}

bool ViewerWidget::reloadModel(QString *error)
{
    const bool loaded = m_scene.loadModel(m_scene.modelFile(), error);
    update();
    return loaded;
}

void ViewerWidget::setShots(const QVector<ViewerShot> &shots, const QVector<int> &viewingOrder)
{
    m_scene.setShots(shots, viewingOrder);
    if (m_scene.currentShot() < 0 && m_startShot >= 0 && m_startShot < shots.size())
        moveTo(m_startShot, false);
    update();
}

void ViewerWidget::setSettings(const ViewerSettings &settings)
{
    const bool upChanged = settings.upDirection != m_scene.settings().upDirection;
    m_scene.setSettings(settings);
    // The up direction stands vertical: a new one sets the view again.
    if (upChanged && !m_moving.isActive())
        m_view = m_scene.shotView(m_scene.currentShot());
    update();
}

void ViewerWidget::setStartShot(int shot)
{
    if (shot == m_startShot)
        return;
    m_startShot = shot;
    if (shot >= 0 && shot < m_scene.shots().size())
        moveTo(shot, false);
}

void ViewerWidget::showShot(int shot)
{
    // Already on the way there (the table answering the preview's own choice): keep going.
    if (shot == m_scene.currentShot() && m_moving.isActive())
        return;
    if (shot >= 0 && shot < m_scene.shots().size())
        moveTo(shot, true);
}

void ViewerWidget::startOver()
{
    m_moving.stop();
    if (m_startShot >= 0 && m_startShot < m_scene.shots().size()) {
        moveTo(m_startShot, false);
    } else {
        m_scene.setCurrentShot(-1);
        m_view = m_scene.overallView();
    }
    update();
}

void ViewerWidget::showStartView()
{
    if (m_startShot >= 0 && m_startShot < m_scene.shots().size())
        moveTo(m_startShot, true);
    else
        m_view = m_scene.overallView();
    update();
}

void ViewerWidget::choose(int shot)
{
    if (shot < 0)
        return;
    moveTo(shot, true);
    emit shotChosen(shot);
}

void ViewerWidget::moveTo(int shot, bool animate)
{
    m_scene.setCurrentShot(shot);
    const SceneView target = m_scene.shotView(shot);
    const double speed = m_scene.settings().cameraSpeed;
    m_duration = speed > 0.0 ? std::min(1.0 / speed, 5.0) : 0.0;
    if (!animate || m_duration <= 0.0 || !isVisible()) {
        m_moving.stop();
        m_view = target;
        rest();
        return;
    }
    m_from = m_view;
    m_to = target;
    m_clock.start();
    m_settling.stop();
    m_scene.setMoving(true);
    m_moving.start();
}

void ViewerWidget::step()
{
    const double t = m_clock.elapsed() / 1000.0 / m_duration;
    if (t >= 1.0) {
        m_moving.stop();
        m_view = m_to;
        m_scene.setMoving(false);
    } else {
        const double eased = t * t * (3.0 - 2.0 * t); // slow in, slow out
        m_view = SceneView::interpolate(m_from, m_to, eased);
    }
    update();
}

void ViewerWidget::initializeGL()
{
    QString message;
    m_glReady = initGlewForCurrentContext(&message);
    if (!m_glReady)
        qWarning().noquote() << "ViewerWidget: no GL entry points:" << message;
}

void ViewerWidget::paintGL()
{
    if (!m_glReady)
        return;
    m_scene.setPixelRatio(devicePixelRatioF());
    const qreal ratio = devicePixelRatioF();
    m_scene.draw(m_view, int(width() * ratio), int(height() * ratio));
}

void ViewerWidget::mousePressEvent(QMouseEvent *event)
{
    m_pressed = m_lastMouse = event->position().toPoint();
    m_dragged = false;
}

void ViewerWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint now = event->position().toPoint();
    if ((now - m_pressed).manhattanLength() > dragThreshold)
        m_dragged = true;
    if (!m_dragged)
        return;
    const QPoint moved = now - m_lastMouse;
    m_lastMouse = now;
    m_moving.stop();
    m_view.orbit(m_scene.modelCentre(), Vec3d(m_scene.settings().upDirection), -moved.x() * radiansPerPixel,
                 -moved.y() * radiansPerPixel);
    keepMoving();
}

void ViewerWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragged) {
        rest();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const qreal ratio = devicePixelRatioF();
    const QPointF pixel = event->position() * ratio;
    const int w = int(width() * ratio), h = int(height() * ratio);
    int shot = m_scene.thumbnailAt(pixel, w, h);
    if (shot < 0 && !m_scene.barRect(w, h).contains(pixel.toPoint()))
        shot = m_scene.frameletAt(m_view, pixel, w, h);
    choose(shot);
}

void ViewerWidget::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    m_moving.stop();
    m_view.zoom(m_scene.modelCentre(), std::pow(zoomPerWheelStep, steps));
    keepMoving();
    event->accept();
}

void ViewerWidget::keepMoving()
{
    m_scene.setMoving(true);
    m_settling.start();
    update();
}

void ViewerWidget::rest()
{
    m_settling.stop();
    m_scene.setMoving(false);
    update();
}

void ViewerWidget::keyPressEvent(QKeyEvent *event)
{
    const int current = m_scene.currentShot();
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        choose(m_scene.neighbourShot(current, 1));
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        choose(m_scene.neighbourShot(current, -1));
        break;
    case Qt::Key_Home:
        showStartView();
        if (m_startShot >= 0)
            emit shotChosen(m_startShot);
        break;
    default:
        QOpenGLWidget::keyPressEvent(event);
    }
}
