#include "offscreenglwidget.h"

#include "glewloader.h"

#include <QCoreApplication>
#include <QDebug>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QThread>

OffscreenGLWidget::OffscreenGLWidget(QObject *parent) : QObject(parent), m_guiThread(QThread::currentThread())
{
    if (QCoreApplication::instance() && QThread::currentThread() != QCoreApplication::instance()->thread())
        qWarning()
            << "OffscreenGLWidget: created outside the GUI thread; the platform may refuse the surface";

    m_surface = new QOffscreenSurface;
    m_surface->create();
    if (!m_surface->isValid()) {
        m_error = tr("Could not create an off-screen OpenGL surface.");
        return;
    }
    // No parent: a child cannot change thread on its own.
    m_context = new QOpenGLContext;
    m_context->setFormat(m_surface->format());
    if (!m_context->create()) {
        m_error = tr("Could not create an OpenGL context.");
        delete m_context;
        m_context = nullptr;
    }
}

OffscreenGLWidget::~OffscreenGLWidget()
{
    QObject::disconnect(m_handBack);
    if (m_context && m_context->thread() == QThread::currentThread() &&
        QOpenGLContext::currentContext() == m_context)
        m_context->doneCurrent();
    // A context stranded on a thread that never ran is not current anywhere,
    // so destroying it from here is safe.
    delete m_context;
    delete m_surface;
}

bool OffscreenGLWidget::isValid() const
{
    return m_context != nullptr;
}

bool OffscreenGLWidget::moveContextToThread(QThread *thread)
{
    if (!m_context || !thread)
        return false;
    if (m_context->thread() != QThread::currentThread()) {
        m_error = tr("The OpenGL context can only be moved by the thread that owns it.");
        return false;
    }
    if (QOpenGLContext::currentContext() == m_context)
        m_context->doneCurrent();
    QObject::disconnect(m_handBack);
    m_context->moveToThread(thread);
    if (thread != m_guiThread) {
        // finished() is emitted on the worker itself, the only thread allowed
        // to give the context back.
        m_handBack = connect(thread, &QThread::finished, this, &OffscreenGLWidget::handBackContext,
                             Qt::DirectConnection);
    }
    return true;
}

void OffscreenGLWidget::handBackContext()
{
    if (!m_context || m_context->thread() != QThread::currentThread())
        return;
    if (QOpenGLContext::currentContext() == m_context)
        m_context->doneCurrent();
    m_context->moveToThread(m_guiThread);
}

bool OffscreenGLWidget::makeCurrent()
{
    if (!m_context)
        return false;
    if (m_context->thread() != QThread::currentThread()) {
        m_error = tr("The OpenGL context belongs to another thread.");
        return false;
    }
    if (QOpenGLContext::currentContext() == m_context)
        return true;
    if (!m_context->makeCurrent(m_surface)) {
        m_error = tr("Could not make the OpenGL context current.");
        return false;
    }
    return true;
}

void OffscreenGLWidget::doneCurrent()
{
    if (m_context && m_context->thread() == QThread::currentThread() &&
        QOpenGLContext::currentContext() == m_context)
        m_context->doneCurrent();
}

bool OffscreenGLWidget::ensureInitialized()
{
    if (!makeCurrent())
        return false;
    if (!m_initialized) {
        QString message;
        if (!initGlewForCurrentContext(&message)) {
            m_error = tr("Could not load the OpenGL entry points: %1").arg(message);
            return false;
        }
        initializeGL();
        m_initialized = true;
        resizeGL(m_width, m_height);
    }
    return true;
}

bool OffscreenGLWidget::updateGL()
{
    if (!ensureInitialized())
        return false;
    paintGL();
    return true;
}

void OffscreenGLWidget::resize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (m_initialized && makeCurrent())
        resizeGL(width, height);
}
