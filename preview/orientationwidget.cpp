#include "orientationwidget.h"

#include "polymodel3d.h"

#include <QFileInfo>

#include <GL/glu.h>

OrientationWidget::OrientationWidget(QWidget *parent)
    : QOpenGLWidget(parent), m_pose(ViewPose::fromUpDirection({0.0f, 1.0f, 0.0f}))
{
}

OrientationWidget::~OrientationWidget()
{
    // The drawer may hold GL state of this widget's context.
    makeCurrent();
    m_model.reset();
    doneCurrent();
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
    update();
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
    if (m_modelVisible) {
        if (m_modelChanged) {
            if (!m_model)
                m_model = std::make_unique<PolyModel3D>();
            m_model->load(m_modelPath);
            m_modelChanged = false;
        }
        if (m_model) {
            const qreal ratio = devicePixelRatioF();
            const int w = int(width() * ratio), h = int(height() * ratio);
            glViewport(0, 0, w, h);

            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            const DepthRange range = depthRangeFor(m_pose.position, m_model->center(), m_model->radius());
            gluPerspective(60.0, double(w) / double(std::max(h, 1)), range.nearPlane, range.farPlane);

            glMatrixMode(GL_MODELVIEW);
            float modelview[16];
            m_pose.modelview().toColumnMajor(modelview);
            glLoadMatrixf(modelview);

            glEnable(GL_DEPTH_TEST);
            glDepthFunc(GL_LEQUAL);
            m_model->render();
        }
    }
    glFinish();
}
